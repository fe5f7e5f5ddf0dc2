#include "reports/mustache/MustacheBlockVariadicFilter.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheValue.h"

MustacheBlockVariadicFilter::MustacheBlockVariadicFilter(
    QVariantList arguments, std::function<QVariant(const QVariantList&)> block)
    : m_arguments(std::move(arguments))
    , m_block(std::move(block))
{
    if (!m_block)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("Can't build a filter with a nil block."));
}

QVariant MustacheBlockVariadicFilter::transformedValue(const QVariant& object) const
{
    QVariantList arguments = m_arguments;
    arguments.append(object.isValid() ? object : MustacheValue::null());
    return m_block(arguments);
}

std::shared_ptr<MustacheFilter> MustacheBlockVariadicFilter::filterByCurryingArgument(
    const QVariant& argument) const
{
    QVariantList arguments = m_arguments;
    arguments.append(argument.isValid() ? argument : MustacheValue::null());
    return std::make_shared<MustacheBlockVariadicFilter>(arguments, m_block);
}
