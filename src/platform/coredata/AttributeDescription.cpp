#include "platform/coredata/AttributeDescription.h"

#include "platform/NumberType.h"

#include <cmath>
#include <limits>

namespace platform::coredata {

namespace {

// The range of qlonglong as doubles: -2^63 is exact, 2^63 is the first value beyond it.
constexpr double IntegerMinimum = -9223372036854775808.0;
constexpr double IntegerLimit = 9223372036854775808.0;

bool isText(const QVariant& value)
{
    const int id = value.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
}

} // namespace

std::optional<QVariant> AttributeDescription::coerce(const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case AttributeType::String:
        if (!isText(value))
            return std::nullopt;
        return QVariant(value.toString());
    case AttributeType::Integer:
        if (!isNumber(value))
            return std::nullopt;
        if (value.metaType().id() == QMetaType::Double
            || value.metaType().id() == QMetaType::Float) {
            // A number no 64-bit integer holds (not-a-number, infinite or too large) is
            // refused rather than stored as an arbitrary value.
            const double number = std::trunc(value.toDouble());
            if (!(number >= IntegerMinimum && number < IntegerLimit))
                return std::nullopt;
            return QVariant(qlonglong(number));
        }
        if ((value.metaType().id() == QMetaType::ULongLong
                || value.metaType().id() == QMetaType::ULong)
            && value.toULongLong() > quint64(std::numeric_limits<qlonglong>::max()))
            return std::nullopt;
        return QVariant(value.toLongLong());
    case AttributeType::Double:
        if (!isNumber(value))
            return std::nullopt;
        return QVariant(value.toDouble());
    case AttributeType::Boolean:
        if (!isNumber(value))
            return std::nullopt;
        return QVariant(value.toDouble() != 0.0);
    }
    return std::nullopt;
}

QString AttributeDescription::typeName(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
        return QStringLiteral("String");
    case AttributeType::Integer:
        return QStringLiteral("Integer");
    case AttributeType::Double:
        return QStringLiteral("Double");
    case AttributeType::Boolean:
        return QStringLiteral("Boolean");
    }
    return {};
}

std::optional<AttributeType> AttributeDescription::typeFromName(const QString& name)
{
    for (auto type : { AttributeType::String, AttributeType::Integer, AttributeType::Double,
             AttributeType::Boolean }) {
        if (typeName(type) == name)
            return type;
    }
    return std::nullopt;
}

} // namespace platform::coredata
