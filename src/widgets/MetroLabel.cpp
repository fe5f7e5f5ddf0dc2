#include "widgets/MetroLabel.h"

#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

MetroLabel::MetroLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

MetroLabel::MetroLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void MetroLabel::initStyle()
{
    setTag(Tag);
    setMinimumFontSize(MinimumFontSize);
    styleAsRowLabel(this);
}

void MetroLabel::styleAsRowLabel(platform::ui::Label* label)
{
    label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Theme* style = Theme::current()) {
        label->setBackgroundColor(style->MetroRowLabelBackColor().toQColor());
        label->setTextColor(style->MetroRowLabelForeColor().toQColor());
        label->setFont(style->MetroRowLabelFont());
    }
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    label->setAdjustsFontSizeToFitWidth(preferences && preferences->autofitfont());
}
