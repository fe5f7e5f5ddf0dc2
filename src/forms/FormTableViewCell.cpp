#include "forms/FormTableViewCell.h"

#include "forms/FormAppearance.h"
#include "forms/FormElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormSection.h"
#include "forms/FormThread.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace platform::ui;

namespace {

// The default size of the platform's label font.
constexpr double kDefaultFontSize = 17;
// Room around the labels of a row.
constexpr double kInset = 8;
constexpr double kImageGap = 16;

QColor colorOf(const std::optional<Color>& color, const QColor& fallback)
{
    return color ? color->toQColor() : fallback;
}

} // namespace

FormTableViewCell::FormTableViewCell(const QString& reuseIdentifier, Style style, QWidget* parent)
    : TableViewCell(style, reuseIdentifier, parent)
{
    FormThread::assertMain();
    // The size a new cell has before the table places it, so views added to its content
    // keep their margins as the row grows.
    setFrame(QRectF(0, 0, 320, 44));
    layoutIfNeeded();
    // Whatever element fills the row, its icon takes the rows' square.
    connect(imageView(), &ImageView::imageChanged, this, [this] {
        const Image shown = imageView()->image();
        const Image fitted = rowIcon(shown);
        if (!(fitted == shown))
            imageView()->setImage(fitted);
    });
}

Image FormTableViewCell::rowIcon(const Image& icon)
{
    const QSizeF size = icon.size();
    if (icon.isNull() || (size.width() <= IconSide && size.height() <= IconSide))
        return icon;
    const double fit = std::min(1.0, TileIconDrawingSide / std::max(size.width(), size.height()));
    const QSizeF drawn = size * fit;
    const double scale = icon.scale();
    const int side = int(std::ceil(IconSide * scale));
    QImage canvas(side, side, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    icon.draw(painter,
        QRectF(QPointF((IconSide - drawn.width()) / 2, (IconSide - drawn.height()) / 2), drawn));
    painter.end();
    return Image(canvas, scale);
}

FormTableViewCell::~FormTableViewCell() = default;

FormElement* FormTableViewCell::element() const
{
    return m_element;
}

double FormTableViewCell::pointSize(const QFont& font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return kDefaultFontSize;
}

void FormTableViewCell::setLabelingPolicy(int policy)
{
    if (m_labelingPolicy == policy)
        return;
    m_labelingPolicy = policy;
    setNeedsLayout();
}

void FormTableViewCell::setElement(FormElement* element)
{
    m_element = element;
    m_keptElement = element ? element->weak_from_this().lock() : nullptr;
}

void FormTableViewCell::applyAppearanceForElement(FormElement* element)
{
    setElement(element);
    if (!element)
        return;
    const std::shared_ptr<FormAppearance> look = element->appearance();
    const bool enabled = element->isEnabled();
    Label* title = textLabel();
    title->setTextColor(
        colorOf(enabled ? look->labelColorEnabled : look->labelColorDisabled, title->textColor()));
    if (look->labelFont)
        title->setFont(*look->labelFont);
    title->setTextAlignment(look->labelAlignment | Qt::AlignVCenter);
    title->setNumberOfLines(0);
    title->setBackgroundColor(Qt::transparent);
    if (Label* value = detailTextLabel()) {
        value->setTextColor(colorOf(
            enabled ? look->valueColorEnabled : look->valueColorDisabled, value->textColor()));
        if (look->valueFont)
            value->setFont(*look->valueFont);
        value->setTextAlignment(look->valueAlignment | Qt::AlignVCenter);
        value->setNumberOfLines(0);
        value->setBackgroundColor(Qt::transparent);
    }
    const std::optional<Color>& background
        = enabled ? look->backgroundColorEnabled : look->backgroundColorDisabled;
    if (background)
        setBackgroundColor(background->toQColor());
    if (look->selectedBackgroundView)
        setSelectedBackgroundView(look->selectedBackgroundView());
    setNeedsLayout();
}

QSizeF FormTableViewCell::getMaxValueSize() const
{
    const Label* title = textLabel();
    const Image image = imageView()->image();
    const double imageWidth = image.isNull() ? 0 : image.size().width();
    if (title->text().isEmpty())
        return QSizeF(imageWidth, 0);
    double widest = 0;
    FormSection* section = m_element ? m_element->parentSection() : nullptr;
    if (!section)
        return QSizeF(0, 0);
    QFont font = title->font();
    font.setPixelSize(std::max(1, int(std::lround(pointSize(font)))));
    for (const auto& candidate : section->elements()) {
        const auto* label = qobject_cast<const FormLabelElement*>(candidate.get());
        if (!label)
            continue;
        const double withImage = label->image().isNull() ? 0 : imageWidth + kImageGap;
        const double width = label->titleWidth(font);
        widest = std::max(widest, withImage + width);
    }
    return QSizeF(std::ceil(widest), 0);
}

void FormTableViewCell::layoutSubviews()
{
    TableViewCell::layoutSubviews();
    Label* title = textLabel();
    Label* value = detailTextLabel();
    // A subtitle cell keeps the platform's layout: title above value.
    if (!value || style() == Style::Subtitle)
        return;
    const QRectF content = contentView()->bounds();
    const double W = content.width();
    const double H = content.height();
    double available = W;
    if (!imageView()->isHidden())
        available -= imageView()->frame().width() + kImageGap;
    const bool hasTitle = !title->text().isEmpty();
    const bool hasValue = !value->text().isEmpty();
    const double x = title->frame().x();
    double valueWidth = 0;
    if (m_labelingPolicy == TrimTitle) {
        if (hasValue) {
            const double limit = std::max(0.0, hasTitle ? available - 80 : available);
            valueWidth = std::ceil(
                std::min(limit, Font::measure(value->text(), value->font(), limit).width()));
        }
        title->setFrame(
            QRectF(x, kInset, std::max(0.0, W - valueWidth - 32), std::max(0.0, H - 2 * kInset)));
    } else {
        const double titleWidth
            = hasValue ? getMaxValueSize().width() : std::max(0.0, available - 24);
        title->setFrame(QRectF(x, kInset, titleWidth, std::max(0.0, H - 2 * kInset)));
        valueWidth = titleWidth > 0 ? W - 16 - titleWidth - 16 : W - 16;
        valueWidth = std::max(0.0, valueWidth);
    }
    value->setFrame(
        QRectF(W - valueWidth - kInset, kInset, valueWidth, std::max(0.0, H - 2 * kInset)));
}

void FormTableViewCell::prepareForReuse()
{
    TableViewCell::prepareForReuse();
}
