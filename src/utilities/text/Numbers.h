#pragma once

#include <QVariantList>

#include <cstdint>

class Numbers {
public:
    // One number per integer, in order.
    static QVariantList createNSNumberArray(const int32_t* values, qsizetype length);
};
