#pragma once

#include "reports/mustache/MustacheObject.h"

#include <functional>

// A value a template can call as a filter: "f(x)". The base filter gives its argument back.
class MustacheFilter : public virtual MustacheObject {
public:
    virtual QVariant transformedValue(const QVariant& object) const;
    // Filters called with several arguments receive all but the last through currying.
    virtual bool respondsToFilterByCurryingArgument() const { return false; }
    virtual std::shared_ptr<MustacheFilter> filterByCurryingArgument(
        const QVariant& argument) const;

    static std::shared_ptr<MustacheFilter> filterWithBlock(
        std::function<QVariant(const QVariant&)> block);
    static std::shared_ptr<MustacheFilter> variadicFilterWithBlock(
        std::function<QVariant(const QVariantList&)> block);
};
