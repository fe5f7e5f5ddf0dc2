#include "style/Theme.h"

#include "platform/ui/DatePicker.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"
#include "style/NamedColors.h"
#include "style/ThemeButton.h"
#include "style/ThemeSegmentedButton.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/BaseViewControllerProtocol.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MainCollectionViewControllerProtocol.h"
#include "utilities/shell/StyleServices.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVersionNumber>

using platform::ui::Image;
using platform::ui::TextAttributes;

namespace {

const QString kFontRegular = QStringLiteral("HelveticaNeue");
const QString kFontMedium = QStringLiteral("HelveticaNeue-Medium");
const QString kBackButtonImage = QStringLiteral("bg_navbar_button");
const QString kNavbarImage = QStringLiteral("bg_navbar");
const QSizeF kButtonBackgroundSize(51, 27);
constexpr double kButtonBorderWidth = 2.5;
constexpr double kCornerRadius = 5.0;
constexpr double kContrastMinimum = 0.08;
constexpr double kSubLabelContrast = 0.25;

double luminanceOf(const Color& color)
{
    return UIColor_Expanded::luminance(color);
}

// "Below the limit, in single precision."
bool floatBelow(double difference, double limit)
{
    return double(float(std::abs(difference))) < limit;
}

Color lighter(const Color& color)
{
    return UIColor_Expanded::lighterColor(color).value_or(Color::clearColor());
}

Color darker(const Color& color)
{
    return UIColor_Expanded::darkerColor(color).value_or(Color::clearColor());
}

Color colorFrom(const QVariant& value)
{
    // A missing palette colour is nil: luminance 0, and no shade of it.
    return value.canConvert<Color>() ? value.value<Color>() : Color::clearColor();
}

// A grid's search bar: its bar colour, and the tint of its buttons and caret.
void tintSearchBar(platform::ui::View* view, const QColor& bar, const QColor& tint)
{
    if (auto* search = qobject_cast<platform::ui::SearchBar*>(view)) {
        search->setBarTintColor(bar);
        search->setBackgroundImage({});
        if (tint.isValid())
            search->setTintColor(tint);
        return;
    }
    if (view) {
        view->setBackgroundPattern({});
        view->setBackgroundColor(bar);
        if (tint.isValid())
            view->setTintColor(tint);
    }
}

// The style layer's answers to what the foundation asks of it.
class ThemeStyleServices : public StyleServices {
public:
    QVariant themeColor(const QString& name) const override
    {
        const auto color = UIColor_Expanded::themeColor(name);
        return color ? QVariant::fromValue(*color) : QVariant();
    }
    QColor buttonTitleColor() const override
    {
        Theme* style = Theme::current();
        return style ? style->buttonTitleColor().toQColor() : QColor();
    }
    QFont buttonTitleFont() const override
    {
        Theme* style = Theme::current();
        return style ? style->buttonTitleFont() : platform::ui::Font::named(kFontRegular, 13);
    }
};

} // namespace

Theme::Theme()
{
    if (!StyleServices::instance())
        StyleServices::install(std::make_unique<ThemeStyleServices>());
}

Theme::~Theme() = default;

Theme* Theme::current()
{
    return dynamic_cast<Theme*>(KivoAppDelegate::ApplicationDelegate()->currentStyle());
}

std::shared_ptr<Theme> Theme::getDefaultTheme()
{
    auto theme = std::make_shared<Theme>();
    theme->loadStyle();
    return theme;
}

void Theme::loadStyle()
{
    using platform::ui::Font::named;
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    Preferences* preferences = delegate->currentPreferences();

    // 1. The pattern background.
    const QString background = preferences ? preferences->background().toString() : QString();
    m_BackColor = Color::colorWithPatternImage(Image::named(background).image());

    // 2. Bar and image colours.
    const Color bar = colorFrom(delegate->barColor());
    const Color image = colorFrom(delegate->imageColor());
    m_toolbarColor = bar;
    m_SearchBarColor = bar;
    m_dimmedToolbarColor = darker(bar);
    m_imageColor = image;

    // 3. Bar-button titles readable on the bar.
    if (luminanceOf(bar) > LightThreshold)
        m_toolbarButtonColor = luminanceOf(m_imageColor) < LightThreshold
            ? m_imageColor
            : UIColor_Expanded::randomDarkColor(0.5);
    else
        m_toolbarButtonColor = UIColor_Expanded::white();

    // 4. The rounded button background.
    m_ButtonBackGround
        = getRectangle(
            m_toolbarButtonColor, m_toolbarColor, kButtonBackgroundSize, float(kButtonBorderWidth))
              .resizableWithCapInsets(QMarginsF(10, 10, 10, 10), Image::ResizingMode::Stretch);

    // 5. Tiles.
    m_MetroRowBackColor = colorFrom(delegate->tilesColor());
    m_MetroRowLabelBackColor = Color::clearColor();

    // 6. Highlight from the darker of bar and image colour (the bar on a tie).
    const Color base
        = luminanceOf(m_toolbarColor) > luminanceOf(m_imageColor) ? m_imageColor : m_toolbarColor;
    m_RowHighLightColor = lighter(base);
    m_AnimateColor = darker(base);

    // 7. Tile labels.
    if (luminanceOf(m_MetroRowBackColor) > LightThreshold) {
        if (luminanceOf(base) < LightThreshold)
            m_MetroRowLabelForeColor
                = luminanceOf(base) > luminanceOf(m_RowHighLightColor) ? base : darker(base);
        else
            m_MetroRowLabelForeColor = UIColor_Expanded::randomDarkColor(0.5);
    } else {
        m_MetroRowLabelForeColor = UIColor_Expanded::white();
    }

    // 8. A highlight too close to the label or tile colours becomes a fixed grey.
    const double highlight = luminanceOf(m_RowHighLightColor);
    const double label = luminanceOf(m_MetroRowLabelForeColor);
    const double tiles = luminanceOf(m_MetroRowBackColor);
    if (!standsOut(m_RowHighLightColor, m_MetroRowLabelForeColor)
        || !standsOut(m_RowHighLightColor, m_MetroRowBackColor)
        || (highlight > LightThreshold && (tiles > LightThreshold || label > LightThreshold))) {
        m_RowHighLightColor = darker(UIColor_Expanded::randomLightColor(0.4));
        m_AnimateColor = darker(m_RowHighLightColor);
    }

    // 9.
    m_buttonTitleColor = titleColor();
    m_RowHeaderBackColor = m_toolbarColor;
    m_RowLabelHeaderForeColor = m_buttonTitleColor;

    // 10. Fixed fonts and colours.
    m_MetroRowLabelFont = named(kFontMedium, 17);
    m_RowLabelHeaderFont = named(kFontMedium, 14);
    m_RowLabelHeaderBackColor = Color::clearColor();
    m_RowLabelHeaderFont1 = named(kFontRegular, 14);
    m_RowBackColor = Color::lightGrayColor();
    m_RowAlternateBackColor = UIColor_Expanded::white();
    m_RowLabelFont = named(kFontRegular, 13);
    m_RowLabelBackColor = Color::clearColor();
    m_RowLabelForeColor = Color::blackColor();
    m_RowBorderWidth = 0.25f;
    m_RowBorderColor = UIColor_Expanded::darkBrown();
    m_DetailRowLabelFont = named(kFontMedium, 15);
    m_DetailRowLabelForeColor = UIColor_Expanded::black();
    m_DetailRowLabelBackColor = UIColor_Expanded::white();
    m_SectionHeaderFont = named(kFontMedium, 15);
    m_SectionHeaderBackColor = m_BackColor;
    m_SectionHeaderForeColor = UIColor_Expanded::black();
    m_buttonTitleFont = named(kFontRegular, 13);
    m_subbuttonTitleFont = named(kFontRegular, 11);
    m_inputFont = named(kFontRegular, 13);
    m_labelFont = named(kFontRegular, 14);
    m_popupMenuFont = named(kFontMedium, 13);
    m_smallFont = named(kFontRegular, 10);

    // 11. Tile sub-labels: black unless black would not stand out.
    const Color black = UIColor_Expanded::black();
    if (floatBelow(luminanceOf(black) - luminanceOf(m_RowHighLightColor), kSubLabelContrast)
        || floatBelow(luminanceOf(black) - luminanceOf(m_MetroRowBackColor), kSubLabelContrast))
        m_MetroRowSubLabelColor = m_MetroRowLabelForeColor;
    else
        m_MetroRowSubLabelColor = black;

    // 12. Every navigation bar made from now on.
    auto& appearance = platform::ui::NavigationBar::appearance();
    appearance.barTintColor = m_toolbarColor.toQColor();
    appearance.translucent = false;
    appearance.tintColor = m_buttonTitleColor.toQColor();
    appearance.barStyle = platform::ui::NavigationBar::BarStyle::Black;
    appearance.titleTextAttributes = navbarTitleTextAttributes();
    // 13. Date pickers made from now on ask for wheels (system 13.4 and later).
    if (QVersionNumber::fromString(platform::ui::Device::current().systemVersion())
        >= QVersionNumber(13, 4))
        platform::ui::DatePicker::appearance().preferredDatePickerStyle
            = platform::ui::DatePicker::Style::Wheels;

    // 14.
    applyStyleToStatusBar();
}

bool Theme::standsOut(const Color& color, const Color& on)
{
    return !floatBelow(luminanceOf(color) - luminanceOf(on), kContrastMinimum);
}

std::optional<Color> Theme::selectedIconColor() const
{
    if (standsOut(m_imageColor, m_RowHighLightColor))
        return std::nullopt;
    return m_MetroRowLabelForeColor;
}

void Theme::applyStyleToStatusBar()
{
    auto& device = platform::ui::Device::current();
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    device.setStatusBarHidden(!(preferences && preferences->statusbar()));
    device.setStatusBarStyle(luminanceOf(m_toolbarColor) > LightThresholdSingle
            ? platform::ui::Device::StatusBarStyle::Default
            : platform::ui::Device::StatusBarStyle::LightContent);
}

void Theme::applyStyleForSwitch(platform::ui::Switch* control)
{
    if (!control)
        return;
    control->setOnTintColor(luminanceOf(m_toolbarColor) > LightThresholdSingle
            ? m_imageColor.toQColor()
            : m_toolbarColor.toQColor());
}

void Theme::applyStyle(platform::ui::ViewController* controller)
{
    if (!controller || !controller->navigationController())
        return;
    if (DeviceHelper::isIOS7()) {
        applyiOS7Style(controller);
        return;
    }
    // The classic path, for systems before the flat bars.
    platform::ui::NavigationController* navigation = controller->navigationController();
    platform::ui::NavigationBar* bar = navigation->navigationBar();
    auto* grid = dynamic_cast<MainCollectionViewControllerProtocol*>(controller);
    platform::ui::View* search = grid ? grid->searchBar() : nullptr;
    bar->setBackgroundImage({});
    bar->setBarTintColor(m_toolbarColor.toQColor());
    // With or without gradients the search bar ends up in the bar colour: as its tint, or
    // as the colour behind an empty background image.
    tintSearchBar(search, m_toolbarColor.toQColor(), QColor());
    applyStyleForToolbar(navigation->toolbar());
    bar->setTitleTextAttributes(navbarTitleTextAttributes());
    // 4. Buttons in search bars: the button text attributes, no background image.
    platform::ui::SearchBar::appearance().buttonTextAttributes = buttonTextAttributes();
    if (auto* searchBar = qobject_cast<platform::ui::SearchBar*>(search))
        searchBar->setButtonTextAttributes(buttonTextAttributes());
    // 5.
    platform::ui::Switch::appearanceOnTintColor() = m_buttonTitleColor.toQColor();
}

void Theme::applyStyleForToolbar(platform::ui::Toolbar* toolbar)
{
    if (!toolbar)
        return;
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    if (preferences && preferences->gradient()) {
        // The bar keeps its own look; only its items take the bar colour.
        toolbar->setBackgroundImage({});
        toolbar->setBackgroundColor(QColor());
        toolbar->setTintColor(m_toolbarColor.toQColor());
    } else {
        // A flat bar in the bar colour with the items in the system tint. The bar draws its
        // tint over its background colour, so the tint carries the colour as well.
        toolbar->setTintColor(QColor());
        toolbar->setBackgroundImage({});
        toolbar->setBackgroundColor(m_toolbarColor.toQColor());
        toolbar->setBarTintColor(m_toolbarColor.toQColor());
    }
}

void Theme::applyStyleImage(platform::ui::ViewController* controller)
{
    if (!controller || !controller->navigationController())
        return;
    platform::ui::NavigationController* navigation = controller->navigationController();
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    const bool gradient = preferences && preferences->gradient();
    auto* grid = dynamic_cast<MainCollectionViewControllerProtocol*>(controller);
    platform::ui::View* search = grid ? grid->searchBar() : nullptr;
    if (gradient) {
        navigation->navigationBar()->setBackgroundImage({});
        navigation->toolbar()->setBackgroundImage({});
        navigation->navigationBar()->setBarTintColor(m_toolbarColor.toQColor());
        navigation->toolbar()->setBarTintColor(m_toolbarColor.toQColor());
        tintSearchBar(search, m_toolbarColor.toQColor(), QColor());
    } else {
        const QString suffix = preferences ? preferences->bartheme().toString() : QString();
        const Image image = Image::themedNamed(kNavbarImage, suffix)
                                .resizableWithCapInsets(QMarginsF(10, 10, 10, 10));
        navigation->navigationBar()->setBackgroundImage(image);
        navigation->toolbar()->setBackgroundImage(image);
        if (auto* searchBar = qobject_cast<platform::ui::SearchBar*>(search))
            searchBar->setBackgroundImage(image);
        else if (search)
            search->setBackgroundPattern(image);
    }
    TextAttributes attributes;
    attributes.foregroundColor = m_toolbarButtonColor.toQColor();
    navigation->navigationBar()->setTitleTextAttributes(attributes);
}

void Theme::applyiOS7Style(platform::ui::ViewController* controller)
{
    if (!controller || !controller->navigationController())
        return;
    platform::ui::NavigationController* navigation = controller->navigationController();
    platform::ui::NavigationBar* bar = navigation->navigationBar();
    auto* grid = dynamic_cast<MainCollectionViewControllerProtocol*>(controller);
    platform::ui::View* search = grid ? grid->searchBar() : nullptr;

    const QColor barColor = m_toolbarColor.toQColor();
    const QColor titleColor = m_buttonTitleColor.toQColor();

    // 1.
    bar->setTranslucent(false);
    bar->setTintColor(titleColor);
    bar->setBarTintColor(barColor);
    bar->setBarStyle(platform::ui::NavigationBar::BarStyle::Black);
    tintSearchBar(search, barColor, titleColor);
    // Search bars made from now on take the same tints.
    auto& searchAppearance = platform::ui::SearchBar::appearance();
    searchAppearance.barTintColor = barColor;
    searchAppearance.tintColor = titleColor;
    // 2. A white search field (system 13 and later).
    if (platform::ui::Device::current().systemMajorVersion() >= 13) {
        searchAppearance.searchFieldBackgroundColor = Qt::white;
        if (auto* searchBar = qobject_cast<platform::ui::SearchBar*>(search))
            searchBar->setSearchFieldBackgroundColor(Qt::white);
    }
    // 3. Buttons in search bars: the button text attributes, no background image.
    searchAppearance.buttonTextAttributes = buttonTextAttributes();
    if (auto* searchBar = qobject_cast<platform::ui::SearchBar*>(search))
        searchBar->setButtonTextAttributes(buttonTextAttributes());
    // 4.
    applyiOS7StyleForToolbar(navigation->toolbar());
    bar->setTitleTextAttributes(navbarTitleTextAttributes());
    applyStyleToNavigatioBar(bar);
    // 6. The screen's tint; the caret and selection of text inputs in the image colour;
    // switches on in the bar-button title colour.
    controller->view()->setTintColor(barColor);
    platform::ui::TextField::appearance().tintColor = m_imageColor.toQColor();
    platform::ui::TextView::appearance().tintColor = m_imageColor.toQColor();
    platform::ui::Switch::appearanceOnTintColor() = titleColor;
}

void Theme::applyiOS7StyleForToolbar(platform::ui::Toolbar* toolbar)
{
    if (!toolbar)
        return;
    Theme* current = Theme::current();
    const QColor color = (current ? current : this)->toolbarColor().toQColor();
    toolbar->setBarTintColor(color);
    toolbar->setBackgroundColor(color);
    toolbar->setTintColor(m_buttonTitleColor.toQColor());
    toolbar->setTranslucent(false);
}

void Theme::applyStyleToNavigatioBar(platform::ui::NavigationBar* bar)
{
    if (!bar)
        return;
    bar->setBarTintColor(m_toolbarColor.toQColor());
    bar->setTintColor(m_buttonTitleColor.toQColor());
    bar->setTitleTextAttributes(navbarTitleTextAttributes());
    bar->setTranslucent(false);
}

platform::ui::BarButtonItem* Theme::createBarButtonItemWithTitle(
    const QString& title, QObject* delegate, platform::ui::Control::Action selector)
{
    auto* button = new ThemeButton(title);
    QPointer<QObject> target(delegate);
    const bool hasTarget = delegate != nullptr;
    button->addTarget(
        [target, hasTarget, selector](platform::ui::Control* sender) {
            if ((!hasTarget || target) && selector)
                selector(sender);
        },
        platform::ui::ControlEventTouchUpInside);
    return new platform::ui::BarButtonItem(button);
}

ThemeSegmentedButton* Theme::createSegmentedControlWithItems(
    const QStringList& items, QObject* delegate, platform::ui::Control::Action selector)
{
    auto* control = new ThemeSegmentedButton(items);
    QPointer<QObject> target(delegate);
    const bool hasTarget = delegate != nullptr;
    control->addTarget(
        [target, hasTarget, selector](platform::ui::Control* sender) {
            if ((!hasTarget || target) && selector)
                selector(sender);
        },
        platform::ui::ControlEventValueChanged);
    return control;
}

TextAttributes Theme::buttonTextAttributes() const
{
    TextAttributes attributes;
    attributes.foregroundColor = m_buttonTitleColor.toQColor();
    attributes.font = m_buttonTitleFont;
    attributes.hasFont = true;
    attributes.shadowColor = Qt::transparent;
    return attributes;
}

TextAttributes Theme::navbarTitleTextAttributes() const
{
    TextAttributes attributes;
    attributes.foregroundColor = labelColor().toQColor();
    attributes.font = m_MetroRowLabelFont;
    attributes.hasFont = true;
    return attributes;
}

Image Theme::colorImage(const Color& color, const QSizeF& size) const
{
    return Image::withColor(color.toQColor(), size);
}

Image Theme::getRectangle(const Color& stroke, const Color& fill, const QSizeF& size, float) const
{
    const double scale = platform::ui::Device::current().scale();
    QImage image(QSize(qRound(size.width() * scale), qRound(size.height() * scale)),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(scale, scale);
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), kCornerRadius, kCornerRadius);
    painter.setClipPath(path);
    painter.fillPath(path, fill.toBrush());
    // The stroke is centred on the clipped outline, so half of it shows.
    painter.strokePath(path, QPen(stroke.toBrush(), kButtonBorderWidth));
    painter.end();
    return Image(image, scale);
}

Image Theme::getBackButton() const
{
    return Image::maskNamed(kBackButtonImage, m_buttonTitleColor.toQColor());
}

void Theme::drawLine(QPainter& context, const QPointF& from, const QPointF& to) const
{
    context.drawLine(from, to);
}

void Theme::reloadStyle()
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    Theme* style = Theme::current();
    if (!style)
        return;
    style->loadStyle();
    style->applyStyleToStatusBar();

    platform::ui::ViewController* current = delegate->currentViewController();
    platform::ui::NavigationController* navigation
        = current ? current->navigationController() : nullptr;
    if (!navigation)
        return;
    for (platform::ui::ViewController* controller : navigation->viewControllers()) {
        if (current->isViewLoaded())
            current->view()->setNeedsDisplay();
        style->applyStyle(controller);
        auto* base = dynamic_cast<BaseViewControllerProtocol*>(controller);
        if (auto* grid = dynamic_cast<MainCollectionViewControllerProtocol*>(controller)) {
            if (base)
                base->setBackGround();
            grid->changeRowViewController();
        }
        if (base) {
            base->ShowToolBar();
            base->showTopBar();
        }
    }
}
