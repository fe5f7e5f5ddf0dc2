#include "forms/QuickDetailViewController.h"

#include "forms/FormAppearance.h"
#include "forms/FormButtonElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormThread.h"
#include "grid/BaseDataController.h"
#include "platform/MutableDictionary.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextInputTraits.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <algorithm>

namespace {

void showCurrentException()
{
    try {
        throw;
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    } catch (...) {
        MessageHelper::ShowMessage(QStringLiteral("Unknown error"), true);
    }
}

} // namespace

QuickDetailViewController::QuickDetailViewController(QObject* parent)
    : FormController(parent)
{
}

QuickDetailViewController::~QuickDetailViewController() = default;

BaseViewController* QuickDetailViewController::callingScreen() const
{
    return qobject_cast<BaseViewController*>(callingViewController());
}

BaseDataController* QuickDetailViewController::callingDataController() const
{
    BaseViewController* screen = callingScreen();
    return screen ? screen->dataController().get() : nullptr;
}

void QuickDetailViewController::createFields()
{
}

void QuickDetailViewController::EnableDisable(bool)
{
}

void QuickDetailViewController::initProperties()
{
}

QSizeF QuickDetailViewController::popupContentSize() const
{
    return QSizeF(DefaultPopupWidth, DefaultPopupHeight);
}

bool QuickDetailViewController::Save(const QVariantMap&)
{
    return false;
}

void QuickDetailViewController::Save(const QVariantMap&, QObject*)
{
}

void QuickDetailViewController::applyStyleToAppearance()
{
    // The appearance is shared by every form, and its fonts belong to the widgets' thread.
    FormThread::assertMain();
    FormRootElement* form = root();
    Theme* style = currentStyle();
    if (!form || !style)
        return;
    std::shared_ptr<FormAppearance> appearance = form->appearance();
    if (!appearance)
        return;
    appearance->buttonAlignment = Qt::AlignHCenter;
    appearance->tableBackgroundColor = style->BackColor();
    appearance->labelFont = style->labelFont();
    appearance->entryFont = style->inputFont();
    appearance->valueFont = style->inputFont();
    appearance->valueAlignment = Qt::AlignLeft;
}

void QuickDetailViewController::loadView()
{
    FormThread::assertMain();
    try {
        applyStyleToAppearance();
        createFields();
        if (m_currentRow.isValid() && root())
            root()->bindToObject(m_currentRow);
        EnableDisable(false);
    } catch (...) {
        showCurrentException();
    }
    FormController::loadView();
    try {
        if (FormTableView* table = formTableView()) {
            table->setBackgroundView(nullptr);
            if (Theme* style = currentStyle())
                table->setBackgroundColor(style->BackColor().toQColor());
        }
    } catch (...) {
        showCurrentException();
    }
}

QVariant QuickDetailViewController::asMutableRecord(const QVariant& record)
{
    if (record.metaType() == QMetaType::fromType<QVariantMap>())
        return QVariant::fromValue(platform::MutableDictionary(record.toMap()));
    return record;
}

void QuickDetailViewController::loadData(const QVariant& record)
{
    const QVariant row = asMutableRecord(record);
    if (root())
        root()->bindToObject(row);
    if (FormTableView* table = formTableView())
        table->reloadData();
    m_currentRow = row;
}

void QuickDetailViewController::onSave()
{
    try {
        platform::MutableDictionary gathered;
        if (root())
            root()->fetchValueUsingBindingsIntoObject(QVariant::fromValue(gathered));
        const QVariantMap values = gathered.toMap();
        if (respondsToSave() && Save(values))
            afterSave(true);
        if (respondsToSaveWithSender())
            Save(values, this);
    } catch (...) {
        // The form stays open with what was typed.
        showCurrentException();
    }
}

void QuickDetailViewController::afterSave(bool refresh)
{
    BaseViewController* screen = callingScreen();
    if (screen)
        screen->setRefresh(refresh);
    if (DeviceHelper::isIPHONE()) {
        if (platform::ui::NavigationController* navigation = navigationController())
            navigation->popViewController(true);
        return;
    }
    if (screen) {
        screen->dismissPopup();
        if (refresh)
            screen->refreshView();
    }
}

void QuickDetailViewController::SetParentDirty()
{
    if (BaseViewController* screen = callingScreen())
        screen->setRefresh(true);
}

QString QuickDetailViewController::getAddEditPrefix() const
{
    BaseDataController* controller = callingDataController();
    if (!controller)
        return {};
    if (controller->lastClickedButton() == BaseDataController::AddAction)
        return LocalizedStrings::Add();
    if (controller->lastClickedButton() == BaseDataController::EditAction)
        return LocalizedStrings::Edit();
    return {};
}

double QuickDetailViewController::calculateHeight(unsigned rows)
{
    if (!DeviceHelper::isPortrait())
        return 480;
    return std::min(150.0 + 50.0 * rows, 650.0);
}

double QuickDetailViewController::calculateActualHeight(unsigned rows)
{
    if (!DeviceHelper::isPortrait())
        return 675;
    return std::min(150.0 + 50.0 * rows, 900.0);
}

void QuickDetailViewController::viewWillDisappear(bool animated)
{
    FormController::viewWillDisappear(animated);
    if (DeviceHelper::isIPHONE()) {
        // A picker or list pushed over the form: the form is still being edited.
        if (platform::ui::NavigationController* navigation = navigationController()) {
            const QList<platform::ui::ViewController*> stack = navigation->viewControllers();
            if (stack.size() >= 2 && stack.at(stack.size() - 2) == this)
                return;
        }
    }
    BaseDataController* controller = callingDataController();
    if (controller
        && (controller->lastClickedButton() == BaseDataController::AddAction
            || controller->lastClickedButton() == BaseDataController::EditAction))
        KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

void QuickDetailViewController::addSaveSection(FormRootElement& form)
{
    auto actions = std::make_shared<FormSection>();
    auto save = FormButtonElement::initWithTitle(LocalizedStrings::Save());
    save->setControllerAction(QStringLiteral("onSave:"));
    actions->addElement(save);
    form.addSection(actions);
}

std::shared_ptr<FormRootElement> QuickDetailViewController::createServerFormWithTitle(
    const QString& title, const QString& controllerName)
{
    auto form = std::make_shared<FormRootElement>();
    form->setGrouped(true);
    form->setControllerName(controllerName);
    form->setTitle(title);
    const auto entry = [](const QString& text, const QString& bind) {
        auto element = FormEntryElement::initWithTitle(text, QString());
        element->setBind(bind);
        element->setAutocorrectionType(int(platform::ui::TextInputTraits::AutocorrectionType::No));
        return element;
    };
    auto server = std::make_shared<FormSection>();
    server->addElement(entry(LocalizedStrings::Name(), QStringLiteral("textValue:name")));
    server->addElement(entry(LocalizedStrings::Server(), QStringLiteral("textValue:server")));
    auto port = FormDecimalElement::initWithTitle(LocalizedStrings::Port(), QVariant());
    port->setBind(QStringLiteral("numberValue:port"));
    port->setAutocorrectionType(int(platform::ui::TextInputTraits::AutocorrectionType::No));
    server->addElement(port);
    form->addSection(server);
    auto login = FormSection::initWithTitle(LocalizedStrings::LoginInfo());
    login->addElement(entry(LocalizedStrings::User(), QStringLiteral("textValue:user")));
    auto password = FormEntryElement::initWithTitle(LocalizedStrings::Password(), QString());
    password->setBind(QStringLiteral("textValue:password"));
    password->setSecureTextEntry(true);
    login->addElement(password);
    form->addSection(login);
    addSaveSection(*form);
    return form;
}
