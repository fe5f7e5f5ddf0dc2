#include "forms/TemplateColumnDetailViewController.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "model/DefinitionRules.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

namespace {

const QString kType = QStringLiteral("type");
const QString kLength = QStringLiteral("length");
const QString kPrecision = QStringLiteral("precision");
const QString kListValues = QStringLiteral("listvalues");
const QString kSortField = QStringLiteral("sortfield");
const QString kSortAscending = QStringLiteral("sortascending");
const QString kAutoComplete = QStringLiteral("autocomplete");
const QString kReminder = QStringLiteral("reminder");

// A row with its caption above it on a phone (the type's image beside the caption).
void addCaption(FormSection* section, const QString& title, const QString& captionType)
{
    if (!DeviceHelper::isIPHONE())
        return;
    auto caption = FormLabelElement::initWithTitle(title, QVariant());
    caption->setImage(TemplateColumn::imageForType(captionType));
    section->addElement(caption);
}

FormBooleanElement* addFlag(FormSection* section, const QString& title, const QString& property,
    bool value, const QString& key, const QString& image)
{
    auto flag = FormBooleanElement::initWithTitle(title, value);
    flag->setBind(QStringLiteral("boolValue:%1").arg(property));
    if (!key.isEmpty())
        flag->setKey(key);
    flag->setImage(UIImage_Theme::themedimageNamed(image));
    section->addElement(flag);
    return flag.get();
}

FormDecimalElement* addNumber(FormSection* section, const QString& title, const QString& property,
    const QString& placeholder, const QString& image)
{
    auto entry = FormDecimalElement::initWithTitle(title, QVariant());
    entry->setBind(QStringLiteral("numberValue:%1").arg(property));
    entry->setKey(property);
    entry->setPlaceholder(placeholder);
    entry->setImage(UIImage_Theme::themedimageNamed(image));
    section->addElement(entry);
    return entry.get();
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

TemplateColumnDetailViewController::TemplateColumnDetailViewController(QObject* parent)
    : CloudDetailViewController(parent)
{
}

TemplateColumnDetailViewController::~TemplateColumnDetailViewController() = default;

const QStringList& TemplateColumnDetailViewController::types()
{
    static const QStringList names { TypeConstants::Text, TypeConstants::BigText,
        TypeConstants::Numeric, TypeConstants::Currency, TypeConstants::DateTime,
        TypeConstants::Date, TypeConstants::Time, TypeConstants::List, TypeConstants::Link,
        TypeConstants::YesNo, TypeConstants::Protected };
    return names;
}

const QStringList& TemplateColumnDetailViewController::typeImages()
{
    static const QStringList names { QStringLiteral("text"), QStringLiteral("bigtext"),
        QStringLiteral("number"), QStringLiteral("currency"), QStringLiteral("datetime"),
        QStringLiteral("date"), QStringLiteral("time"), QStringLiteral("list"),
        QStringLiteral("link"), QStringLiteral("yesno"), QStringLiteral("passwordlock") };
    return names;
}

std::shared_ptr<FormRootElement> TemplateColumnDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("TemplateColumnDetailViewController"));
    return form;
}

void TemplateColumnDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 - %2").arg(LocalizedStrings::Column(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    auto fields = std::make_shared<FormSection>();
    createNameField(fields.get());
    createTypeField(fields.get());
    createMandatoryField(fields.get());
    createLengthField(fields.get());
    createPrecisionField(fields.get());
    createInTilesField(fields.get());
    createInTableField(fields.get());
    createListVauesField(fields.get());
    createSortField(fields.get());
    createSortAscendingField(fields.get());
    createAutoCompleteField(fields.get());
    createReminderField(fields.get());
    form->addSection(fields);
    addSaveSection(*form);
}

FormEntryElement* TemplateColumnDetailViewController::createNameField(FormSection* section)
{
    const QString title = LocalizedStrings::Name();
    addCaption(section, title, TypeConstants::Text);
    const bool phone = DeviceHelper::isIPHONE();
    auto entry = FormEntryElement::initWithTitle(
        phone ? QString() : title, QString(), LocalizedStrings::NameOfTheColumn());
    entry->setBind(QStringLiteral("textValue:name"));
    entry->setImage(phone ? UIImage_Theme::themedimageNamed(QStringLiteral("empty"))
                          : TemplateColumn::imageForType(TypeConstants::Text));
    section->addElement(entry);
    return entry.get();
}

FormRadioElement* TemplateColumnDetailViewController::createTypeField(FormSection* section)
{
    const QString title = LocalizedStrings::Type();
    addCaption(section, title, TypeConstants::List);
    const bool phone = DeviceHelper::isIPHONE();
    QVariantList items;
    for (const QString& type : types())
        items << type;
    auto choice
        = FormRadioElement::initWithItems(items, -1, phone ? QString() : title, typeImages());
    choice->setBind(QStringLiteral("selectedItem:type"));
    choice->setKey(kType);
    choice->setImage(phone ? UIImage_Theme::themedimageNamed(QStringLiteral("empty"))
                           : TemplateColumn::imageForType(TypeConstants::List));
    QPointer<TemplateColumnDetailViewController> self(this);
    choice->onSelected = [self] {
        if (self)
            self->EnableDisable(true);
    };
    section->addElement(choice);
    return choice.get();
}

FormBooleanElement* TemplateColumnDetailViewController::createMandatoryField(FormSection* section)
{
    return addFlag(section, LocalizedStrings::Mandatory(), QStringLiteral("mandatory"), false,
        QString(), QStringLiteral("columnmandatoryd"));
}

FormDecimalElement* TemplateColumnDetailViewController::createLengthField(FormSection* section)
{
    return addNumber(section, LocalizedStrings::Length(), kLength,
        LocalizedStrings::LenghtOfTheColumn(), QStringLiteral("columnlengthd"));
}

FormDecimalElement* TemplateColumnDetailViewController::createPrecisionField(FormSection* section)
{
    return addNumber(section, LocalizedStrings::Precision(), kPrecision,
        LocalizedStrings::PrecisionOfTheColumn(), QStringLiteral("columnprecisiond"));
}

FormBooleanElement* TemplateColumnDetailViewController::createInTilesField(FormSection* section)
{
    return addFlag(section, LocalizedStrings::ShowInTiles(), QStringLiteral("intiles"), false,
        QString(), QStringLiteral("columnshowtilesd"));
}

FormBooleanElement* TemplateColumnDetailViewController::createInTableField(FormSection* section)
{
    return addFlag(section, LocalizedStrings::ShowInTable(), QStringLiteral("intable"), true,
        QString(), QStringLiteral("columnshowtabled"));
}

FormEntryElement* TemplateColumnDetailViewController::createListVauesField(FormSection* section)
{
    const QString title = LocalizedStrings::ListValues();
    addCaption(section, title, TypeConstants::List);
    const bool phone = DeviceHelper::isIPHONE();
    auto entry = FormEntryElement::initWithTitle(
        phone ? QString() : title, QString(), LocalizedStrings::ListValuesSeparatedByComma());
    entry->setBind(QStringLiteral("textValue:listvalues"));
    entry->setKey(kListValues);
    entry->setImage(phone ? UIImage_Theme::themedimageNamed(QStringLiteral("empty"))
                          : TemplateColumn::imageForType(TypeConstants::List));
    section->addElement(entry);
    return entry.get();
}

FormBooleanElement* TemplateColumnDetailViewController::createSortField(FormSection* section)
{
    return addFlag(section, LocalizedStrings::SortThisColumn(), kSortField, false, kSortField,
        QStringLiteral("columnsortcolumnd"));
}

FormBooleanElement* TemplateColumnDetailViewController::createSortAscendingField(
    FormSection* section)
{
    return addFlag(section, LocalizedStrings::SortAscending(), kSortAscending, false,
        kSortAscending, QStringLiteral("ascendingd"));
}

FormBooleanElement* TemplateColumnDetailViewController::createAutoCompleteField(
    FormSection* section)
{
    return addFlag(section, LocalizedStrings::AutoComplete(), kAutoComplete, false, kAutoComplete,
        QStringLiteral("columnautocompleted"));
}

FormBooleanElement* TemplateColumnDetailViewController::createReminderField(FormSection* section)
{
    return addFlag(section, LocalizedStrings::Reminder(), kReminder, false, kReminder,
        QStringLiteral("reminderd"));
}

void TemplateColumnDetailViewController::EnableDisable(bool reload)
{
    FormRootElement* form = root();
    if (!form)
        return;
    auto* typeField = qobject_cast<FormRadioElement*>(form->elementWithKey(kType));
    auto* length = qobject_cast<FormDecimalElement*>(form->elementWithKey(kLength));
    auto* precision = qobject_cast<FormDecimalElement*>(form->elementWithKey(kPrecision));
    FormElement* listValues = form->elementWithKey(kListValues);
    auto* sortField = qobject_cast<FormBooleanElement*>(form->elementWithKey(kSortField));
    auto* sortAscending = qobject_cast<FormBooleanElement*>(form->elementWithKey(kSortAscending));
    FormElement* autoComplete = form->elementWithKey(kAutoComplete);
    auto* reminder = qobject_cast<FormBooleanElement*>(form->elementWithKey(kReminder));
    if (!typeField || !length || !precision || !listValues || !sortField || !sortAscending
        || !autoComplete || !reminder)
        return;
    const QString type = text(typeField->selectedItem());

    if (TypeConstants::isText(type)) {
        length->setEnabled(true);
        precision->setNumberValue(0);
        precision->setEnabled(false);
        autoComplete->setEnabled(type == TypeConstants::Text);
        if (TypeConstants::isList(type)) {
            length->setNumberValue(0);
            length->setEnabled(false);
            listValues->setEnabled(true);
        } else {
            listValues->setEnabled(false);
        }
        if (TypeConstants::isLink(type)) {
            length->setEnabled(false);
            length->setNumberValue(LinkLength);
        }
    }
    const bool isProtected = TypeConstants::isProtected(type);
    if (isProtected) {
        sortField->setBoolValue(false);
        sortAscending->setBoolValue(false);
    }
    sortField->setEnabled(!isProtected);
    sortAscending->setEnabled(!isProtected);
    if (TypeConstants::isDate(type) || TypeConstants::isBoolean(type)) {
        precision->setNumberValue(0);
        length->setNumberValue(0);
        length->setEnabled(false);
        precision->setEnabled(false);
        listValues->setEnabled(false);
    }
    if (TypeConstants::isNumber(type)) {
        length->setEnabled(true);
        precision->setEnabled(true);
        listValues->setEnabled(false);
        autoComplete->setEnabled(false);
    }
    if (!TypeConstants::isDate(type)) {
        reminder->setEnabled(false);
        reminder->setBoolValue(false);
    } else {
        reminder->setEnabled(true);
    }
    if (reload) {
        if (FormTableView* table = formTableView())
            table->reloadData();
    }
}

bool TemplateColumnDetailViewController::Save(const QVariantMap& values)
{
    auto* column = qobject_cast<TemplateColumn*>(RowObject::object(currentRow()));
    BaseDataController* controller = callingDataController();
    if (!column || !controller)
        return false;
    if (controller->lastClickedButton() == BaseDataController::EditAction) {
        const QString problem = DefinitionRules::changeProblem(text(column->type()),
            column->length(), text(values.value(kType)), values.value(kLength),
            UserTemplate::isTemplateUsed(text(column->template_id())));
        if (!problem.isEmpty()) {
            MessageHelper::ShowMessage(problem, false);
            return false;
        }
    }
    RunTime::classFromDictionary(values, &TemplateColumn::staticMetaObject, column);
    if (controller->saveRow(currentRow()))
        return true;
    // The column is the stored object itself: refused, it goes back to what is stored.
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
    return false;
}
