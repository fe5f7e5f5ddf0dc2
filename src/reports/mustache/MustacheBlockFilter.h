#pragma once

#include "reports/mustache/MustacheFilter.h"

// A filter made of a function of one value.
class MustacheBlockFilter : public MustacheFilter {
public:
    explicit MustacheBlockFilter(std::function<QVariant(const QVariant&)> block);
    QVariant transformedValue(const QVariant& object) const override;

private:
    std::function<QVariant(const QVariant&)> m_block;
};
