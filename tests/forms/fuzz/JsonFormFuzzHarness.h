#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as JSON. A dictionary whose "form" is a dictionary builds the form that
// describes and answers it with its "data"; anything else is the answer to a fixed form of
// lists, heights and colours. The answer is bound as a form loaded from the web binds it,
// and the form is laid out and drawn in a small table offscreen, at its top and its end.
// Shared by the fuzz target and the test that replays its corpus. Any outcome but a crash,
// a hang or a leak is fine: refused answers and descriptions are expected.
void bindJsonFormFuzzInput(const uint8_t* data, size_t size);
