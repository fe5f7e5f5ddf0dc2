#include "forms/FormClassicAppearance.h"

#include "platform/ui/Font.h"

#include <algorithm>

FormClassicAppearance::FormClassicAppearance()
{
    FormClassicAppearance::setDefaults();
}

double FormClassicAppearance::currentGroupedTableViewMarginForWidth(double width)
{
    if (width <= 20)
        return width - 10;
    if (width < 400)
        return 10;
    return std::clamp(float(width * 0.06), 31.0f, 45.0f);
}

void FormClassicAppearance::setDefaults()
{
    using platform::ui::Font::boldSystem;
    using platform::ui::Font::system;
    FormAppearance::setDefaults();
    const Color slate = Color::colorWithRed(0.298039, 0.337255, 0.423529, 1);
    toolbarTranslucent = true;
    sectionTitleFont = boldSystem(16);
    sectionTitleColor = slate;
    sectionFooterFont = system(14);
    sectionFooterColor = slate;
    entryAlignment = Qt::AlignLeft;
    buttonAlignment = Qt::AlignHCenter;
    sectionTitleShadowColor = Color::colorWithWhite(1, 1);
    labelColorDisabled = Color::lightGrayColor();
    labelColorEnabled = Color::blackColor();
    labelFont = boldSystem(15);
    backgroundColorEnabled = Color::whiteColor();
    backgroundColorDisabled = Color::colorWithWhite(0.9605, 1);
    labelAlignment = Qt::AlignLeft;
    entryFont = system(15);
    entryTextColorEnabled = Color::blackColor();
    entryTextColorDisabled = Color::lightGrayColor();
    valueColorEnabled = Color::colorWithRed(0.1653, 0.2532, 0.4543, 1);
    valueColorDisabled = Color::lightGrayColor();
    valueFont = system(15);
    valueAlignment = Qt::AlignRight;
    actionColorEnabled = Color::blackColor();
    actionColorDisabled = Color::lightGrayColor();
    cellBorderWidth = 20;
    toolbarStyle = 1;
}

std::shared_ptr<FormAppearance> FormClassicAppearance::makeEmpty() const
{
    return std::make_shared<FormClassicAppearance>();
}
