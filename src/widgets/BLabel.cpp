#include "widgets/BLabel.h"

#include "style/Theme.h"

BLabel::BLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

BLabel::BLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void BLabel::initStyle()
{
    if (Theme* style = Theme::current()) {
        setTextColor(style->labelColor().toQColor());
        setFont(style->labelFont());
    }
}
