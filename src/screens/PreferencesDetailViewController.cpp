#include "screens/PreferencesDetailViewController.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "grid/BridgeScreenData.h"
#include "grid/DetailFormRegistry.h"
#include "grid/RowObject.h"
#include "model/DefaultContent.h"
#include "model/KivotabPrefernces.h"
#include "platform/UserDefaults.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "screens/ApplicationState.h"
#include "screens/ColorViewController.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "utilities/text/StringsLanguage.h"
#include "widgets/UIImage_Theme.h"

const QString PreferencesDetailViewController::ImageThemeKey = QStringLiteral("imagetheme");
const QString PreferencesDetailViewController::BarThemeKey = QStringLiteral("bartheme");
const QString PreferencesDetailViewController::TilesThemeKey = QStringLiteral("tilestheme");
const QString PreferencesDetailViewController::SupportMail = QStringLiteral("support@solvane.net");

namespace {

const QString kSwatchImage = QStringLiteral("color");
const QString kPlainText = QStringLiteral("text/plain");
const QStringList kEnglishOnly { QStringLiteral("en") };

std::shared_ptr<FormBooleanElement> flag(
    const QString& title, bool on, const QString& bind, const QString& image)
{
    auto element = FormBooleanElement::initWithTitle(title, on);
    element->setBind(bind);
    element->setImage(UIImage_Theme::themedimageNamed(image));
    return element;
}

std::shared_ptr<FormSection> buttonSection(const QString& title, const QString& action)
{
    auto section = std::make_shared<FormSection>();
    auto button = FormButtonElement::initWithTitle(title);
    button->setControllerAction(action);
    section->addElement(button);
    return section;
}

Color colorOf(const QVariantMap& record)
{
    return UIColor_Expanded::colorWithString(
        record.value(DefaultContent::ColorValueColumnId).toString())
        .value_or(Color::blackColor());
}

} // namespace

PreferencesDetailViewController::PreferencesDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

PreferencesDetailViewController::~PreferencesDetailViewController() = default;

const QStringList& PreferencesDetailViewController::backgrounds()
{
    static const QStringList names { QStringLiteral("TinyGrid"), QStringLiteral("WhiteCarbonFiber"),
        QStringLiteral("DiamondUpholstery"), QStringLiteral("FabricPlaid"), QStringLiteral("Noisy"),
        QStringLiteral("SubtleStripes"), QStringLiteral("TexturedPaper"),
        QStringLiteral("WhiteBrickWall"), QStringLiteral("BlackBelt"),
        QStringLiteral("GreyWashWall") };
    return names;
}

std::shared_ptr<FormRootElement> PreferencesDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("PreferencesDetailViewController"));
    return form;
}

void PreferencesDetailViewController::registerForm()
{
    // Its root may be built on any thread; its screen only on the main thread.
    FormClassRegistry::registerClass<PreferencesDetailViewController>();
    DetailFormRegistry::FormClass entry;
    entry.createForm = [](const QString&) -> std::shared_ptr<QObject> { return createForm(); };
    entry.controllerForRoot = [](const std::shared_ptr<QObject>& root) -> BaseViewController* {
        auto form = std::dynamic_pointer_cast<FormRootElement>(root);
        return form ? FormController::controllerForRoot(form) : nullptr;
    };
    DetailFormRegistry::registerForm(
        QStringLiteral("PreferencesDetailViewController"), std::move(entry));
}

KivotabPrefernces* PreferencesDetailViewController::settings() const
{
    if (auto* record = qobject_cast<KivotabPrefernces*>(RowObject::object(currentRow())))
        return record;
    return ApplicationState::preferences();
}

void PreferencesDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    form->setGrouped(true);
    form->setTitle(LocalizedStrings::Preferences());
    setTitle(LocalizedStrings::Preferences());

    auto style = FormSection::initWithTitle(LocalizedStrings::Style());
    QVariantList items;
    for (const QString& name : backgrounds())
        items << name;
    auto background = FormRadioElement::initWithItems(items, 0, LocalizedStrings::Background());
    background->setBind(QStringLiteral("selectedItem:background"));
    background->setImage(UIImage_Theme::themedimageNamed(QStringLiteral("background")));
    style->addElement(background);
    QPointer<PreferencesDetailViewController> self(this);
    const QList<std::pair<QString, QString>> themes { { LocalizedStrings::ImageTheme(),
                                                          ImageThemeKey },
        { LocalizedStrings::BarTheme(), BarThemeKey },
        { LocalizedStrings::TilesTheme(), TilesThemeKey } };
    for (const auto& [title, key] : themes) {
        auto theme = FormLabelElement::initWithTitle(title, QVariant());
        theme->setBind(QStringLiteral("value:%1").arg(key));
        theme->setKey(key);
        theme->onSelected = [self, key = key] {
            if (self)
                self->showColorPicker(key);
        };
        style->addElement(theme);
    }
    style->addElement(flag(LocalizedStrings::iOS7Style(), true,
        QStringLiteral("boolValue:disablebuttonborder"), QStringLiteral("ios7style")));
    style->addElement(flag(LocalizedStrings::AutofitFont(), true,
        QStringLiteral("boolValue:autofitfont"), QStringLiteral("autofit")));
    form->addSection(style);

    auto others = FormSection::initWithTitle(LocalizedStrings::Others());
    others->addElement(flag(LocalizedStrings::Language(), false,
        QStringLiteral("boolValue:ioslanguage"), QStringLiteral("language")));
    others->addElement(flag(LocalizedStrings::Statusbar(), false,
        QStringLiteral("boolValue:statusbar"), QStringLiteral("statusbar")));
    others->addElement(flag(LocalizedStrings::Debug(), false, QStringLiteral("boolValue:debug"),
        QStringLiteral("debug")));
    auto legend = FormLabelElement::initWithTitle(
        QStringLiteral("*%1").arg(LocalizedStrings::Restart()), QString());
    legend->setImage(UIImage_Theme::themedimageNamed(QStringLiteral("restartp")));
    others->addElement(legend);
    form->addSection(others);

    form->addSection(buttonSection(LocalizedStrings::Save(), QStringLiteral("onSave:")));
    form->addSection(buttonSection(LocalizedStrings::Defaults(), QStringLiteral("onDefaults:")));
    if (settings()->debug())
        form->addSection(
            buttonSection(LocalizedStrings::EmailDebugInfo(), QStringLiteral("onEmail:")));
}

QSizeF PreferencesDetailViewController::popupContentSize() const
{
    const unsigned rows = 12 + (settings()->debug() ? 1 : 0);
    return { 400, calculateActualHeight(rows) };
}

bool PreferencesDetailViewController::Save(const QVariantMap& values)
{
    KivotabPrefernces* stored = settings();
    const auto text = [&](const QString& key) { return values.value(key); };
    const auto on = [&](const QString& key) { return values.value(key).toBool(); };

    // A theme's colour changes only with its name; the name changes only by a pick.
    if (stored->imagetheme() != text(ImageThemeKey) && !m_imageColor.isEmpty())
        stored->setImagethemeColor(m_imageColor);
    if (stored->tilestheme() != text(TilesThemeKey) && !m_tilesColor.isEmpty())
        stored->setTilesthemeColor(m_tilesColor);
    if (stored->bartheme() != text(BarThemeKey) && !m_barColor.isEmpty())
        stored->setBarthemeColor(m_barColor);

    stored->setAutofitfont(on(Preferences::AutofitFontKey));
    stored->setImagetheme(text(ImageThemeKey));
    stored->setBartheme(text(BarThemeKey));
    stored->setTilestheme(text(TilesThemeKey));
    stored->setBackground(text(Preferences::BackgroundKey));
    stored->setIoslanguage(on(Preferences::IosLanguageKey));
    // No element binds these: they are written off.
    stored->setGradient(on(Preferences::GradientKey));
    stored->setDebug(on(Preferences::DebugKey));
    stored->setDisablebuttonborder(on(Preferences::DisableButtonBorderKey));
    stored->setStatusbar(on(Preferences::StatusBarKey));
    stored->setResetReminders(on(KivotabPrefernces::ResetRemindersKey));

    // The strings table of the next start.
    platform::UserDefaults& defaults = platform::UserDefaults::standard();
    if (stored->ioslanguage())
        defaults.removeObject(StringsLanguage::AppleLanguagesKey);
    else
        defaults.setObject(StringsLanguage::AppleLanguagesKey, kEnglishOnly);

    MessageHelper::ShowMessage(LocalizedStrings::PreferencesUpdated(), false);
    Theme::reloadStyle();
    return true;
}

void PreferencesDetailViewController::EnableDisable(bool)
{
    setColorImage(ImageThemeKey);
    setColorImage(BarThemeKey);
    setColorImage(TilesThemeKey);
}

QVariantMap PreferencesDetailViewController::colorDictionary(const QString& name) const
{
    KivotabPrefernces* stored = settings();
    if (name == stored->bartheme().toString())
        return stored->barthemeColor().toMap();
    if (name == stored->imagetheme().toString())
        return stored->imagethemeColor().toMap();
    if (name == stored->tilestheme().toString())
        return stored->tilesthemeColor().toMap();
    return { { DefaultContent::ColorValueColumnId,
        UIColor_Expanded::stringValue(Color::blackColor()) } };
}

void PreferencesDetailViewController::setColorImage(const QString& key)
{
    auto* element = root() ? qobject_cast<FormLabelElement*>(root()->elementWithKey(key)) : nullptr;
    if (!element)
        return;
    const QVariantMap record = colorDictionary(element->value().toString());
    element->setImage(UIImage_Theme::themedimageNamed1(kSwatchImage, colorOf(record)));
}

void PreferencesDetailViewController::showColorPicker(const QString& key)
{
    if (m_selector)
        return;
    QPointer<PreferencesDetailViewController> self(this);
    auto* selector = new ColorViewController([self, key](const QVariantMap& color, qint64) {
        if (!self)
            return;
        try {
            self->colorSelected(color, key);
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
    });
    const auto record = ScreenFactory::GetScreen(ScreenFactory::ColorSelector, {});
    if (record)
        record->title = LocalizedStrings::Colors();
    selector->setScreen(record);
    selector->setTitle(LocalizedStrings::Colors());
    selector->setCallingViewController(this);
    m_selector = selector;
    if (DeviceHelper::isIPAD()) {
        auto* navigation = new platform::ui::NavigationController(selector);
        showSimplePopupcontroller(
            navigation, QSizeF(SelectorPopupWidth, SelectorPopupHeight), QPointF(0, 0), true);
        return;
    }
    if (platform::ui::NavigationController* navigation = navigationController())
        navigation->pushViewController(selector, true);
    else
        delete selector;
}

void PreferencesDetailViewController::closeSelector()
{
    if (DeviceHelper::isIPAD()) {
        dismissPopup();
    } else if (platform::ui::NavigationController* navigation = navigationController()) {
        if (navigation->topViewController() == m_selector.data())
            navigation->popViewController(true);
    }
    m_selector = nullptr;
}

void PreferencesDetailViewController::colorSelected(const QVariantMap& color, const QString& key)
{
    auto* element = root() ? qobject_cast<FormLabelElement*>(root()->elementWithKey(key)) : nullptr;
    if (!element)
        return;
    FormTableView* table = formTableView();
    element->setValue(color.value(DefaultContent::ColorNameColumnId));
    if (table)
        table->reloadCellForElements({ element });
    closeSelector();
    element->setImage(UIImage_Theme::themedimageNamed1(kSwatchImage, colorOf(color)));
    if (table)
        table->reloadCellForElements({ element });
    if (key == ImageThemeKey)
        m_imageColor = color;
    else if (key == BarThemeKey)
        m_barColor = color;
    else if (key == TilesThemeKey)
        m_tilesColor = color;
}

void PreferencesDetailViewController::onDefaults()
{
    try {
        KivotabPrefernces* stored = ApplicationState::preferences();
        stored->resetPreferences();
        const QVariant record = RowObject::fromObject(stored);
        if (root())
            root()->bindToObject(record);
        EnableDisable(false);
        if (FormTableView* table = formTableView())
            table->reloadData();
        setCurrentRow(record);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void PreferencesDetailViewController::onEmail()
{
    try {
        MailHelper::sendEmailToWithFile(SupportMail, MailHelper::DebugInfo,
            DebugHelper::singleton().logFile(), this, kPlainText);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void PreferencesDetailViewController::mailComposeControllerDidFinish(
    platform::ui::MailComposeViewController* controller, platform::ui::MailComposeResult result,
    const platform::Error& error)
{
    // Sent: the log starts again, in the same file the error stream writes to.
    if (result == platform::ui::MailComposeResult::Sent && error.isNull())
        DebugHelper::singleton().clearLogFile();
    if (controller)
        controller->dismissViewController(true);
}
