#include "model/RowValueCompare.h"

#include "utilities/data/RunTime.h"
#include "utilities/text/KivoDateUtils.h"

#include <cmath>

namespace {

template<class T> int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

RowValueCompare::Kind RowValueCompare::kindOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Kind::Missing;
    const int type = value.typeId();
    if (type == QMetaType::Bool || RunTime::isNumericType(type))
        return Kind::Number;
    switch (type) {
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? Kind::Date : Kind::Missing;
    case QMetaType::QString:
        return Kind::Text;
    default:
        if (value.metaType() == QMetaType::fromType<platform::Date>())
            return value.value<platform::Date>().isValid() ? Kind::Date : Kind::Missing;
        return Kind::Other;
    }
}

platform::Date RowValueCompare::momentOf(const QVariant& value)
{
    switch (kindOf(value)) {
    case Kind::Date:
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime();
        return value.value<platform::Date>();
    case Kind::Number:
        return KivoDateUtils::ConvertFromUnixTime(value.toDouble());
    default:
        return {};
    }
}

QDateTime RowValueCompare::dateOf(const QVariant& value)
{
    return momentOf(value).toDateTime();
}

int RowValueCompare::compare(const QVariant& a, const QVariant& b)
{
    const Kind ka = kindOf(a);
    const Kind kb = kindOf(b);
    if (ka != kb)
        return threeWay(int(ka), int(kb));
    switch (ka) {
    case Kind::Missing:
        return 0;
    case Kind::Number: {
        // NaN cannot come from JSON; should one slip in, it counts as the smallest number.
        const double x = a.toDouble();
        const double y = b.toDouble();
        const bool xNaN = std::isnan(x);
        const bool yNaN = std::isnan(y);
        if (xNaN || yNaN)
            return threeWay(int(!xNaN), int(!yNaN));
        return threeWay(x, y);
    }
    case Kind::Date:
        return threeWay(momentOf(a).unixTime(), momentOf(b).unixTime());
    case Kind::Text: {
        const int order = QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
        return threeWay(order, 0);
    }
    case Kind::Other:
        return threeWay(QString::compare(a.toString(), b.toString()), 0);
    }
    return 0;
}

RowValueCompare::Key RowValueCompare::keyOf(const QVariant& value)
{
    Key key;
    key.kind = kindOf(value);
    switch (key.kind) {
    case Kind::Missing:
        break;
    case Kind::Number:
        key.number = value.toDouble();
        break;
    case Kind::Date:
        key.moment = momentOf(value).unixTime();
        break;
    case Kind::Text:
    case Kind::Other:
        key.text = value.toString();
        break;
    }
    return key;
}

int RowValueCompare::compare(const Key& a, const Key& b)
{
    if (a.kind != b.kind)
        return threeWay(int(a.kind), int(b.kind));
    switch (a.kind) {
    case Kind::Missing:
        return 0;
    case Kind::Number: {
        const bool xNaN = std::isnan(a.number);
        const bool yNaN = std::isnan(b.number);
        if (xNaN || yNaN)
            return threeWay(int(!xNaN), int(!yNaN));
        return threeWay(a.number, b.number);
    }
    case Kind::Date:
        return threeWay(a.moment, b.moment);
    case Kind::Text:
    case Kind::Other:
        return threeWay(QString::compare(a.text, b.text, Qt::CaseSensitive), 0);
    }
    return 0;
}

bool RowValueCompare::comparable(const QVariant& a, const QVariant& b)
{
    const Kind ka = kindOf(a);
    return ka == kindOf(b) && ka != Kind::Other;
}

QString RowValueCompare::fold(const QString& text)
{
    // Decompose, drop the combining marks, then fold case; the cheap path for plain
    // ASCII keeps filtering large tables quick.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLower();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (QChar c : decomposed) {
        const auto category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing)
            continue;
        stripped.append(c);
    }
    return stripped.toCaseFolded();
}

bool RowValueCompare::containsFolded(const QVariant& value, const QString& foldedNeedle)
{
    if (isMissing(value))
        return false;
    return fold(textOf(value)).contains(foldedNeedle);
}

QString RowValueCompare::textOf(const QVariant& value)
{
    switch (kindOf(value)) {
    case Kind::Missing:
        return {};
    case Kind::Number:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        return QString::number(value.toDouble(), 'g', 15);
    case Kind::Date:
        return dateOf(value).toString(Qt::ISODateWithMs);
    case Kind::Text:
    case Kind::Other:
        return value.toString();
    }
    return {};
}
