#include "model/FilterExtended.h"

#include "model/TypeConstants.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QUuid>

const QString FilterExtended::AndEnglish = QStringLiteral("AND");
const QString FilterExtended::OrEnglish = QStringLiteral("OR");

FilterExtended::FilterExtended(QObject* parent)
    : Filter(parent)
    , m_id(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
{
}

FilterExtended::~FilterExtended() = default;

QString FilterExtended::AndOrEnglish() const
{
    return AndOr() == LocalizedStrings::And() ? AndEnglish : OrEnglish;
}

QVariant FilterExtended::getValueForType(const QString& type) const
{
    if (TypeConstants::isText(type))
        return m_textValue;
    if (TypeConstants::isNumber(type))
        return m_numericValue;
    if (TypeConstants::isDate(type)) {
        if (!m_dateValue.isValid())
            return QVariant();
        if (type == TypeConstants::Date)
            return KivoDateUtils::getOnlyDate(m_dateValue);
        if (type == TypeConstants::Time)
            return KivoDateUtils::getOnlyTime(m_dateValue);
        return m_dateValue;
    }
    if (TypeConstants::isBoolean(type))
        return m_yesnoValue;
    return QVariant();
}
