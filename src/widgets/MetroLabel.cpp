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
    setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Theme* style = Theme::current()) {
        setBackgroundColor(style->MetroRowLabelBackColor().toQColor());
        setTextColor(style->MetroRowLabelForeColor().toQColor());
        setFont(style->MetroRowLabelFont());
    }
    setMinimumFontSize(MinimumFontSize);
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    setAdjustsFontSizeToFitWidth(preferences && preferences->autofitfont());
}
