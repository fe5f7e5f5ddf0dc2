#include "platform/ui/Label.h"

#include "platform/ui/Font.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace platform::ui {

Label::Label(QWidget* parent)
    : View(parent)
    , m_font(Font::system(17))
{
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setUserInteractionEnabled(false);
}

Label::Label(const QRectF& frame, QWidget* parent)
    : Label(parent)
{
    setFrame(frame);
}

void Label::setText(const QString& text)
{
    forgetDrawing();
    if (m_text == text)
        return;
    m_text = text;
    setNeedsDisplay();
    emit textChanged(text);
}

void Label::setFont(const QFont& font)
{
    forgetDrawing();
    m_font = font;
    setNeedsDisplay();
}

void Label::setTextColor(const QColor& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setHighlightedTextColor(const QColor& color)
{
    m_highlightedColor = color;
    setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void Label::setTextAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    if (!(m_alignment & Qt::AlignVertical_Mask))
        m_alignment |= Qt::AlignVCenter;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    forgetDrawing();
    m_lines = std::max(0, lines);
    setNeedsDisplay();
}

void Label::setShadowColor(const QColor& color)
{
    m_shadowColor = color;
    setNeedsDisplay();
}

void Label::setShadowOffset(const QPointF& offset)
{
    m_shadowOffset = offset;
    setNeedsDisplay();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    forgetDrawing();
    m_adjusts = adjusts;
    setNeedsDisplay();
}

void Label::setMinimumFontSize(double size)
{
    forgetDrawing();
    m_minimumFontSize = std::max(0.0, size);
    setNeedsDisplay();
}

void Label::setMinimumScaleFactor(double factor)
{
    forgetDrawing();
    m_minimumScale = std::clamp(factor, 0.0, 1.0);
    setNeedsDisplay();
}

int Label::flags() const
{
    int f = int(m_alignment);
    if (m_lines != 1)
        f |= Qt::TextWordWrap;
    return f;
}

bool Label::fits(const QFont& font, const QRectF& rect) const
{
    QFontMetricsF metrics(font);
    if (m_lines == 1)
        return metrics.horizontalAdvance(m_text) <= rect.width() + 0.5;
    const QRectF needed = metrics.boundingRect(
        QRectF(0, 0, rect.width(), 1e6), Qt::TextWordWrap | Qt::AlignLeft, m_text);
    double limit = rect.height();
    if (m_lines > 1)
        limit = std::min(limit, metrics.lineSpacing() * m_lines);
    return needed.height() <= limit + 0.5 && needed.width() <= rect.width() + 0.5;
}

QFont Label::fontForDrawing() const
{
    if (!m_adjusts || m_text.isEmpty())
        return m_font;
    const QSizeF size = bounds().size();
    if (!m_drawing.valid || m_drawing.size != size) {
        m_drawing.valid = true;
        m_drawing.size = size;
        m_drawing.font = shrunkFont();
        m_drawing.shown.clear();
        m_drawing.line.reset();
    }
    return m_drawing.font;
}

QFont Label::shrunkFont() const
{
    const QRectF area = bounds();
    if (fits(m_font, area))
        return m_font;
    const double size = m_font.pixelSize() > 0 ? m_font.pixelSize() : m_font.pointSizeF();
    double minimum = m_minimumScale > 0 ? size * m_minimumScale : m_minimumFontSize;
    if (minimum <= 0)
        minimum = std::min(size, 8.0);
    QFont font = m_font;
    // Half a point at a time, as fine as a person can see.
    for (double s = size - 0.5; s >= minimum; s -= 0.5) {
        font.setPixelSize(std::max(1, int(std::floor(s))));
        if (fits(font, area))
            return font;
    }
    font.setPixelSize(std::max(1, int(std::floor(minimum))));
    return font;
}

QSizeF Label::sizeThatFits(const QSizeF& size) const
{
    if (m_lines == 1)
        return Font::measure(m_text, m_font);
    const double width = size.width() > 0 ? size.width() : 1e6;
    QSizeF needed = Font::measure(m_text, m_font, width);
    if (m_lines > 1)
        needed.setHeight(std::min(needed.height(), QFontMetricsF(m_font).lineSpacing() * m_lines));
    return needed;
}

namespace {

// The text laid out as one line, as drawText lays out a line it does not wrap.
std::shared_ptr<QTextLayout> layOutLine(
    const QString& text, const QFont& font, QPaintDevice* device)
{
    auto layout = std::make_shared<QTextLayout>(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout->endLayout();
    return layout;
}

double lineWidth(const QTextLayout& layout)
{
    return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0.0;
}

} // namespace

void Label::drawSingleLine(QPainter& painter, const QRectF& rect)
{
    const QSizeF size = rect.size();
    if (!m_drawing.valid || m_drawing.size != size || !m_drawing.line) {
        QString shown = m_text;
        shown.replace('\n', ' ');
        QFont font = m_font;
        auto line = layOutLine(shown, font, painter.device());
        if (m_adjusts && lineWidth(*line) > rect.width() + 0.5) {
            font = shrunkFont();
            line = layOutLine(shown, font, painter.device());
        }
        if (lineWidth(*line) > rect.width() + 0.5) {
            shown = QFontMetricsF(font).elidedText(shown, Qt::ElideRight, rect.width());
            line = layOutLine(shown, font, painter.device());
        }
        m_drawing = { true, size, font, shown, std::move(line) };
    }
    const QTextLayout& layout = *m_drawing.line;
    if (layout.lineCount() == 0)
        return;
    const QTextLine line = layout.lineAt(0);
    // Placed as drawText places a line in its rectangle.
    double x = rect.x();
    if (m_alignment & Qt::AlignRight)
        x += rect.width() - line.naturalTextWidth();
    else if (m_alignment & Qt::AlignHCenter)
        x += (rect.width() - line.naturalTextWidth()) / 2;
    double y = rect.y();
    if (m_alignment & Qt::AlignBottom)
        y += rect.height() - line.height();
    else if (m_alignment & Qt::AlignVCenter)
        y += (rect.height() - line.height()) / 2;
    if (m_shadowColor.isValid() && m_shadowColor.alpha() > 0) {
        painter.setPen(m_shadowColor);
        layout.draw(&painter, QPointF(x, y) + m_shadowOffset);
    }
    const QColor color
        = m_highlighted && m_highlightedColor.isValid() ? m_highlightedColor : m_textColor;
    painter.setPen(isEnabled() ? color : QColor(color.red(), color.green(), color.blue(), 110));
    layout.draw(&painter, QPointF(x, y));
}

void Label::drawRect(QPainter& painter, const QRectF& rect)
{
    if (m_text.isEmpty())
        return;
    if (m_lines == 1) {
        drawSingleLine(painter, rect);
        return;
    }
    const QFont font = fontForDrawing();
    painter.setFont(font);
    QString shown = m_text;
    if (m_lines == 1) {
        const QSizeF size = rect.size();
        if (m_drawing.valid && m_drawing.size == size && !m_drawing.shown.isNull()
            && m_drawing.font == font) {
            shown = m_drawing.shown;
        } else {
            shown.replace('\n', ' ');
            QFontMetricsF metrics(font);
            if (metrics.horizontalAdvance(shown) > rect.width() + 0.5)
                shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
            m_drawing = { true, size, font, shown, nullptr };
        }
    }
    QRectF area = rect;
    if (m_lines > 1) {
        // Keep to the number of lines by clipping the height.
        const double maxHeight = QFontMetricsF(font).lineSpacing() * m_lines;
        if (area.height() > maxHeight) {
            const double extra = area.height() - maxHeight;
            if (m_alignment & Qt::AlignVCenter)
                area.adjust(0, extra / 2, 0, -extra / 2);
            else if (m_alignment & Qt::AlignBottom)
                area.adjust(0, extra, 0, 0);
            else
                area.setHeight(maxHeight);
        }
    }
    int drawFlags = flags();
    if (m_lines != 1
        && Font::wrapFlag(shown, QFontMetricsF(font), area.width()) != Qt::TextWordWrap)
        drawFlags = (drawFlags & ~Qt::TextWordWrap) | Qt::TextWrapAnywhere;
    if (m_shadowColor.isValid() && m_shadowColor.alpha() > 0) {
        painter.setPen(m_shadowColor);
        painter.drawText(area.translated(m_shadowOffset), drawFlags, shown);
    }
    const QColor color
        = m_highlighted && m_highlightedColor.isValid() ? m_highlightedColor : m_textColor;
    painter.setPen(isEnabled() ? color : QColor(color.red(), color.green(), color.blue(), 110));
    painter.drawText(area, drawFlags, shown);
}

} // namespace platform::ui
