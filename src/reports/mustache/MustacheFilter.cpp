#include "reports/mustache/MustacheFilter.h"

#include "reports/mustache/MustacheBlockFilter.h"
#include "reports/mustache/MustacheBlockVariadicFilter.h"

QVariant MustacheFilter::transformedValue(const QVariant& object) const
{
    return object;
}

std::shared_ptr<MustacheFilter> MustacheFilter::filterByCurryingArgument(const QVariant&) const
{
    return nullptr;
}

std::shared_ptr<MustacheFilter> MustacheFilter::filterWithBlock(
    std::function<QVariant(const QVariant&)> block)
{
    return std::make_shared<MustacheBlockFilter>(std::move(block));
}

std::shared_ptr<MustacheFilter> MustacheFilter::variadicFilterWithBlock(
    std::function<QVariant(const QVariantList&)> block)
{
    return std::make_shared<MustacheBlockVariadicFilter>(QVariantList(), std::move(block));
}
