#include "screens/UserTemplateDetailViewController.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "grid/DetailFormRegistry.h"
#include "grid/RowObject.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "screens/MainDataController.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

const QString UserTemplateDetailViewController::TemplateKey = QStringLiteral("template");
const QString UserTemplateDetailViewController::ProtectedKey = QStringLiteral("protected");

namespace {

FormEntryElement* addTextField(FormSection* section, const QString& title, const QString& bind,
    const QString& placeholder, const QString& image)
{
    const bool phone = DeviceHelper::isIPHONE();
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(title, QVariant());
        caption->setImage(UIImage_Theme::themedimageNamed(image));
        section->addElement(caption);
    }
    auto entry = FormEntryElement::initWithTitle(phone ? QString() : title, QString(), placeholder);
    entry->setBind(bind);
    entry->setImage(UIImage_Theme::themedimageNamed(phone ? QStringLiteral("empty") : image));
    section->addElement(entry);
    return entry.get();
}

} // namespace

UserTemplateDetailViewController::UserTemplateDetailViewController(QObject* parent)
    : CloudDetailViewController(parent)
{
}

UserTemplateDetailViewController::~UserTemplateDetailViewController() = default;

std::shared_ptr<FormRootElement> UserTemplateDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("UserTemplateDetailViewController"));
    return form;
}

void UserTemplateDetailViewController::registerForm()
{
    // Its root may be built on any thread; its screen only on the main thread.
    FormClassRegistry::registerClass<UserTemplateDetailViewController>();
    DetailFormRegistry::FormClass entry;
    entry.createForm = [](const QString&) -> std::shared_ptr<QObject> { return createForm(); };
    entry.controllerForRoot = [](const std::shared_ptr<QObject>& root) -> BaseViewController* {
        auto form = std::dynamic_pointer_cast<FormRootElement>(root);
        return form ? FormController::controllerForRoot(form) : nullptr;
    };
    DetailFormRegistry::registerForm(
        QStringLiteral("UserTemplateDetailViewController"), std::move(entry));
}

void UserTemplateDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 - %2").arg(LocalizedStrings::List(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);

    auto first = std::make_shared<FormSection>();
    createNameField(first.get());
    createDescrField(first.get());
    auto* table = qobject_cast<UserTemplate*>(RowObject::object(currentRow()));
    BaseDataController* controller = callingDataController();
    const bool editing
        = controller && controller->lastClickedButton() == BaseDataController::EditAction;
    // A table with rows or a password keeps its definition and protection; only the
    // protection button changes it.
    const QVariant check = table ? table->protectioncheck() : QVariant();
    const bool settled = editing && table
        && ((check.isValid() && !check.isNull()) || Rows::doesRowExists(table->id().toString()));
    if (settled) {
        form->addSection(first);
        form->addSection(createSectionProtect());
    } else {
        createTemplateField(first.get());
        createProtectedField(first.get());
        form->addSection(first);
    }
    addSaveSection(*form);
}

FormEntryElement* UserTemplateDetailViewController::createNameField(FormSection* section)
{
    return addTextField(section, LocalizedStrings::Name(), QStringLiteral("textValue:name"),
        LocalizedStrings::getLocalizedString(QStringLiteral("Name of the list")),
        QStringLiteral("listnamed"));
}

FormEntryElement* UserTemplateDetailViewController::createDescrField(FormSection* section)
{
    return addTextField(section, LocalizedStrings::Descr(), QStringLiteral("textValue:descr"),
        LocalizedStrings::getLocalizedString(QStringLiteral("Description of the list")),
        QStringLiteral("listdescriptiond"));
}

FormRadioElement* UserTemplateDetailViewController::createTemplateField(FormSection* section)
{
    const bool phone = DeviceHelper::isIPHONE();
    const QString title = LocalizedStrings::Template();
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(title, QVariant());
        caption->setImage(TemplateColumn::imageForType(TypeConstants::List));
        section->addElement(caption);
    }
    OrderedDictionary definitions;
    QStringList images;
    for (Template* definition : Template::getTemplates()) {
        // A later definition of the same name takes the place of the earlier one's id.
        definitions.setObject(definition->id(), definition->name().toString());
        images << definition->image().toString();
    }
    auto picker = FormRadioElement::initWithDict(definitions, 0, phone ? QString() : title, images);
    picker->setBind(QStringLiteral("selectedValue:template_id"));
    picker->setKey(TemplateKey);
    // A definition picked sets the switch.
    QPointer<UserTemplateDetailViewController> self(this);
    picker->onSelected = [self] {
        if (self)
            self->updateProtectedFiled();
    };
    section->addElement(picker);
    return picker.get();
}

FormBooleanElement* UserTemplateDetailViewController::createProtectedField(FormSection* section)
{
    auto flag = FormBooleanElement::initWithTitle(LocalizedStrings::Protected(), false);
    flag->setBind(QStringLiteral("boolValue:isprotected"));
    flag->setKey(ProtectedKey);
    flag->setImage(TemplateColumn::imageForType(TypeConstants::Protected));
    section->addElement(flag);
    return flag.get();
}

std::shared_ptr<FormSection> UserTemplateDetailViewController::createSectionProtect()
{
    auto section = std::make_shared<FormSection>();
    auto* table = qobject_cast<UserTemplate*>(RowObject::object(currentRow()));
    const bool isProtected = table && table->isprotected().toBool();
    auto button = FormButtonElement::initWithTitle(
        isProtected ? LocalizedStrings::Unprotect() : LocalizedStrings::Protect());
    button->setControllerAction(
        isProtected ? QStringLiteral("unprotect:") : QStringLiteral("protect:"));
    section->addElement(button);
    return section;
}

void UserTemplateDetailViewController::updateProtectedFiled()
{
    FormRootElement* form = root();
    auto* picker
        = form ? qobject_cast<FormRadioElement*>(form->elementWithKey(TemplateKey)) : nullptr;
    auto* flag
        = form ? qobject_cast<FormBooleanElement*>(form->elementWithKey(ProtectedKey)) : nullptr;
    if (!picker || !flag || picker->selectedValue() == m_chosenTemplate)
        return;
    m_chosenTemplate = picker->selectedValue();
    Template* definition = Template::getTemplate(m_chosenTemplate.toString());
    flag->setBoolValue(definition && definition->isprotected().toBool());
    if (FormTableView* table = formTableView())
        table->reloadCellForElements({ static_cast<FormElement*>(flag) });
}

bool UserTemplateDetailViewController::Save(const QVariantMap& values)
{
    QObject* record = RowObject::object(currentRow());
    BaseDataController* controller = callingDataController();
    if (!record || !controller)
        return false;
    RunTime::classFromDictionary(values, &UserTemplate::staticMetaObject, record);
    return controller->saveRow(currentRow());
}

void UserTemplateDetailViewController::protect(FormElement*)
{
    try {
        if (auto* home = dynamic_cast<MainDataController*>(callingDataController()))
            home->protect();
        afterSave(false);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void UserTemplateDetailViewController::unprotect(FormElement*)
{
    try {
        if (auto* home = dynamic_cast<MainDataController*>(callingDataController()))
            home->unprotect();
        afterSave(false);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
