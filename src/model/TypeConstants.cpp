#include "model/TypeConstants.h"

const QString TypeConstants::Text = QStringLiteral("Text");
const QString TypeConstants::BigText = QStringLiteral("BigText");
const QString TypeConstants::Date = QStringLiteral("Date");
const QString TypeConstants::Numeric = QStringLiteral("Numeric");
const QString TypeConstants::YesNo = QStringLiteral("Yes/No");
const QString TypeConstants::List = QStringLiteral("List");
const QString TypeConstants::Link = QStringLiteral("Link");
const QString TypeConstants::Time = QStringLiteral("Time");
const QString TypeConstants::DateTime = QStringLiteral("DateTime");
const QString TypeConstants::Currency = QStringLiteral("Currency");
const QString TypeConstants::Protected = QStringLiteral("Protected");

const QStringList& TypeConstants::allTypes()
{
    static const QStringList types { Text, BigText, Date, Numeric, YesNo, List, Link, Time,
        DateTime, Currency, Protected };
    return types;
}

bool TypeConstants::isText(const QString& type)
{
    return type == Text || type == BigText || type == List || type == Link || type == Protected;
}

bool TypeConstants::isDate(const QString& type)
{
    return type == DateTime || type == Date || type == Time;
}

bool TypeConstants::isBoolean(const QString& type)
{
    return type == YesNo;
}
bool TypeConstants::isNumeric(const QString& type)
{
    return type == Numeric;
}
bool TypeConstants::isList(const QString& type)
{
    return type == List;
}
bool TypeConstants::isLink(const QString& type)
{
    return type == Link;
}
bool TypeConstants::isCurrency(const QString& type)
{
    return type == Currency;
}
bool TypeConstants::isNumber(const QString& type)
{
    return isNumeric(type) || isCurrency(type);
}
bool TypeConstants::isProtected(const QString& type)
{
    return type == Protected;
}
