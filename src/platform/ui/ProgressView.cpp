#include "platform/ui/ProgressView.h"

#include "platform/ui/Animation.h"

#include <QPainter>

#include <cmath>

namespace platform::ui {

ProgressView::ProgressView(Style style, QWidget* parent)
    : View(parent)
    , m_style(style)
{
    setUserInteractionEnabled(false);
    setFrame(QRectF(0, 0, 150, BarHeight));
}

void ProgressView::setProgressViewStyle(Style style)
{
    m_style = style;
    update();
}

void ProgressView::setProgress(float progress, bool animated)
{
    if (!std::isfinite(progress))
        return;
    m_progress = std::clamp(progress, 0.0f, 1.0f);
    const double from = m_shown;
    if (animated) {
        Animation::animate(0.25, [this, from] {
            if (!Animation::record(this, "progress", from, double(m_progress),
                    [this](const QVariant& v) { applyShown(v.toDouble()); }))
                applyShown(m_progress);
        });
    } else {
        Animation::cancel(this, "progress");
        applyShown(m_progress);
    }
}

void ProgressView::applyShown(double progress)
{
    m_shown = progress;
    update();
}

void ProgressView::setProgressTintColor(const QColor& color)
{
    m_progressTint = color;
    update();
}

void ProgressView::setTrackTintColor(const QColor& color)
{
    m_trackTint = color;
    update();
}

QSizeF ProgressView::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width() > 0 ? size.width() : 150, BarHeight);
}

void ProgressView::drawRect(QPainter& painter, const QRectF& rect)
{
    // The bar style has a clear track, as under a navigation bar.
    QColor track = m_trackTint;
    if (!track.isValid())
        track = m_style == Style::Bar ? QColor(Qt::transparent) : QColor(183, 183, 183);
    const QColor tint = m_progressTint.isValid() ? m_progressTint : tintColor();
    const double height = std::min(rect.height(), BarHeight);
    const QRectF bar(rect.left(), rect.center().y() - height / 2, rect.width(), height);
    painter.fillRect(bar, track);
    QRectF done = bar;
    done.setWidth(bar.width() * std::clamp(m_shown, 0.0, 1.0));
    painter.fillRect(done, tint);
}

} // namespace platform::ui
