#include "widgets/PopoverView.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PathArcs.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"

#include <QPainter>

#include <algorithm>

using namespace platform::ui;

namespace {

QColor toolbarColor()
{
    const Theme* style = Theme::current();
    return style ? style->toolbarColor().toQColor() : QColor(247, 247, 247);
}

QColor grey(double white)
{
    return QColor::fromRgbF(float(white), float(white), float(white));
}

} // namespace

PopoverView::PopoverView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setBackgroundColor(Qt::transparent);
    setClipsToBounds(true);
    // The layout places the title and the content for each size; resizing them by their
    // masks first could squeeze the content to nothing on the way to a new size.
    setAutoresizesSubviews(false);
    layer()->setShadowOpacity(0.7);
    layer()->setShadowRadius(5);
    layer()->setShadowOffset(QPointF(-3, 3));
    m_titleLabel = new Label(this);
    m_titleLabel->setBackgroundColor(Qt::transparent);
    const Theme* style = Theme::current();
    m_titleLabel->setTextColor(style ? style->buttonTitleColor().toQColor() : QColor(Qt::black));
    m_titleLabel->setTextAlignment(Qt::AlignCenter);
    m_titleLabel->setFont(Font::named(QStringLiteral("HelveticaNeue-Bold"), 16));
}

void PopoverView::setTitle(const QString& title)
{
    m_title = title;
    setupViews();
    update();
}

void PopoverView::setRelativeOrigin(const QPointF& point)
{
    m_relativeOrigin = point;
    updateShadowPath();
    update();
}

void PopoverView::setTint(qint32 tint)
{
    m_tint = tint;
    update();
}

void PopoverView::setRadius(double radius)
{
    m_radius = radius;
    if (!m_border && m_contentView)
        m_contentView->layer()->setCornerRadius(radius);
    updateContentMask();
    updateShadowPath();
    update();
}

void PopoverView::setParentController(ViewController* controller)
{
    m_parentController = controller;
}

void PopoverView::setArrowDirection(unsigned direction)
{
    m_arrowDirection = direction;
    updateShadowPath();
    update();
}

void PopoverView::setBorder(bool border)
{
    m_border = border;
    if (!border) {
        if (m_contentView) {
            m_contentView->setClipsToBounds(true);
            m_contentView->layer()->setCornerRadius(m_radius);
        }
        setClipsToBounds(true);
        m_draw3dBorder = false;
    }
    updateContentMask();
    updateShadowPath();
    update();
}

void PopoverView::addContentView(View* view)
{
    if (view != m_contentView) {
        if (m_contentView && m_contentView->parentWidget() == this)
            m_contentView->removeFromSuperview();
        m_contentView = view;
        if (view)
            addSubview(view);
    }
    setupViews();
}

void PopoverView::layoutSubviews()
{
    View::layoutSubviews();
    setupViews();
}

void PopoverView::setupViews()
{
    const double w = bounds().width();
    const double h = bounds().height();
    const bool titled = !m_title.isEmpty();
    QRectF titleFrame;
    QRectF content;
    switch (m_arrowDirection) {
    case PopoverArrowDirectionUp:
        titleFrame = QRectF(10, 30, w - 20, 20);
        content = titled ? QRectF(10, 60, w - 20, h - 70) : QRectF(10, 30, w - 20, h - 40);
        break;
    case PopoverArrowDirectionDown:
        titleFrame = QRectF(10, 10, w - 20, 20);
        content = titled ? QRectF(10, 40, w - 20, h - 70) : QRectF(10, 10, w - 20, h - 40);
        break;
    case PopoverArrowDirectionLeft:
        titleFrame = QRectF(10, 10, w - 20, 20);
        content = titled ? QRectF(30, 40, w - 40, h - 50) : QRectF(30, 10, w - 40, h - 20);
        break;
    case PopoverArrowDirectionRight:
        titleFrame = QRectF(10, 10, w - 20, 20);
        content = titled ? QRectF(10, 40, w - 40, h - 50) : QRectF(10, 10, w - 40, h - 20);
        break;
    case PopoverArrowDirectionNone:
        titleFrame = QRectF(10, 10, w - 20, 20);
        content = titled ? QRectF(10, 40, w - 20, h - 50) : QRectF(10, 10, w - 20, h - 20);
        break;
    default:
        break;
    }
    if (!titleFrame.isNull())
        m_titleLabel->setFrame(titleFrame);
    if (!content.isNull() && m_contentView) {
        content.setWidth(std::max(0.0, content.width()));
        content.setHeight(std::max(0.0, content.height()));
        m_contentView->setFrame(content);
    }
    m_titleLabel->setText(m_title);
    updateContentMask();
    updateShadowPath();
}

void PopoverView::updateShadowPath()
{
    layer()->setShadowPath(newContentPathWithBorderWidth(2, m_arrowDirection));
}

void PopoverView::updateContentMask()
{
    if (!m_contentView)
        return;
    // Without border the content is cut to the rounded body; a widget clips its
    // subviews only to a mask, so the rounding is one.
    const QRectF box = m_contentView->bounds();
    if (m_border || box.isEmpty()) {
        m_contentView->clearMask();
        return;
    }
    QPainterPath rounded;
    rounded.addRoundedRect(box, m_radius, m_radius);
    m_contentView->setMask(QRegion(rounded.toFillPolygon().toPolygon()));
}

QPainterPath PopoverView::newContentPathWithBorderWidth(
    double borderWidth, unsigned direction) const
{
    const double w = bounds().width();
    const double h = bounds().height();
    const double b = m_border ? borderWidth : 10.0;
    const double arrow = ArrowHeight;
    const double r = m_radius;
    QRectF body;
    switch (direction) {
    case PopoverArrowDirectionUp:
        body = QRectF(b, b + arrow, w - 2 * b, h - arrow - 2 * b);
        break;
    case PopoverArrowDirectionDown:
        body = QRectF(b, b, w - 2 * b, h - arrow - 2 * b);
        break;
    case PopoverArrowDirectionLeft:
        body = QRectF(b + arrow, b, w - arrow - 2 * b, h - 2 * b);
        break;
    case PopoverArrowDirectionRight:
        body = QRectF(b, b, w - arrow - 2 * b, h - 2 * b);
        break;
    default:
        body = QRectF(b, b, w - 2 * b, h - 2 * b);
        break;
    }
    // The arrow's start along its edge, kept off the corners.
    double ax = m_relativeOrigin.x() - ArrowBase / 2;
    if (ax < 10 + b)
        ax = 10 + b;
    else if (ax + ArrowBase + 2 * b > w)
        ax = w - ArrowBase - 2 * b;
    double ay = m_relativeOrigin.y() - ArrowBase / 2;
    if (ay < 10 + b)
        ay = 10 + b;
    else if (ay + ArrowBase + 2 * b > h)
        ay = h - ArrowBase - 2 * b;

    const double left = body.left();
    const double top = body.top();
    const double right = body.right();
    const double bottom = body.bottom();
    const QRectF inner = body.adjusted(r, r, -r, -r);
    using PathArcs::addArcToPoint;
    QPainterPath path;
    path.moveTo(inner.left(), top);
    if (direction == PopoverArrowDirectionUp) {
        path.lineTo(ax, b + arrow);
        path.lineTo(ax + ArrowBase / 2, b);
        path.lineTo(ax + ArrowBase, b + arrow);
    }
    path.lineTo(inner.right(), top);
    addArcToPoint(path, QPointF(right, top), QPointF(right, inner.top()), r);
    if (direction == PopoverArrowDirectionRight) {
        path.lineTo(right, ay);
        path.lineTo(right + arrow + b, ay + ArrowBase / 2);
        path.lineTo(right, ay + ArrowBase);
    }
    path.lineTo(right, inner.bottom());
    addArcToPoint(path, QPointF(right, bottom), QPointF(inner.right(), bottom), r);
    if (direction == PopoverArrowDirectionDown) {
        path.lineTo(ax + ArrowBase, bottom);
        path.lineTo(ax + ArrowBase / 2, bottom + arrow);
        path.lineTo(ax, bottom);
    }
    path.lineTo(inner.left(), bottom);
    addArcToPoint(path, QPointF(left, bottom), QPointF(left, inner.bottom()), r);
    if (direction == PopoverArrowDirectionLeft) {
        path.lineTo(left, ay + ArrowBase);
        path.lineTo(left - arrow - b, ay + ArrowBase / 2);
        path.lineTo(left, ay);
    }
    path.lineTo(left, inner.top());
    addArcToPoint(path, QPointF(left, top), QPointF(inner.left(), top), r);
    path.closeSubpath();
    return path;
}

QColor PopoverView::bodyColor() const
{
    switch (m_tint) {
    case 0:
        return Qt::white;
    case 1:
        return grey(0.1);
    case 2:
        return grey(0.6);
    case 3:
        return QColor::fromRgbF(0.18f, 0.30f, 0.03f);
    case 4:
        return QColor::fromRgbF(0.36f, 0.0f, 0.09f);
    default:
        return toolbarColor();
    }
}

void PopoverView::drawRect(QPainter& painter, const QRectF& rect)
{
    const double w = rect.width();
    const double h = rect.height();
    const QPainterPath outline = newContentPathWithBorderWidth(2, m_arrowDirection);
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    const bool tall = m_arrowDirection == PopoverArrowDirectionUp
        || m_arrowDirection == PopoverArrowDirectionNone;
    double strip = tall ? 40 : 20;
    // A title sits wholly on the strip: the strip reaches down to the content.
    if (!m_title.isEmpty() && m_contentView)
        strip = std::max(strip, m_contentView->frame().top());
    painter.fillRect(QRectF(0, 0, w, strip), toolbarColor());
    if (m_border) {
        painter.fillRect(QRectF(0, strip, w, h - strip), bodyColor());
        QPen pen(grey(0.7), 1);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(outline, pen);
        pen.setColor(grey(0.4));
        painter.strokePath(newContentPathWithBorderWidth(1, m_arrowDirection), pen);
    }
    if (m_draw3dBorder && m_contentView) {
        const QRectF frame = m_contentView->frame();
        painter.setPen(QPen(grey(0.7), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
        painter.setPen(QPen(grey(0.4), 1));
        painter.drawRect(frame.adjusted(-1, -1, 1, 1));
    }
    painter.restore();
}
