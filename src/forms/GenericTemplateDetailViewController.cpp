#include "forms/GenericTemplateDetailViewController.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Date.h"
#include "platform/MutableDictionary.h"
#include "style/Theme.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

namespace {

const QString kEmptyImage = QStringLiteral("empty");
const QString kReminderImage = QStringLiteral("reminderd");
const QString kLockImage = QStringLiteral("passwordlock");
const QString kUnlockImage = QStringLiteral("passwordunlock");
const QSizeF kMultilinePopupSize(600, 300);

QString idOf(const TemplateColumn* column)
{
    return column->id().toString();
}

QString nameOf(const TemplateColumn* column)
{
    return column->name().toString();
}

QString bindFor(const QString& property, const QString& key)
{
    return property + u':' + key;
}

FormLabelElement* asLabel(FormElement* element)
{
    return qobject_cast<FormLabelElement*>(element);
}

} // namespace

GenericTemplateDetailViewController::GenericTemplateDetailViewController(QObject* parent)
    : CloudDetailViewController(parent)
{
}

GenericTemplateDetailViewController::~GenericTemplateDetailViewController() = default;

std::shared_ptr<FormRootElement> GenericTemplateDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("GenericTemplateDetailViewController"));
    return form;
}

const QStringList& GenericTemplateDetailViewController::reminderKeys()
{
    // The reminder scheduler reads these words; they are never translated.
    static const QStringList keys { QStringLiteral("None"), QStringLiteral("Once"),
        QStringLiteral("Daily"), QStringLiteral("Weekly"), QStringLiteral("Monthly"),
        QStringLiteral("Yearly") };
    return keys;
}

platform::ui::Image GenericTemplateDetailViewController::imageNamed(const QString& name)
{
    auto found = m_images.constFind(name);
    if (found == m_images.constEnd())
        found = m_images.insert(name, UIImage_Theme::themedimageNamed(name));
    return *found;
}

platform::ui::Image GenericTemplateDetailViewController::typeImageOf(const TemplateColumn* column)
{
    const QString key = QStringLiteral("type:") + column->typeName();
    auto found = m_images.constFind(key);
    if (found == m_images.constEnd())
        found = m_images.insert(key, column->typeImage());
    return *found;
}

RowFormDataController* GenericTemplateDetailViewController::rowSource() const
{
    return dynamic_cast<RowFormDataController*>(callingDataController());
}

void GenericTemplateDetailViewController::decorate(
    FormElement* element, TemplateColumn* column, bool placeholder)
{
    FormLabelElement* label = asLabel(element);
    if (!label)
        return;
    if (DeviceHelper::isIPHONE()) {
        label->setTitle(QString());
        label->setImage(imageNamed(kEmptyImage));
    } else {
        label->setTitle(nameOf(column));
        label->setImage(typeImageOf(column));
    }
    if (placeholder)
        if (auto* entry = qobject_cast<FormEntryElement*>(element))
            entry->setPlaceholder(nameOf(column));
}

void GenericTemplateDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    QString tableName;
    if (BaseViewController* screen = callingScreen())
        if (const std::shared_ptr<Parent> link = screen->parentLink())
            if (QObject* table = RowObject::object(link->data))
                tableName = table->property("name").toString();
    const QString title = QStringLiteral("%1 - %2").arg(tableName, getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);

    auto section = std::make_shared<FormSection>();
    form->addSection(section);
    RowFormDataController* source = rowSource();
    const Rows::Columns columns = source ? source->Columns() : Rows::Columns();
    const bool phone = DeviceHelper::isIPHONE();
    for (TemplateColumn* column : columns) {
        if (!column)
            continue;
        const QString type = column->typeName();
        const QString elementTitle = phone ? QString() : nameOf(column);
        if (type == TypeConstants::Text || type == TypeConstants::Link
            || type == TypeConstants::Protected) {
            createHeader(column, section.get());
            // A protected value is always masked: never shown in clear or offered as a
            // completion.
            if (column->autocomplete().toBool() && type != TypeConstants::Protected)
                createAutoEntryField(column, elementTitle, section.get(), source);
            else
                createTextField(column, elementTitle, section.get());
        } else if (type == TypeConstants::BigText) {
            createHeader(column, section.get());
            createMultiLineTextField(column, elementTitle, section.get());
        } else if (TypeConstants::isNumber(type)) {
            createHeader(column, section.get());
            createNumberField(column, elementTitle, section.get());
        } else if (TypeConstants::isBoolean(type)) {
            createBooelanField(column, nameOf(column), section.get());
        } else if (type == TypeConstants::Date) {
            createHeader(column, section.get());
            createDateField(column, elementTitle, section.get());
        } else if (type == TypeConstants::DateTime) {
            createHeader(column, section.get());
            createDateTimeField(column, elementTitle, section.get());
        } else if (type == TypeConstants::Time) {
            createHeader(column, section.get());
            createTimeField(column, elementTitle, section.get());
        } else if (TypeConstants::isList(type)) {
            createHeader(column, section.get());
            createListField(column, elementTitle, section.get());
        }
        if (TypeConstants::isDate(type) && column->reminder().toBool())
            createReminderField(column, section.get());
    }

    addSaveSection(*form);
}

FormElement* GenericTemplateDetailViewController::createHeader(
    TemplateColumn* column, FormSection* section)
{
    if (!DeviceHelper::isIPHONE())
        return nullptr;
    auto caption = FormLabelElement::initWithTitle(nameOf(column), QVariant());
    caption->setImage(typeImageOf(column));
    section->addElement(caption);
    return caption.get();
}

FormElement* GenericTemplateDetailViewController::createTextField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    auto entry = FormEntryElement::initWithTitle(title, QString());
    entry->setBind(bindFor(QStringLiteral("textValue"), idOf(column)));
    decorate(entry.get(), column, true);
    if (TypeConstants::isProtected(column->typeName())) {
        entry->setSecureTextEntry(true);
        setLockUnlockImage(entry.get());
        QPointer<GenericTemplateDetailViewController> self(this);
        entry->onImageSelected = [self](FormElement* element) {
            if (self)
                self->lockUnlock(element);
        };
    }
    section->addElement(entry);
    return entry.get();
}

FormElement* GenericTemplateDetailViewController::createAutoEntryField(TemplateColumn* column,
    const QString& title, FormSection* section, RowFormDataController* dataController)
{
    auto entry = FormAutoEntryElement::initWithTitle(title, QString());
    entry->setBind(bindFor(QStringLiteral("textValue"), idOf(column)));
    decorate(entry.get(), column, true);
    QStringList values;
    if (dataController)
        for (const QVariant& value : dataController->getAutoCompleteValues(idOf(column)))
            values << value.toString();
    entry->setAutoCompleteValues(values);
    if (Theme* style = currentStyle())
        entry->autoCompleteColor = style->imageColor();
    section->addElement(entry);
    return entry.get();
}

FormElement* GenericTemplateDetailViewController::createMultiLineTextField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    auto entry = FormMultilineElement::initWithTitle(title, QString());
    entry->setBind(bindFor(QStringLiteral("textValue"), idOf(column)));
    decorate(entry.get(), column, true);
    entry->popupSize = kMultilinePopupSize;
    section->addElement(entry);
    return entry.get();
}

FormElement* GenericTemplateDetailViewController::createNumberField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    auto entry = FormDecimalElement::initWithTitle(title, QVariant());
    entry->setBind(bindFor(QStringLiteral("numberValue"), idOf(column)));
    decorate(entry.get(), column, true);
    entry->setFractionDigits(qulonglong(qMax(0, ModelRegistry::intValue(column->precision()))));
    if (TypeConstants::isCurrency(column->typeName()))
        entry->setSuffix(KivoNumber::getCurrencySymbol());
    section->addElement(entry);
    return entry.get();
}

FormElement* GenericTemplateDetailViewController::createBooelanField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    auto flag = FormBooleanElement::initWithTitle(title, false);
    flag->setBind(bindFor(QStringLiteral("boolValue"), idOf(column)));
    flag->setImage(typeImageOf(column));
    section->addElement(flag);
    return flag.get();
}

FormElement* GenericTemplateDetailViewController::createDateElement(
    TemplateColumn* column, const QString& title, FormSection* section, int mode)
{
    auto date = FormDateTimeInlineElement::initWithTitle(title, QDateTime::currentDateTime(), mode);
    date->setBind(bindFor(QStringLiteral("dateValue"), idOf(column)));
    decorate(date.get(), column, true);
    section->addElement(date);
    return date.get();
}

FormElement* GenericTemplateDetailViewController::createDateField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    return createDateElement(column, title, section, FormDateTimeInlineElement::Date);
}

FormElement* GenericTemplateDetailViewController::createDateTimeField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    return createDateElement(column, title, section, FormDateTimeInlineElement::DateAndTime);
}

FormElement* GenericTemplateDetailViewController::createTimeField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    return createDateElement(column, title, section, FormDateTimeInlineElement::Time);
}

FormElement* GenericTemplateDetailViewController::createListField(
    TemplateColumn* column, const QString& title, FormSection* section)
{
    QVariantList items;
    for (const QString& item : column->listvalues().toString().split(u','))
        items << item;
    auto list = FormRadioElement::initWithItems(items, -1, title);
    list->setBind(bindFor(QStringLiteral("selectedItem"), idOf(column)));
    decorate(list.get(), column, false);
    section->addElement(list);
    return list.get();
}

FormElement* GenericTemplateDetailViewController::createReminderField(
    TemplateColumn* column, FormSection* section)
{
    const bool phone = DeviceHelper::isIPHONE();
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(LocalizedStrings::Reminder(), QVariant());
        caption->setImage(imageNamed(kReminderImage));
        section->addElement(caption);
    }
    const QStringList labels { LocalizedStrings::None(), LocalizedStrings::Once(),
        LocalizedStrings::Daily(), LocalizedStrings::Weekly(), LocalizedStrings::Monthly(),
        LocalizedStrings::Yearly() };
    OrderedDictionary choices;
    for (qsizetype i = 0; i < labels.size(); ++i)
        choices.setObject(reminderKeys().at(i), labels.at(i));
    const QStringList images { QStringLiteral("reminderd"), QStringLiteral("reminderonced"),
        QStringLiteral("reminderdailyd"), QStringLiteral("reminderweeklyd"),
        QStringLiteral("remindermonthlyd"), QStringLiteral("reminderyearlyd") };
    auto reminder = FormRadioElement::initWithDict(
        choices, -1, phone ? QString() : LocalizedStrings::Reminder(), images);
    const QString key = Rows::reminderKey(idOf(column));
    reminder->setBind(bindFor(QStringLiteral("selectedValue"), key));
    reminder->setImage(imageNamed(phone ? kEmptyImage : kReminderImage));
    // An untouched reminder shows and saves None.
    const QVariant row = currentRow();
    if (row.canConvert<platform::MutableDictionary>()) {
        platform::MutableDictionary values = row.value<platform::MutableDictionary>();
        if (!values.value(key).isValid() || values.value(key).isNull())
            values.setValue(key, reminderKeys().first());
    }
    reminder->setSelected(0);
    section->addElement(reminder);
    return reminder.get();
}

void GenericTemplateDetailViewController::setLockUnlockImage(FormElement* element)
{
    auto* entry = qobject_cast<FormEntryElement*>(element);
    if (!entry)
        return;
    entry->setImage(imageNamed(entry->isSecureTextEntry() ? kLockImage : kUnlockImage));
}

void GenericTemplateDetailViewController::lockUnlock(FormElement* element)
{
    auto* entry = qobject_cast<FormEntryElement*>(element);
    if (!entry)
        return;
    entry->setSecureTextEntry(!entry->isSecureTextEntry());
    setLockUnlockImage(entry);
    if (FormTableView* table = formTableView())
        table->reloadCellForElements({ entry });
}

QVariantMap GenericTemplateDetailViewController::keepUnchangedDates(const QVariantMap& values) const
{
    // The date element keeps milliseconds; a stored moment with finer fractions that the
    // user left alone goes back as stored, so an unchanged row is written unchanged.
    RowFormDataController* source = rowSource();
    const QVariant row = currentRow();
    if (!source || !row.canConvert<platform::MutableDictionary>())
        return values;
    const platform::MutableDictionary original = row.value<platform::MutableDictionary>();
    QVariantMap kept = values;
    for (const TemplateColumn* column : source->Columns()) {
        if (!column || !TypeConstants::isDate(column->typeName()))
            continue;
        const QString key = idOf(column);
        const QVariant before = original.value(key);
        if (!before.canConvert<platform::Date>() || !kept.contains(key))
            continue;
        const platform::Date stored = before.value<platform::Date>();
        if (stored.isValid() && kept.value(key).toDateTime() == stored.toDateTime())
            kept.insert(key, before);
    }
    return kept;
}

bool GenericTemplateDetailViewController::Save(const QVariantMap& values)
{
    BaseDataController* controller = callingDataController();
    if (!controller)
        return false;
    return controller->saveRow(QVariant(keepUnchangedDates(values)));
}

QSizeF GenericTemplateDetailViewController::popupContentSize() const
{
    unsigned rows = 0;
    if (RowFormDataController* source = rowSource()) {
        for (const TemplateColumn* column : source->Columns()) {
            if (!column)
                continue;
            ++rows;
            if (TypeConstants::isDate(column->typeName()) && column->reminder().toBool())
                ++rows;
        }
    }
    return QSizeF(DefaultPopupWidth, calculateHeight(rows));
}

void GenericTemplateDetailViewController::loadData(const QVariant& record)
{
    if (BaseDataController* controller = callingDataController())
        if (const std::optional<double> stamp = modificationTime(controller->detailRowInAction()))
            setTimestamp(*stamp);
    QuickDetailViewController::loadData(record);
}

void GenericTemplateDetailViewController::cloudStoreLoaded()
{
    BaseDataController* controller = callingDataController();
    if (!controller || controller->lastClickedButton() != BaseDataController::EditAction)
        return;
    const QVariant record = controller->detailRowInAction();
    auto* row = qobject_cast<Rows*>(RowObject::object(record));
    if (!row) {
        closeForVanishedRecord();
        return;
    }
    RowFormDataController* source = rowSource();
    const std::optional<QVariantMap> read
        = source ? row->decodeData(source->Columns(), source->secret()) : QVariantMap();
    // A row that does not read here (its table protected meanwhile under a password not
    // given yet) leaves the form as it is: what was typed waits for the password.
    if (!read)
        return;
    const QVariantMap& values = *read;
    controller->setExtraData(values);
    const std::optional<double> stamp = modificationTime(record);
    if (stamp && *stamp != timestamp()) {
        loadData(values);
        EnableDisable(true);
        return;
    }
    setCurrentRow(asMutableRecord(values));
}
