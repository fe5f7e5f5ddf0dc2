#include "reports/mustache/MustacheBlockFilter.h"

#include "platform/Exception.h"

MustacheBlockFilter::MustacheBlockFilter(std::function<QVariant(const QVariant&)> block)
    : m_block(std::move(block))
{
    if (!m_block)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("Can't build a filter with a nil block."));
}

QVariant MustacheBlockFilter::transformedValue(const QVariant& object) const
{
    return m_block(object);
}
