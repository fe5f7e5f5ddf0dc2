#include "widgets/RowLabel.h"

#include "style/Theme.h"

RowLabel::RowLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

RowLabel::RowLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void RowLabel::initStyle()
{
    setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (Theme* style = Theme::current()) {
        setBackgroundColor(style->RowLabelBackColor().toQColor());
        setTextColor(style->RowLabelForeColor().toQColor());
        setFont(style->RowLabelFont());
    }
}
