#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as a desktop server's reply and, when it is taken, shows it every way the
// screens do without widgets: the column widths, the tile titles, the search over every row
// and the mailed CSV text. Shared by the fuzz target and the test that replays its corpus.
// Any outcome but a crash, a hang or a leak is fine: refused replies are expected.
void readBridgeReplyFuzzInput(const uint8_t* data, size_t size);
