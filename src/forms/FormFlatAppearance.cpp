#include "forms/FormFlatAppearance.h"

#include "platform/ui/Font.h"

namespace {

// The platform's text styles at their default size: headline is the body size, bolder.
constexpr double kTextStyleSize = 17;

QFont headlineFont()
{
    QFont font = platform::ui::Font::system(kTextStyleSize);
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont bodyFont()
{
    return platform::ui::Font::system(kTextStyleSize);
}

} // namespace

FormFlatAppearance::FormFlatAppearance()
{
    FormFlatAppearance::setDefaults();
}

void FormFlatAppearance::setDefaults()
{
    FormAppearance::setDefaults();
    toolbarTranslucent = true;
    sectionTitleFont.reset();
    sectionTitleColor.reset();
    sectionFooterFont.reset();
    sectionFooterColor = Color::colorWithRed(0.2417, 0.5295, 0.9396, 1);
    entryAlignment = Qt::AlignLeft;
    buttonAlignment = Qt::AlignLeft;
    sectionTitleShadowColor = Color::clearColor();
    labelColorDisabled = Color::lightGrayColor();
    labelColorEnabled = Color::blackColor();
    labelFont = headlineFont();
    backgroundColorEnabled = Color::whiteColor();
    backgroundColorDisabled = Color::whiteColor();
    labelAlignment = Qt::AlignLeft;
    entryFont = bodyFont();
    entryTextColorEnabled = Color::colorWithRed(0.243, 0.306, 0.435, 1);
    entryTextColorDisabled = Color::lightGrayColor();
    valueColorEnabled = Color::colorWithRed(0.1653, 0.2532, 0.4543, 1);
    valueColorDisabled = Color::lightGrayColor();
    valueFont = bodyFont();
    valueAlignment = Qt::AlignRight;
    actionColorEnabled = Color::blackColor();
    actionColorDisabled = Color::lightGrayColor();
    cellBorderWidth = 14;
    toolbarStyle = 0;
}

std::shared_ptr<FormAppearance> FormFlatAppearance::makeEmpty() const
{
    return std::make_shared<FormFlatAppearance>();
}
