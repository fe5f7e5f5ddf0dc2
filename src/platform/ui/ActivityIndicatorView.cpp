#include "platform/ui/ActivityIndicatorView.h"

#include <QPainter>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace platform::ui {

namespace {
constexpr int kSpokes = 12;
} // namespace

ActivityIndicatorView::ActivityIndicatorView(Style style, QWidget* parent)
    : View(parent)
    , m_style(style)
{
    setUserInteractionEnabled(false);
    m_timer = new QTimer(this);
    m_timer->setInterval(1000 / kSpokes);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
    const QSizeF size = sizeThatFits(QSizeF());
    setFrame(QRectF(QPointF(0, 0), size));
    setHidden(true);
}

bool ActivityIndicatorView::isLarge() const
{
    return m_style == Style::WhiteLarge || m_style == Style::Large;
}

void ActivityIndicatorView::setActivityIndicatorViewStyle(Style style)
{
    m_style = style;
    update();
}

QColor ActivityIndicatorView::color() const
{
    if (m_color.isValid())
        return m_color;
    if (m_style == Style::Gray || m_style == Style::Medium || m_style == Style::Large)
        return QColor(142, 142, 147);
    return Qt::white;
}

void ActivityIndicatorView::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    setHidden(hides && !m_animating);
}

void ActivityIndicatorView::startAnimating()
{
    if (m_animating)
        return;
    m_animating = true;
    setHidden(false);
    m_timer->start();
    update();
}

void ActivityIndicatorView::stopAnimating()
{
    if (!m_animating)
        return;
    m_animating = false;
    m_timer->stop();
    if (m_hidesWhenStopped)
        setHidden(true);
    update();
}

QSizeF ActivityIndicatorView::sizeThatFits(const QSizeF&) const
{
    return isLarge() ? QSizeF(37, 37) : QSizeF(20, 20);
}

void ActivityIndicatorView::drawRect(QPainter& painter, const QRectF& rect)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double size = std::min(rect.width(), rect.height());
    const double outer = size / 2;
    const double inner = outer * 0.45;
    const double thickness = std::max(1.5, size / 11);
    const QColor base = color();
    painter.translate(rect.center());
    for (int i = 0; i < kSpokes; ++i) {
        // The newest spoke is darkest; the ones behind it fade.
        const int age = (m_step - i + kSpokes) % kSpokes;
        QColor spoke = base;
        spoke.setAlphaF(base.alphaF() * (1.0 - 0.75 * age / double(kSpokes - 1)));
        QPen pen(spoke, thickness);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        const double angle = 2 * std::numbers::pi * i / kSpokes - std::numbers::pi / 2;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(direction * inner, direction * (outer - thickness / 2));
    }
}

} // namespace platform::ui
