#pragma once

#include "reports/mustache/MustacheRenderingFilter.h"

#include <QDateTime>

#include <functional>
#include <optional>

// Makes a formatter a filter, a rendering object and a tag delegate: "{{f(x)}}" and
// "{{#f}}...{{/f}}" show values through it. A value the formatter cannot format is shown
// as it is.
class MustacheFormatter : public MustacheRenderingFilter {
public:
    using Format = std::function<std::optional<QString>(const QVariant&)>;
    explicit MustacheFormatter(Format format);

    // Over a number formatter (stringFromNumber(double)) or a date formatter
    // (stringFromDate(const QDateTime&)).
    template<class NumberFormatter>
    static std::shared_ptr<MustacheFormatter> numberFormatter(
        std::shared_ptr<NumberFormatter> formatter)
    {
        return std::make_shared<MustacheFormatter>(
            [formatter](const QVariant& value) -> std::optional<QString> {
                if (!isNumber(value))
                    return std::nullopt;
                return formatter->stringFromNumber(value.toDouble());
            });
    }
    template<class DateFormatter>
    static std::shared_ptr<MustacheFormatter> dateFormatter(
        std::shared_ptr<DateFormatter> formatter)
    {
        return std::make_shared<MustacheFormatter>(
            [formatter](const QVariant& value) -> std::optional<QString> {
                if (value.metaType() != QMetaType::fromType<QDateTime>())
                    return std::nullopt;
                return formatter->stringFromDate(value.toDateTime());
            });
    }

    QVariant transformedValue(const QVariant& object) const override;

private:
    static bool isNumber(const QVariant& value);
    Format m_format;
};
