#include "forms/FormProgressTableViewCell.h"

#include "platform/ui/ProgressView.h"

#include <cmath>

FormProgressTableViewCell::FormProgressTableViewCell(
    const QString& reuseIdentifier, QWidget* parent)
    : FormTableViewCell(reuseIdentifier, Style::Value1, parent)
{
    setSelectionStyle(SelectionStyle::None);
    m_bar = new platform::ui::ProgressView(platform::ui::ProgressView::Style::Default);
    contentView()->addSubview(m_bar);
}

void FormProgressTableViewCell::layoutSubviews()
{
    FormTableViewCell::layoutSubviews();
    const QRectF content = contentView()->bounds();
    const double height = m_bar->sizeThatFits({}).height();
    m_bar->setFrame(QRectF(BarInset / 2, std::round((content.height() - height) / 2),
        std::max(0.0, content.width() - BarInset), height));
}
