#include "widgets/HUDRoundProgressView.h"

#include "platform/ui/PathArcs.h"
#include "widgets/ProgressHUDFailures.h"

#include <QPainter>
#include <QPainterPath>

#include <numbers>

using platform::ui::PathArcs::addArc;

namespace {

// The top of the circle, as the platform computes it (single precision).
const double kStartAngle = double(-float(std::numbers::pi) / 2.0f);
constexpr double kTurn = 2 * std::numbers::pi;

void strokeArc(QPainter& painter, const QPointF& center, double radius, double from, double to,
    const QColor& color, double width, Qt::PenCapStyle cap)
{
    QPainterPath path;
    addArc(path, center, radius, from, to, false);
    QPen pen(color, width);
    pen.setCapStyle(cap);
    painter.strokePath(path, pen);
}

} // namespace

HUDRoundProgressView::HUDRoundProgressView(QWidget* parent)
    : HUDRoundProgressView(QRectF(0, 0, DefaultSize, DefaultSize), parent)
{
}

HUDRoundProgressView::HUDRoundProgressView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setBackgroundColor(Qt::transparent);
}

void HUDRoundProgressView::setProgress(float progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    setNeedsDisplay();
}

void HUDRoundProgressView::setProgressTintColor(const QColor& color)
{
    ProgressHUDFailures::requireColor(color);
    if (color == m_progressTintColor)
        return;
    m_progressTintColor = color;
    setNeedsDisplay();
}

void HUDRoundProgressView::setBackgroundTintColor(const QColor& color)
{
    ProgressHUDFailures::requireColor(color);
    if (color == m_backgroundTintColor)
        return;
    m_backgroundTintColor = color;
    setNeedsDisplay();
}

void HUDRoundProgressView::setAnnular(bool annular)
{
    if (annular == m_annular)
        return;
    m_annular = annular;
    setNeedsDisplay();
}

QSizeF HUDRoundProgressView::intrinsicContentSize() const
{
    return QSizeF(DefaultSize, DefaultSize);
}

void HUDRoundProgressView::drawRect(QPainter& target, const QRectF& rect)
{
    // Drawn into a layer of its own first, so the copy below replaces only this view's
    // pixels, never what lies behind it.
    const double scale = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    QImage layer((rect.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        return;
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(QPointF(0, 0), rect.size());
    const QPointF center = box.center();
    // Nothing of the progress is drawn until there is some.
    const bool some = m_progress > 0.0f;
    const double end = kStartAngle + double(m_progress) * kTurn;
    if (m_annular) {
        const double radius = (box.width() - 2.0) / 2.0;
        strokeArc(painter, center, radius, kStartAngle, 3 * std::numbers::pi / 2,
            m_backgroundTintColor, 2.0, Qt::FlatCap);
        if (some)
            strokeArc(
                painter, center, radius, kStartAngle, end, m_progressTintColor, 2.0, Qt::SquareCap);
    } else {
        painter.setPen(QPen(m_progressTintColor, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(box.adjusted(1, 1, -1, -1));
        if (some) {
            // Copied rather than blended, so a translucent tint does not darken where
            // the arc lies over the outline.
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            strokeArc(painter, center, box.width() / 2.0 - 2.0, kStartAngle, end,
                m_progressTintColor, 4.0, Qt::FlatCap);
        }
    }
    painter.end();
    target.drawImage(rect.topLeft(), layer);
}
