#include "utilities/text/Numbers.h"

QVariantList Numbers::createNSNumberArray(const int32_t* values, qsizetype length)
{
    QVariantList numbers;
    if (!values || length <= 0)
        return numbers;
    numbers.reserve(length);
    for (qsizetype i = 0; i < length; ++i)
        numbers.append(QVariant(int(values[i])));
    return numbers;
}
