#include "widgets/RowHeaderLabel.h"

#include "style/Theme.h"
#include "utilities/shell/SelectiveBorder.h"
#include "utilities/shell/SelectiveBordersLayer.h"

RowHeaderLabel::RowHeaderLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

RowHeaderLabel::RowHeaderLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

std::unique_ptr<platform::ui::Layer> RowHeaderLabel::makeLayer() const
{
    return std::make_unique<SelectiveBordersLayer>();
}

void RowHeaderLabel::initStyle()
{
    setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Theme* style = Theme::current();
    if (style) {
        setBackgroundColor(style->RowLabelHeaderBackColor().toQColor());
        setTextColor(style->RowLabelHeaderForeColor().toQColor());
        setFont(style->RowLabelHeaderFont());
    }
    SelectiveBorder::setSelectiveBorderFlag(this, SelectiveBordersLayer::Bottom);
    if (style) {
        SelectiveBorder::setSelectiveBordersColor(this, style->RowBorderColor().toQColor());
        SelectiveBorder::setSelectiveBordersWidth(this, style->RowBorderWidth());
    }
}
