#include "grid/ContainsPredicate.h"

#include "model/RowValueCompare.h"

#include <QLocale>

#include <cmath>

ContainsPredicate::ContainsPredicate(const QString& text)
    : m_folded(RowValueCompare::fold(text))
{
}

bool ContainsPredicate::evaluate(const QString& text) const
{
    if (m_folded.isEmpty() || text.isEmpty())
        return false;
    return RowValueCompare::fold(text).contains(m_folded);
}

bool ContainsPredicate::evaluate(const QVariant& value) const
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return evaluate(value.toString());
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return evaluate(numberText(value));
    default:
        return false;
    }
}

QString ContainsPredicate::numberText(const QVariant& number)
{
    switch (number.typeId()) {
    case QMetaType::Bool:
        return number.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return QString::number(number.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double value = number.toDouble();
        // Whole values within the exact range read as integers, as the server sent them.
        // The range comes first: converting a value outside it is undefined.
        if (qAbs(value) < 9.0e15 && value == std::trunc(value))
            return QString::number(qint64(value));
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    default:
        return QString::number(number.toLongLong());
    }
}
