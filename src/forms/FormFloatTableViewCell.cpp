#include "forms/FormFloatTableViewCell.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

#include <cmath>

const QString FormFloatTableViewCell::ReuseIdentifier = QStringLiteral("FormFloatTableViewCell");

namespace {

constexpr double kSliderInset = 10;

} // namespace

FormFloatTableViewCell::FormFloatTableViewCell(QWidget* parent)
    : FormTableViewCell(ReuseIdentifier, Style::Value1, parent)
{
    m_slider = new platform::ui::Slider(QRectF());
    setSelectionStyle(SelectionStyle::None);
    contentView()->addSubview(m_slider);
}

void FormFloatTableViewCell::layoutSubviews()
{
    FormTableViewCell::layoutSubviews();
    platform::ui::Label* title = textLabel();
    const QRectF old = title->frame();
    const double width = title->text().isEmpty()
        ? 0
        : std::ceil(platform::ui::Font::measure(title->text(), title->font()).width());
    title->setFrame(QRectF(old.topLeft(), QSizeF(width, old.height())));
    const QRectF content = contentView()->bounds();
    const double left = title->frame().right();
    m_slider->setFrame(QRectF(left + kSliderInset, 0,
        std::max(0.0, content.width() - left - 2 * kSliderInset), content.height()));
}
