#pragma once

#include <cstddef>
#include <cstdint>

// Compiles the bytes as a template (with partials from a small dictionary) and renders it
// over a small data set that holds templates too, the input's own among them: once as
// reports do, once with a tag delegate. Shared by the fuzz target and the test that
// replays its corpus.
// Any outcome but a crash, a hang or a leak is fine: errors and exceptions are expected.
void renderMustacheFuzzInput(const uint8_t* data, size_t size);
