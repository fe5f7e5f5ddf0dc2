#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as a chart kind, a few switches and a list of numbers, and puts the
// numbers through the axis ticks, the label space, the bar chart's range and the drawing
// and tapping of a small bar, line or scatter chart and a bare graph. Shared by the fuzz
// target and the test that replays its corpus. Any outcome but a crash, a hang, a leak or
// a broken promise of the axis or the bar range (checked here, aborting) is fine.
void runChartAxesFuzzInput(const uint8_t* data, size_t size);
