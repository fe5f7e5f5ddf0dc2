#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationBar.h"
#include "style/Color.h"
#include "utilities/shell/StyleObject.h"

#include <QFont>
#include <QPointF>
#include <QSizeF>

#include <memory>
#include <optional>

class QPainter;
class ThemeSegmentedButton;

namespace platform::ui {
class Switch;
class Toolbar;
class ViewController;
} // namespace platform::ui

// The application's one style object: every colour, font and border width the screens
// draw with, computed from three palette colours of the settings (bar, image, tile) and a
// background pattern, with fixed luminance rules that keep text readable whatever colours
// are chosen. It also applies itself to the bars and controls of the screens.
//
// A base colour that is missing counts as luminance 0; the colours derived from it then
// come out clear.
class Theme : public StyleObject {
public:
    Theme();
    ~Theme() override;

    // The application's current style, or null before one is made.
    static Theme* current();

    // A new style on which loadStyle has run.
    static std::shared_ptr<Theme> getDefaultTheme();
    // Recomputes and re-applies the application's current style, restyling every screen
    // on the current navigation stack.
    static void reloadStyle();

#define KIVO_THEME_PROPERTY(Type, name, setter)                                                    \
    const Type& name() const                                                                       \
    {                                                                                              \
        return m_##name;                                                                           \
    }                                                                                              \
    void setter(const Type& value)                                                                 \
    {                                                                                              \
        m_##name = value;                                                                          \
    }
    KIVO_THEME_PROPERTY(Color, BackColor, setBackColor)
    KIVO_THEME_PROPERTY(Color, MetroRowBackColor, setMetroRowBackColor)
    KIVO_THEME_PROPERTY(Color, RowHighLightColor, setRowHighLightColor)
    KIVO_THEME_PROPERTY(Color, AnimateColor, setAnimateColor)
    KIVO_THEME_PROPERTY(QFont, MetroRowLabelFont, setMetroRowLabelFont)
    KIVO_THEME_PROPERTY(Color, MetroRowLabelBackColor, setMetroRowLabelBackColor)
    KIVO_THEME_PROPERTY(Color, MetroRowLabelForeColor, setMetroRowLabelForeColor)
    KIVO_THEME_PROPERTY(QFont, RowLabelHeaderFont, setRowLabelHeaderFont)
    KIVO_THEME_PROPERTY(Color, RowLabelHeaderBackColor, setRowLabelHeaderBackColor)
    KIVO_THEME_PROPERTY(Color, RowLabelHeaderForeColor, setRowLabelHeaderForeColor)
    KIVO_THEME_PROPERTY(QFont, RowLabelFont, setRowLabelFont)
    KIVO_THEME_PROPERTY(Color, RowLabelBackColor, setRowLabelBackColor)
    KIVO_THEME_PROPERTY(Color, RowLabelForeColor, setRowLabelForeColor)
    KIVO_THEME_PROPERTY(Color, DetailRowLabelBackColor, setDetailRowLabelBackColor)
    KIVO_THEME_PROPERTY(Color, DetailRowLabelForeColor, setDetailRowLabelForeColor)
    KIVO_THEME_PROPERTY(Color, RowBorderColor, setRowBorderColor)
    KIVO_THEME_PROPERTY(QFont, DetailRowLabelFont, setDetailRowLabelFont)
    KIVO_THEME_PROPERTY(QFont, SectionHeaderFont, setSectionHeaderFont)
    KIVO_THEME_PROPERTY(Color, SectionHeaderBackColor, setSectionHeaderBackColor)
    KIVO_THEME_PROPERTY(Color, SectionHeaderForeColor, setSectionHeaderForeColor)
    KIVO_THEME_PROPERTY(float, RowBorderWidth, setRowBorderWidth)
    KIVO_THEME_PROPERTY(Color, toolbarColor, settoolbarColor)
    KIVO_THEME_PROPERTY(Color, RowHeaderBackColor, setRowHeaderBackColor)
    KIVO_THEME_PROPERTY(Color, RowBackColor, setRowBackColor)
    KIVO_THEME_PROPERTY(Color, RowAlternateBackColor, setRowAlternateBackColor)
    KIVO_THEME_PROPERTY(Color, SearchBarColor, setSearchBarColor)
    KIVO_THEME_PROPERTY(platform::ui::Image, ButtonBackGround, setButtonBackGround)
    KIVO_THEME_PROPERTY(Color, dimmedToolbarColor, setdimmedToolbarColor)
    KIVO_THEME_PROPERTY(Color, imageColor, setimageColor)
    KIVO_THEME_PROPERTY(Color, buttonTitleColor, setbuttonTitleColor)
    KIVO_THEME_PROPERTY(QFont, buttonTitleFont, setbuttonTitleFont)
    KIVO_THEME_PROPERTY(QFont, inputFont, setinputFont)
    KIVO_THEME_PROPERTY(QFont, labelFont, setlabelFont)
    KIVO_THEME_PROPERTY(QFont, RowLabelHeaderFont1, setRowLabelHeaderFont1)
    KIVO_THEME_PROPERTY(QFont, subbuttonTitleFont, setsubbuttonTitleFont)
    KIVO_THEME_PROPERTY(QFont, popupMenuFont, setpopupMenuFont)
    KIVO_THEME_PROPERTY(QFont, smallFont, setsmallFont)
    KIVO_THEME_PROPERTY(Color, toolbarButtonColor, settoolbarButtonColor)
    KIVO_THEME_PROPERTY(Color, MetroRowSubLabelColor, setMetroRowSubLabelColor)
#undef KIVO_THEME_PROPERTY

    // Computes every property from the settings and the delegate's palette colours.
    void loadStyle();
    // Styles the bars of the controller's navigation controller (nothing without one).
    void applyStyle(platform::ui::ViewController* controller);
    void applyStyleForToolbar(platform::ui::Toolbar* toolbar);
    void applyStyleImage(platform::ui::ViewController* controller);
    void applyiOS7Style(platform::ui::ViewController* controller);
    void applyiOS7StyleForToolbar(platform::ui::Toolbar* toolbar);
    void applyStyleToNavigatioBar(platform::ui::NavigationBar* bar);
    void applyStyleToStatusBar();
    void applyStyleForSwitch(platform::ui::Switch* control);

    // A bar button item whose view is a ThemeButton with the title; the action runs on
    // touch-up-inside while the delegate lives.
    platform::ui::BarButtonItem* createBarButtonItemWithTitle(
        const QString& title, QObject* delegate, platform::ui::Control::Action selector);
    // A ThemeSegmentedButton with the items; the action runs on value-changed.
    ThemeSegmentedButton* createSegmentedControlWithItems(
        const QStringList& items, QObject* delegate, platform::ui::Control::Action selector);

    platform::ui::TextAttributes buttonTextAttributes() const;
    platform::ui::TextAttributes navbarTitleTextAttributes() const;
    Color titleColor() const
    {
        return m_toolbarButtonColor;
    }
    Color labelColor() const
    {
        return titleColor();
    }

    platform::ui::Image colorImage(const Color& color, const QSizeF& size) const;
    // A rounded rectangle (corner radius 5) filled and stroked at width 2.5.
    platform::ui::Image getRectangle(
        const Color& stroke, const Color& fill, const QSizeF& size, float borderWidth) const;
    platform::ui::Image getBackButton() const;
    void drawLine(QPainter& context, const QPointF& from, const QPointF& to) const;

    // Whether a colour shows on another: their luminances differ by the highlight's
    // minimum contrast (in single precision), the rule the highlight is held to.
    static bool standsOut(const Color& color, const Color& on);
    // The colour a themed icon takes on a selected row: none while the image colour stands
    // out on the highlight; otherwise the tile label colour, which the highlight is always
    // made to stand out under.
    std::optional<Color> selectedIconColor() const;

    // Luminance thresholds of the rules.
    static constexpr double LightThreshold = 0.8;
    static constexpr double LightThresholdSingle = 0.800000011920929; // 0.8 as a float

private:
#define KIVO_THEME_FIELD(Type, name) Type m_##name {};
    KIVO_THEME_FIELD(Color, BackColor)
    KIVO_THEME_FIELD(Color, MetroRowBackColor)
    KIVO_THEME_FIELD(Color, RowHighLightColor)
    KIVO_THEME_FIELD(Color, AnimateColor)
    KIVO_THEME_FIELD(QFont, MetroRowLabelFont)
    KIVO_THEME_FIELD(Color, MetroRowLabelBackColor)
    KIVO_THEME_FIELD(Color, MetroRowLabelForeColor)
    KIVO_THEME_FIELD(QFont, RowLabelHeaderFont)
    KIVO_THEME_FIELD(Color, RowLabelHeaderBackColor)
    KIVO_THEME_FIELD(Color, RowLabelHeaderForeColor)
    KIVO_THEME_FIELD(QFont, RowLabelFont)
    KIVO_THEME_FIELD(Color, RowLabelBackColor)
    KIVO_THEME_FIELD(Color, RowLabelForeColor)
    KIVO_THEME_FIELD(Color, DetailRowLabelBackColor)
    KIVO_THEME_FIELD(Color, DetailRowLabelForeColor)
    KIVO_THEME_FIELD(Color, RowBorderColor)
    KIVO_THEME_FIELD(QFont, DetailRowLabelFont)
    KIVO_THEME_FIELD(QFont, SectionHeaderFont)
    KIVO_THEME_FIELD(Color, SectionHeaderBackColor)
    KIVO_THEME_FIELD(Color, SectionHeaderForeColor)
    KIVO_THEME_FIELD(float, RowBorderWidth)
    KIVO_THEME_FIELD(Color, toolbarColor)
    KIVO_THEME_FIELD(Color, RowHeaderBackColor)
    KIVO_THEME_FIELD(Color, RowBackColor)
    KIVO_THEME_FIELD(Color, RowAlternateBackColor)
    KIVO_THEME_FIELD(Color, SearchBarColor)
    KIVO_THEME_FIELD(platform::ui::Image, ButtonBackGround)
    KIVO_THEME_FIELD(Color, dimmedToolbarColor)
    KIVO_THEME_FIELD(Color, imageColor)
    KIVO_THEME_FIELD(Color, buttonTitleColor)
    KIVO_THEME_FIELD(QFont, buttonTitleFont)
    KIVO_THEME_FIELD(QFont, inputFont)
    KIVO_THEME_FIELD(QFont, labelFont)
    KIVO_THEME_FIELD(QFont, RowLabelHeaderFont1)
    KIVO_THEME_FIELD(QFont, subbuttonTitleFont)
    KIVO_THEME_FIELD(QFont, popupMenuFont)
    KIVO_THEME_FIELD(QFont, smallFont)
    KIVO_THEME_FIELD(Color, toolbarButtonColor)
    KIVO_THEME_FIELD(Color, MetroRowSubLabelColor)
#undef KIVO_THEME_FIELD
};
