#include "forms/SortDetailViewController.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "model/Sort.h"
#include "platform/MutableDictionary.h"
#include "utilities/text/LocalizedStrings.h"

SortDetailViewController::SortDetailViewController(QObject* parent)
    : FilterDetailViewController(parent)
{
}

SortDetailViewController::~SortDetailViewController() = default;

std::shared_ptr<FormRootElement> SortDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("SortDetailViewController"));
    form->setGrouped(true);
    form->setTitle(LocalizedStrings::SortColumns());
    return form;
}

void SortDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    form->setGrouped(true);
    form->setTitle(LocalizedStrings::SortColumns());
    setTitle(LocalizedStrings::SortColumns());
    auto fields = std::make_shared<FormSection>();
    QVariantList items;
    for (const QString& item : columnItems())
        items.append(item);
    auto columns = FormRadioElement::initWithItems(items, -1, LocalizedStrings::Column());
    columns->setBind(QStringLiteral("selectedItem:Header"));
    fields->addElement(columns);
    auto ascending = FormBooleanElement::initWithTitle(LocalizedStrings::Ascending(), true);
    ascending->setBind(QStringLiteral("boolValue:Ascending"));
    fields->addElement(ascending);
    form->addSection(fields);
    addSaveSection(*form);
}

QVariant SortDetailViewController::editableValues(const QObject& entry) const
{
    platform::MutableDictionary values;
    for (const char* key : { "Header", "Ascending" })
        values.setValue(QString::fromLatin1(key), entry.property(key));
    return QVariant::fromValue(values);
}

bool SortDetailViewController::Save(const QVariantMap& values)
{
    return saveCopy<Sort>(values);
}
