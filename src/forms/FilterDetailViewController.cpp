#include "forms/FilterDetailViewController.h"

#include "forms/FormEntryElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "platform/MutableDictionary.h"
#include "utilities/data/RunTime.h"
#include "utilities/text/LocalizedStrings.h"

#include <QMetaProperty>

namespace {

QVariantList itemsOf(const QStringList& texts)
{
    QVariantList items;
    for (const QString& text : texts)
        items.append(text);
    return items;
}

} // namespace

FilterDetailViewController::FilterDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

FilterDetailViewController::~FilterDetailViewController() = default;

std::shared_ptr<FormRootElement> FilterDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("FilterDetailViewController"));
    form->setGrouped(true);
    form->setTitle(LocalizedStrings::Filter());
    return form;
}

QStringList FilterDetailViewController::operatorItems()
{
    return { LocalizedStrings::None(), LocalizedStrings::EqualTo(), LocalizedStrings::NotEqualTo(),
        LocalizedStrings::GreaterThan(), LocalizedStrings::GreaterThanOrEqualTo(),
        LocalizedStrings::LessThan(), LocalizedStrings::LessThanOrEqualTo(),
        LocalizedStrings::Contains(), LocalizedStrings::NotContains() };
}

std::shared_ptr<BaseDataController> FilterDetailViewController::tableController() const
{
    const BaseViewController* list = callingScreen();
    const auto link = list ? list->parentLink() : nullptr;
    return link ? link->dataController.lock() : nullptr;
}

QStringList FilterDetailViewController::columnItems() const
{
    QStringList items { LocalizedStrings::None() };
    const auto controller = tableController();
    if (const auto table = controller ? controller->table() : nullptr) {
        for (const ResponseColumn& column : table->Columns)
            items << column.Header;
    }
    return items;
}

void FilterDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    form->setGrouped(true);
    form->setTitle(LocalizedStrings::Filter());
    setTitle(LocalizedStrings::Filter());
    auto fields = std::make_shared<FormSection>();
    auto andOr = FormRadioElement::initWithItems(
        itemsOf({ LocalizedStrings::None(), LocalizedStrings::And(), LocalizedStrings::Or() }), -1,
        QStringLiteral("%1/%2").arg(LocalizedStrings::And(), LocalizedStrings::Or()));
    andOr->setBind(QStringLiteral("selectedItem:AndOr"));
    fields->addElement(andOr);
    auto columns
        = FormRadioElement::initWithItems(itemsOf(columnItems()), -1, LocalizedStrings::Column());
    columns->setBind(QStringLiteral("selectedItem:Header"));
    fields->addElement(columns);
    auto operators = FormRadioElement::initWithItems(
        itemsOf(operatorItems()), -1, LocalizedStrings::Operator());
    operators->setBind(QStringLiteral("selectedItem:Operator"));
    fields->addElement(operators);
    auto value = FormEntryElement::initWithTitle(LocalizedStrings::Value(), QString());
    value->setBind(QStringLiteral("textValue:Value"));
    fields->addElement(value);
    form->addSection(fields);
    addSaveSection(*form);
}

QVariant FilterDetailViewController::editableValues(const QObject& entry) const
{
    platform::MutableDictionary values;
    for (const char* key : { "AndOr", "Header", "Operator", "Value" })
        values.setValue(QString::fromLatin1(key), entry.property(key));
    return QVariant::fromValue(values);
}

void FilterDetailViewController::loadData(const QVariant& record)
{
    m_entry = record;
    QObject* entry = RowObject::record<FilterExtended>(record).get();
    if (!entry)
        entry = RowObject::record<Sort>(record).get();
    // The form binds to plain values: typing never touches the entry itself.
    QuickDetailViewController::loadData(entry ? editableValues(*entry) : QVariant());
}

void FilterDetailViewController::copyProperties(const QObject& from, QObject& to)
{
    const QMetaObject* cls = from.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        if (property.isWritable())
            property.write(&to, property.read(&from));
    }
}

template<class Entry> bool FilterDetailViewController::saveCopy(const QVariantMap& values)
{
    const auto entry = RowObject::record<Entry>(m_entry);
    BaseDataController* controller = callingDataController();
    if (!entry || !controller)
        return false;
    auto copy = std::make_shared<Entry>();
    copyProperties(*entry, *copy);
    RunTime::classFromDictionary(values, &Entry::staticMetaObject, copy.get());
    if (!controller->saveRow(RowObject::fromRecord(copy)))
        return false;
    copyProperties(*copy, *entry);
    return true;
}

template bool FilterDetailViewController::saveCopy<Sort>(const QVariantMap& values);

bool FilterDetailViewController::Save(const QVariantMap& values)
{
    return saveCopy<FilterExtended>(values);
}
