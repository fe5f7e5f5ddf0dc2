#include "forms/FilterValueElement.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRadioElement.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <QDateTime>

namespace FilterValueElement {

std::shared_ptr<FormElement> getEntryElemenet(const TemplateColumn* column)
{
    const QString title = LocalizedStrings::Value();
    const QString type = column ? column->typeName() : QString();
    if (TypeConstants::isList(type)) {
        QVariantList items;
        for (const QString& item : column->listvalues().toString().split(u','))
            items << item;
        auto element = FormRadioElement::initWithItems(items, 0, title);
        element->setBind(QStringLiteral("selectedItem:%1").arg(QStringLiteral("textValue")));
        return element;
    }
    if (TypeConstants::isNumber(type)) {
        auto element = FormDecimalElement::initWithTitle(title, QVariant());
        element->setNumberValue(QVariant());
        element->setFractionDigits(qulonglong(qMax(0LL, column->precision().toLongLong())));
        if (TypeConstants::isCurrency(type))
            element->setSuffix(KivoNumber::getCurrencySymbol());
        element->setBind(QStringLiteral("numberValue:%1").arg(QStringLiteral("numericValue")));
        return element;
    }
    if (TypeConstants::isBoolean(type)) {
        auto element = FormBooleanElement::initWithTitle(title, false);
        element->setBind(QStringLiteral("boolValue:%1").arg(QStringLiteral("yesnoValue")));
        return element;
    }
    if (TypeConstants::isDate(type)) {
        const int mode = type == TypeConstants::Time ? FormDateTimeInlineElement::Time
            : type == TypeConstants::DateTime        ? FormDateTimeInlineElement::DateAndTime
                                                     : FormDateTimeInlineElement::Date;
        auto element
            = FormDateTimeInlineElement::initWithTitle(title, QDateTime::currentDateTime(), mode);
        element->setBind(QStringLiteral("dateValue:%1").arg(QStringLiteral("dateValue")));
        return element;
    }
    auto element = FormEntryElement::initWithTitle(title, QString());
    element->setBind(QStringLiteral("textValue:%1").arg(QStringLiteral("textValue")));
    return element;
}

} // namespace FilterValueElement
