#include "widgets/MetroSubLabel.h"

#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

MetroSubLabel::MetroSubLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

MetroSubLabel::MetroSubLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void MetroSubLabel::initStyle()
{
    setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Theme* style = Theme::current()) {
        setBackgroundColor(style->MetroRowLabelBackColor().toQColor());
        setTextColor(style->MetroRowSubLabelColor().toQColor());
        setFont(style->RowLabelFont());
    }
    setMinimumFontSize(MinimumFontSize);
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    setAdjustsFontSizeToFitWidth(preferences && preferences->autofitfont());
}
