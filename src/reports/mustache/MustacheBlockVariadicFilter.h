#pragma once

#include "reports/mustache/MustacheFilter.h"

#include <QVariantList>

// A filter of any number of arguments: "f(a, b, c)" calls the function once with all three.
class MustacheBlockVariadicFilter : public MustacheFilter {
public:
    MustacheBlockVariadicFilter(
        QVariantList arguments, std::function<QVariant(const QVariantList&)> block);
    QVariant transformedValue(const QVariant& object) const override;
    bool respondsToFilterByCurryingArgument() const override { return true; }
    std::shared_ptr<MustacheFilter> filterByCurryingArgument(
        const QVariant& argument) const override;

private:
    QVariantList m_arguments;
    std::function<QVariant(const QVariantList&)> m_block;
};
