#include "widgets/CheckMarkLabel.h"

#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

const QString CheckMarkLabel::CheckedText = QStringLiteral("\u2705");
const QString CheckMarkLabel::UncheckedText = QStringLiteral("\u2B1C");

CheckMarkLabel::CheckMarkLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

CheckMarkLabel::CheckMarkLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void CheckMarkLabel::initStyle()
{
    setTag(Tag);
    setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Theme* style = Theme::current()) {
        setBackgroundColor(style->MetroRowLabelBackColor().toQColor());
        setTextColor(style->MetroRowLabelForeColor().toQColor());
        setFont(style->MetroRowLabelFont());
    }
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    setAdjustsFontSizeToFitWidth(preferences && preferences->autofitfont());
}

void CheckMarkLabel::setChecked(bool checked)
{
    m_checked = checked;
    setText(checked ? CheckedText : UncheckedText);
}
