#pragma once

#include <cstdint>

// A colour as hue (whole degrees 0-360), saturation and brightness (whole percents), and
// the same as fractions 0-1 made from the whole values.
struct HSVType {
    int32_t hueValue = 0;
    int32_t saturationValue = 0;
    int32_t brightnessValue = 0;
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
};
