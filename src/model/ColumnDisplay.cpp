#include "model/ColumnDisplay.h"

#include "model/RowValueCompare.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <algorithm>

namespace {

bool isSet(const QVariant& value)
{
    return value.isValid() && !value.isNull();
}

} // namespace

ColumnDisplay::ColumnDisplay(const TemplateColumn& column)
{
    const QString kind = column.typeName();
    if (TypeConstants::isText(kind))
        m_kind = Kind::Text;
    else if (TypeConstants::isBoolean(kind))
        m_kind = Kind::Boolean;
    else if (TypeConstants::isNumeric(kind))
        m_kind = Kind::Numeric;
    else if (TypeConstants::isCurrency(kind))
        m_kind = Kind::Currency;
    else if (kind == TypeConstants::DateTime)
        m_kind = Kind::DateTime;
    else if (kind == TypeConstants::Date)
        m_kind = Kind::Date;
    else if (kind == TypeConstants::Time)
        m_kind = Kind::Time;
    if (m_kind == Kind::Boolean) {
        m_yes = LocalizedStrings::Yes();
        m_no = LocalizedStrings::No();
    }
    if (m_kind == Kind::Numeric || m_kind == Kind::Currency) {
        const QVariant precision = column.precision();
        const qlonglong decimals = isSet(precision) ? precision.toLongLong() : 0;
        m_decimals = unsigned(std::clamp<qlonglong>(decimals, 0, KivoNumber::MaximumDecimals));
    }
}

QString ColumnDisplay::text(const QVariant& value) const
{
    switch (m_kind) {
    case Kind::Text:
        return isSet(value) ? value.toString() : QString(QLatin1String(""));
    case Kind::Boolean:
        return isSet(value) && value.toBool() ? m_yes : m_no;
    case Kind::Numeric:
    case Kind::Currency:
        // A value that is missing (a column added after the row was written) shows nothing.
        if (RowValueCompare::isMissing(value))
            return QString(QLatin1String(""));
        return m_kind == Kind::Numeric
            ? KivoNumber::getStringWithDecimal(value.toDouble(), m_decimals)
            : KivoNumber::getCurrencyWithDecimal(value.toDouble(), m_decimals);
    case Kind::Date:
    case Kind::DateTime:
    case Kind::Time: {
        if (RowValueCompare::isMissing(value))
            return QString(QLatin1String(""));
        const platform::Date date = RowValueCompare::momentOf(value);
        if (!date.isValid())
            return QString(QLatin1String(""));
        if (m_kind == Kind::DateTime)
            return KivoDateUtils::getDateTimeString(date);
        if (m_kind == Kind::Date)
            return KivoDateUtils::getDateString(date);
        return KivoDateUtils::getTimeString(date);
    }
    case Kind::Other:
        break;
    }
    return value.toString();
}

std::optional<qsizetype> ColumnDisplay::lengthBound(const QVariant& value) const
{
    switch (m_kind) {
    case Kind::Text:
        // A text's own length, without a copy.
        if (value.typeId() == QMetaType::QString)
            return static_cast<const QString*>(value.constData())->size();
        return std::nullopt;
    case Kind::Boolean:
        return isSet(value) && value.toBool() ? m_yes.size() : m_no.size();
    case Kind::Numeric:
    case Kind::Currency:
        if (RowValueCompare::isMissing(value))
            return 0;
        return m_kind == Kind::Numeric
            ? KivoNumber::getStringLengthBound(value.toDouble(), m_decimals)
            : KivoNumber::getCurrencyLengthBound(value.toDouble(), m_decimals);
    case Kind::Date:
    case Kind::DateTime:
    case Kind::Time: {
        if (RowValueCompare::isMissing(value))
            return 0;
        const platform::Date date = RowValueCompare::momentOf(value);
        if (m_kind == Kind::DateTime)
            return KivoDateUtils::getDateTimeStringLengthBound(date);
        if (m_kind == Kind::Date)
            return KivoDateUtils::getDateStringLengthBound(date);
        return KivoDateUtils::getTimeStringLengthBound(date);
    }
    case Kind::Other:
        break;
    }
    return std::nullopt;
}
