#include "reports/mustache/MustacheFormatter.h"

#include "reports/mustache/MustacheValue.h"

MustacheFormatter::MustacheFormatter(Format format)
    : m_format(std::move(format))
{
}

bool MustacheFormatter::isNumber(const QVariant& value)
{
    return MustacheValue::isNumber(value);
}

QVariant MustacheFormatter::transformedValue(const QVariant& object) const
{
    if (MustacheValue::isNull(object))
        return QStringLiteral("");
    const std::optional<QString> formatted = m_format(object);
    return formatted && !formatted->isNull() ? QVariant(*formatted) : object;
}
