#pragma once

#include <cstdint>

// A colour as red, green and blue: whole values 0-255 and fractions 0-1.
struct RGBType {
    int32_t redValue = 0;
    int32_t greenValue = 0;
    int32_t blueValue = 0;
    double red = 0;
    double green = 0;
    double blue = 0;
};
