#include "platform/ui/View.h"

#include "platform/ui/Animation.h"
#include "platform/ui/GestureArena.h"
#include "platform/ui/Guard.h"
#include "platform/ui/PatternFills.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QHash>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QResizeEvent>

#include <cmath>
#include <optional>
#include <tuple>

namespace platform::ui {

namespace {

// The blurred shadows made last: a popover shows the same one each time it opens, and
// the few shadowed views on screen at once each keep theirs.
struct PathShadow {
    QImage image;
    QRectF box;
    QPainterPath path;
    QColor color;
    double radius = 0;
    double ratio = 0;
};

// Draws the blurred shape of a path in the layer's shadow colour, offset and opacity, in
// the painter's coordinates; made again only when path, colour, radius or pixel ratio
// change.
void drawPathShadow(QPainter* painter, const Layer& layer, const QPainterPath& path)
{
    constexpr int Kept = 4;
    thread_local PathShadow kept[Kept];
    thread_local int next = 0;
    const double radius = std::max(1.0, layer.shadowRadius());
    const double dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const double pad = radius * 2;
    PathShadow* made = nullptr;
    for (PathShadow& candidate : kept)
        if (!candidate.image.isNull() && candidate.path == path
            && candidate.color == layer.shadowColor() && candidate.radius == radius
            && candidate.ratio == dpr)
            made = &candidate;
    if (!made) {
        made = &kept[next];
        next = (next + 1) % Kept;
        const QRectF box = path.boundingRect().adjusted(-pad, -pad, pad, pad);
        QImage shape(QSize(std::max(1, int(std::ceil(box.width() * dpr))),
                         std::max(1, int(std::ceil(box.height() * dpr)))),
            QImage::Format_ARGB32_Premultiplied);
        shape.fill(Qt::transparent);
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(dpr, dpr);
        p.translate(-box.topLeft());
        p.fillPath(path, layer.shadowColor());
        p.end();
        const double factor = 1.0 / (radius * dpr);
        const QImage small = shape.scaled(std::max(1, int(shape.width() * factor)),
            std::max(1, int(shape.height() * factor)), Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
        made->image = small.scaled(shape.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        made->box = box;
        made->path = path;
        made->color = layer.shadowColor();
        made->radius = radius;
        made->ratio = dpr;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->setOpacity(painter->opacity() * layer.presentedShadowOpacity());
    painter->drawImage(made->box.translated(layer.shadowOffset()), made->image);
    painter->restore();
}

// Draws a view with its alpha and scale, and its shadow while either is in play. One
// effect does all three because a widget can carry only one, and the shadow needs to reach
// outside the view's bounds. A shadow at rest is drawn by the superview instead: on a real
// screen Qt does not bring an effect's source up to date when subviews appear or change
// inside it, and a panel shown with a lasting effect stayed blank until scrolled.
class ViewEffect : public QGraphicsEffect {
public:
    explicit ViewEffect(View* view)
        : m_view(view)
    {
    }

    double alpha = 1.0;
    double scale = 1.0;

    QRectF boundingRectFor(const QRectF& rect) const override
    {
        QRectF r = rect;
        if (scale > 1.0) {
            const QPointF c = rect.center();
            r = QRectF(c.x() - rect.width() * scale / 2, c.y() - rect.height() * scale / 2,
                rect.width() * scale, rect.height() * scale);
        }
        if (Layer* layer = m_view->layer(); layer && layer->presentedShadowOpacity() > 0) {
            const double spread = layer->shadowRadius() * 2 + 1;
            QRectF shadow
                = r.translated(layer->shadowOffset()).adjusted(-spread, -spread, spread, spread);
            r = r.united(shadow);
        }
        return r;
    }

protected:
    void draw(QPainter* painter) override
    {
        // Fully faded out (an overlay waiting to fade in) shows nothing, shadow included:
        // rendering it would make a pixmap of its whole visible area for no pixel.
        if (alpha <= 0)
            return;
        Layer* layer = m_view->layer();
        const bool shadow = layer && layer->presentedShadowOpacity() > 0;
        const bool scaled = std::abs(scale - 1.0) > 1e-6;
        // Drawn as it is, under a shadow of a known shape that is blurred once. The source
        // still goes through a pixmap: drawn straight onto the painter's device, subviews
        // would open a second painter on it and be left out.
        if (alpha >= 1.0 && !scaled && (!shadow || !layer->shadowPath().isEmpty())) {
            if (shadow)
                drawPathShadow(painter, *layer, layer->shadowPath());
            QRect area;
            const QPixmap source = visiblePixmap(painter, &area);
            if (!source.isNull())
                painter->drawPixmap(QPointF(area.topLeft()), source);
            return;
        }
        QRect area;
        const QPixmap source = visiblePixmap(painter, &area);
        if (source.isNull())
            return;
        QRectF target(area);
        if (scaled)
            target = QRectF(scaledPoint(target.topLeft()), scaledPoint(target.bottomRight()))
                         .normalized();
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (shadow)
            drawShadow(painter, source, target, *layer);
        painter->setOpacity(painter->opacity() * alpha);
        painter->drawPixmap(target, source, source.rect());
        painter->restore();
    }

private:
    // The view's centre stays where it is when scaled.
    QPointF scaledPoint(const QPointF& point) const
    {
        const QPointF centre = QRectF(m_view->rect()).center();
        return centre + (point - centre) * scale;
    }

    // The part of the view that can show, in its own coordinates: what every superview up
    // to the window leaves of it, taken back through the scale. Only that part is rendered:
    // a view may be far taller than any screen, and one pixmap of all of it would not fit
    // in memory.
    QRect visibleArea() const
    {
        QRectF shown(-View::MaximumCoordinate, -View::MaximumCoordinate,
            2 * View::MaximumCoordinate, 2 * View::MaximumCoordinate);
        QPoint origin;
        for (QWidget* child = m_view; !child->isWindow() && child->parentWidget();
             child = child->parentWidget()) {
            origin += child->pos();
            shown &= QRectF(child->parentWidget()->rect().translated(-origin));
        }
        if (std::abs(scale - 1.0) > 1e-6) {
            if (std::abs(scale) < 1e-6)
                return {};
            const QPointF centre = QRectF(m_view->rect()).center();
            shown = QRectF(centre + (shown.topLeft() - centre) / scale,
                centre + (shown.bottomRight() - centre) / scale)
                        .normalized();
        }
        return shown.toAlignedRect() & m_view->rect();
    }

    // The visible part of the view and its subviews, drawn as the source pixmap would be.
    // Called while the effect draws, so the view renders itself without its effect.
    QPixmap visiblePixmap(QPainter* painter, QRect* area) const
    {
        *area = visibleArea();
        if (area->isEmpty())
            return {};
        const double dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap pixmap(area->size() * dpr);
        if (pixmap.isNull())
            return {};
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::transparent);
        m_view->render(&pixmap, QPoint(), QRegion(*area), QWidget::DrawChildren);
        return pixmap;
    }

    static void drawShadow(
        QPainter* painter, const QPixmap& source, const QRectF& target, const Layer& layer)
    {
        // Shape of the view in the shadow colour, blurred by scaling down and up.
        QImage shape = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter tint(&shape);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shape.rect(), layer.shadowColor());
        tint.end();
        const double radius = std::max(1.0, layer.shadowRadius());
        const double pad = radius * 2;
        QImage padded(QSize(int(shape.width() + pad * 2), int(shape.height() + pad * 2)),
            QImage::Format_ARGB32_Premultiplied);
        padded.fill(Qt::transparent);
        QPainter p(&padded);
        p.drawImage(QPointF(pad, pad), shape);
        p.end();
        const double factor = 1.0 / radius;
        QImage small = padded.scaled(std::max(1, int(padded.width() * factor)),
            std::max(1, int(padded.height() * factor)), Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
        QImage blurred
            = small.scaled(padded.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double dpr = source.devicePixelRatio();
        const QRectF area = target.adjusted(-pad / dpr, -pad / dpr, pad / dpr, pad / dpr)
                                .translated(layer.shadowOffset());
        painter->save();
        painter->setOpacity(painter->opacity() * layer.presentedShadowOpacity());
        painter->drawImage(area, blurred);
        painter->restore();
    }

    View* m_view;
};

// A rectangle whose masked corners are rounded and the others square.
QPainterPath roundedShape(const QRectF& r, double radius, unsigned corners)
{
    const double d = radius * 2;
    QPainterPath path;
    if (corners & Layer::MinXMinYCorner) {
        path.moveTo(r.left(), r.top() + radius);
        path.arcTo(QRectF(r.left(), r.top(), d, d), 180, -90);
    } else {
        path.moveTo(r.topLeft());
    }
    if (corners & Layer::MaxXMinYCorner)
        path.arcTo(QRectF(r.right() - d, r.top(), d, d), 90, -90);
    else
        path.lineTo(r.topRight());
    if (corners & Layer::MaxXMaxYCorner)
        path.arcTo(QRectF(r.right() - d, r.bottom() - d, d, d), 0, -90);
    else
        path.lineTo(r.bottomRight());
    if (corners & Layer::MinXMaxYCorner)
        path.arcTo(QRectF(r.left(), r.bottom() - d, d, d), 270, -90);
    else
        path.lineTo(r.bottomLeft());
    path.closeSubpath();
    return path;
}

bool isOpaqueImage(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// Views whose shadow their superview draws beneath them, with the area it last drew, in
// the superview's coordinates.
QHash<const View*, QRect>& shadowsAtRest()
{
    static QHash<const View*, QRect> areas;
    return areas;
}

QRect shadowArea(View* view)
{
    if (view->isHidden() || view->QWidget::isHidden())
        return QRect();
    const Layer* layer = view->layer();
    const QPainterPath path = layer->shadowPath();
    const QRectF shape = path.isEmpty() ? QRectF(QPointF(0, 0), view->size()) : path.boundingRect();
    const double spread = std::max(1.0, layer->shadowRadius()) * 2 + 2;
    return shape.translated(QPointF(view->pos()) + layer->shadowOffset())
        .adjusted(-spread, -spread, spread, spread)
        .toAlignedRect();
}

// Asks the superview to draw the view's shadow area again: where it was and where it is.
void refreshShadowArea(View* view)
{
    auto& areas = shadowsAtRest();
    const auto it = areas.find(view);
    if (it == areas.end())
        return;
    const QRect area = shadowArea(view);
    if (QWidget* superview = view->parentWidget())
        superview->update(area.united(*it));
    *it = area;
}

void setShadowAtRest(View* view, bool atRest)
{
    auto& areas = shadowsAtRest();
    if (atRest) {
        areas.insert(view, areas.value(view));
        refreshShadowArea(view);
        return;
    }
    const auto it = areas.find(view);
    if (it == areas.end())
        return;
    if (QWidget* superview = view->parentWidget(); superview && !it->isEmpty())
        superview->update(*it);
    areas.erase(it);
}

// Draws the shadows of the subviews that have one at rest, beneath them.
void paintShadowsAtRest(View* superview, QPainter& painter)
{
    const auto& areas = shadowsAtRest();
    if (areas.isEmpty())
        return;
    for (QObject* child : superview->children()) {
        auto* view = qobject_cast<View*>(child);
        const QRect area = view ? areas.value(view) : QRect();
        if (area.isEmpty() || view->QWidget::isHidden()
            || (painter.hasClipping() && !painter.clipBoundingRect().intersects(area)))
            continue;
        const Layer* layer = view->layer();
        QPainterPath path = layer->shadowPath();
        if (path.isEmpty()) {
            const QRectF b = view->bounds();
            const double radius
                = std::min(layer->cornerRadius(), std::min(b.width(), b.height()) / 2);
            if (radius > 0)
                path = roundedShape(b, radius, layer->maskedCorners());
            else
                path.addRect(b);
        }
        painter.save();
        painter.translate(view->pos());
        drawPathShadow(&painter, *layer, path);
        painter.restore();
    }
}

QRectF alignedFrame(const QRectF& frame)
{
    return QRectF(std::round(frame.x()), std::round(frame.y()), std::round(frame.width()),
        std::round(frame.height()));
}

} // namespace

View::View(QWidget* parent)
    : QWidget(parent)
{
    m_frame = QRectF(geometry());
    if (parent)
        setVisible(true);
}

View::View(const QRectF& frame, QWidget* parent)
    : View(parent)
{
    setFrame(frame);
}

View::~View()
{
    setShadowAtRest(this, false);
    // The effect asks this view for its layer; it must go while the view is whole.
    if (graphicsEffect())
        setGraphicsEffect(nullptr);
    if (m_layer)
        m_layer->m_view = nullptr;
    if (!m_fill.isNull()) {
        m_fill = QPixmap();
        PatternFills::forgetUnused();
    }
}

QRectF View::frame() const
{
    return m_frame;
}

void View::setFrame(const QRectF& frame)
{
    QRectF target = frame.normalized();
    if (!std::isfinite(target.x()) || !std::isfinite(target.y()) || !std::isfinite(target.width())
        || !std::isfinite(target.height()))
        return;
    // Rounded to whole pixels as ints, larger values would overflow.
    target = QRectF(std::clamp(target.x(), -MaximumCoordinate, MaximumCoordinate),
        std::clamp(target.y(), -MaximumCoordinate, MaximumCoordinate),
        std::min(target.width(), double(QWIDGETSIZE_MAX)),
        std::min(target.height(), double(QWIDGETSIZE_MAX)));
    const QRectF from = QRectF(geometry());
    m_frame = target;
    updateOpaque();
    if (Animation::record(
            this, "frame", from, target, [this](const QVariant& v) { applyGeometry(v.toRectF()); },
            [this] { return QVariant(QRectF(geometry())); }))
        return;
    applyGeometry(target);
}

void View::applyGeometry(const QRectF& frame)
{
    const QRect rect = alignedFrame(frame).toRect();
    if (rect == geometry())
        return;
    const QSizeF oldSize = QSizeF(geometry().size());
    if (m_drawnBySuperview && parentWidget())
        parentWidget()->update(geometry().united(rect));
    m_applyingGeometry = true;
    setGeometry(rect);
    m_applyingGeometry = false;
    refreshShadowArea(this);
    // Qt holds back resize events of widgets not shown yet; subviews follow at once.
    if (QSizeF(rect.size()) != oldSize)
        sizeChanged(oldSize, QSizeF(rect.size()));
    emit frameChanged();
}

void View::sizeChanged(const QSizeF& oldSize, const QSizeF& newSize)
{
    m_laidOutSize = newSize;
    updateOpaque();
    if (m_autoresizesSubviews && oldSize.width() > 0 && oldSize.height() > 0)
        resizeSubviews(oldSize, newSize);
    if (m_layer)
        m_layer->layoutSublayers();
    layoutIfNeeded();
}

void View::setBounds(const QRectF& bounds)
{
    const QPointF c = center();
    setFrame(QRectF(
        c.x() - bounds.width() / 2, c.y() - bounds.height() / 2, bounds.width(), bounds.height()));
}

void View::setCenter(const QPointF& center)
{
    QRectF f = m_frame;
    f.moveCenter(center);
    setFrame(f);
}

namespace {

// The widget whose origin is the origin of a view's coordinates.
const QWidget* coordinateWidget(const QWidget* widget)
{
    if (auto* view = qobject_cast<const View*>(widget))
        return view->subviewContainer();
    return widget;
}

} // namespace

QPointF View::convertPointToView(const QPointF& point, const QWidget* view) const
{
    const QWidget* self = coordinateWidget(this);
    const QWidget* target = coordinateWidget(view ? view : window());
    return QPointF(
               self->mapTo(window(), QPoint(0, 0)) - target->mapTo(target->window(), QPoint(0, 0)))
        + point;
}

QPointF View::convertPointFromView(const QPointF& point, const QWidget* view) const
{
    const QWidget* self = coordinateWidget(this);
    const QWidget* source = coordinateWidget(view ? view : window());
    return QPointF(
               source->mapTo(source->window(), QPoint(0, 0)) - self->mapTo(window(), QPoint(0, 0)))
        + point;
}

QRectF View::convertRectToView(const QRectF& rect, const QWidget* view) const
{
    return QRectF(convertPointToView(rect.topLeft(), view), rect.size());
}

QRectF View::convertRectFromView(const QRectF& rect, const QWidget* view) const
{
    return QRectF(convertPointFromView(rect.topLeft(), view), rect.size());
}

View* View::superview() const
{
    auto* parent = qobject_cast<View*>(parentWidget());
    if (parent) {
        auto* outer = qobject_cast<View*>(parent->parentWidget());
        if (outer && outer->subviewContainer() == parent)
            return outer;
    }
    return parent;
}

QList<View*> View::subviews() const
{
    QList<View*> result;
    for (QObject* child : subviewContainer()->children())
        if (auto* view = qobject_cast<View*>(child))
            result.append(view);
    return result;
}

void View::showAsSubview(QWidget* view)
{
    if (auto* asView = qobject_cast<View*>(view))
        asView->applyVisibility();
    else
        view->setVisible(!view->isHidden());
}

void View::addSubview(QWidget* view)
{
    View* host = subviewContainer();
    if (!view || view == this || view == host)
        return;
    auto* asView = qobject_cast<View*>(view);
    const bool wasHidden = asView ? asView->m_hidden : view->isHidden();
    if (view->parentWidget() != host)
        view->setParent(host);
    view->raise();
    if (asView) {
        asView->applyVisibility();
        if (asView->m_drawnBySuperview)
            asView->setNeedsDisplay();
    } else {
        view->setVisible(!wasHidden);
    }
}

void View::insertSubview(QWidget* view, int index)
{
    addSubview(view);
    QList<QWidget*> order;
    for (QObject* child : subviewContainer()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && w != view)
            order.append(w);
    index = std::clamp(index, 0, int(order.size()));
    if (index < order.size())
        view->stackUnder(order.at(index));
}

void View::insertSubviewBelow(QWidget* view, QWidget* sibling)
{
    addSubview(view);
    if (sibling && sibling->parentWidget() == subviewContainer())
        view->stackUnder(sibling);
}

void View::insertSubviewAbove(QWidget* view, QWidget* sibling)
{
    addSubview(view);
    if (sibling && sibling->parentWidget() == subviewContainer()) {
        // Qt has no "stack over"; put the view on top, then lower everything that was
        // above the sibling beneath... simply raise the view and lower the later ones.
        bool after = false;
        QList<QWidget*> later;
        for (QObject* child : subviewContainer()->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w == view)
                continue;
            if (after)
                later.append(w);
            if (w == sibling)
                after = true;
        }
        view->raise();
        for (QWidget* w : later)
            w->raise();
    }
}

void View::removeFromSuperview()
{
    if (!parentWidget())
        return;
    // The caller takes the view back; with no one holding it the view would leak, so
    // callers that drop a view delete it (deleteLater) as the Qt parent would have.
    setParent(nullptr);
}

void View::bringSubviewToFront(QWidget* view)
{
    if (view && view->parentWidget() == subviewContainer())
        view->raise();
}

void View::sendSubviewToBack(QWidget* view)
{
    if (view && view->parentWidget() == subviewContainer())
        view->lower();
}

bool View::isDescendantOfView(const QWidget* view) const
{
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (w == view)
            return true;
    return false;
}

View* View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return this;
    for (View* child : subviews())
        if (View* found = child->viewWithTag(tag))
            return found;
    return nullptr;
}

void View::setHidden(bool hidden)
{
    const bool changed = m_hidden != hidden;
    m_hidden = hidden;
    applyVisibility();
    refreshShadowArea(this);
    if (changed && m_drawnBySuperview)
        setNeedsDisplay();
}

bool View::shownAsWidget() const
{
    // Only a view draws its parts: under any other widget a part paints itself.
    return !m_hidden
        && (!m_drawnBySuperview || m_userInteraction || !qobject_cast<View*>(parentWidget()));
}

void View::applyVisibility()
{
    // A view without a superview stays as it is until it is added or shown.
    if (parentWidget() || isWindow())
        QWidget::setVisible(shownAsWidget());
    updatePaintEvents();
}

bool View::paintsAsWidget() const
{
    if (!m_drawnBySuperview || !qobject_cast<const View*>(parentWidget()))
        return true;
    // A widget below that paints itself needs the widgets above it painted.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        auto* view = qobject_cast<View*>(widget);
        if (!view || view->paintsAsWidget())
            return true;
    }
    return false;
}

void View::updatePaintEvents()
{
    // A part kept as a widget only for its touches paints nothing: Qt then passes it by
    // when it paints the superview, rather than preparing a paint for it on every frame.
    const bool paints = paintsAsWidget();
    if (testAttribute(Qt::WA_ForceUpdatesDisabled) != paints)
        return;
    setUpdatesEnabled(paints);
    // A part above it may hold it among its parts.
    if (auto* superview = qobject_cast<View*>(parentWidget()))
        superview->updatePaintEvents();
}

void View::setDrawnBySuperview(bool drawn)
{
    if (m_drawnBySuperview == drawn)
        return;
    m_drawnBySuperview = drawn;
    updateEffect();
    updateOpaque();
    // Also whether it, and so the parts above it, still paint as widgets.
    if (parentWidget())
        applyVisibility();
    setNeedsDisplay();
    if (!drawn)
        update();
}

void View::setNeedsDisplay()
{
    if (!m_drawnBySuperview) {
        update();
        return;
    }
    // Up to the first view that paints as a widget, in its coordinates.
    QRectF area = m_frame;
    for (QWidget* host = parentWidget(); host; host = host->parentWidget()) {
        auto* view = qobject_cast<View*>(host);
        if (!view || !view->m_drawnBySuperview) {
            host->update(area.toAlignedRect().adjusted(-1, -1, 1, 1));
            return;
        }
        area.translate(view->m_frame.topLeft());
    }
}

void View::setAlpha(double alpha)
{
    alpha = std::clamp(alpha, 0.0, 1.0);
    const double from = m_presentedAlpha;
    m_alpha = alpha;
    if (Animation::record(
            this, "alpha", from, alpha, [this](const QVariant& v) { applyAlpha(v.toDouble()); },
            [this] { return QVariant(m_presentedAlpha); }))
        return;
    applyAlpha(alpha);
}

void View::applyAlpha(double alpha)
{
    m_presentedAlpha = alpha;
    updateEffect();
    updateOpaque();
    updateMouseTransparency();
    if (m_drawnBySuperview)
        setNeedsDisplay();
}

void View::setScale(double scale)
{
    if (!std::isfinite(scale))
        return;
    const double from = m_presentedScale;
    m_scale = scale;
    if (Animation::record(
            this, "scale", from, scale, [this](const QVariant& v) { applyScale(v.toDouble()); },
            [this] { return QVariant(m_presentedScale); }))
        return;
    applyScale(scale);
}

void View::applyScale(double scale)
{
    m_presentedScale = scale;
    updateEffect();
    updateOpaque();
    if (m_drawnBySuperview)
        setNeedsDisplay();
}

void View::setUserInteractionEnabled(bool enabled)
{
    m_userInteraction = enabled;
    updateMouseTransparency();
    if (m_drawnBySuperview && parentWidget())
        applyVisibility();
}

void View::setAnimationBlocksInteraction(bool block)
{
    m_animationBlocks = std::max(0, m_animationBlocks + (block ? 1 : -1));
    updateMouseTransparency();
}

void View::updateMouseTransparency()
{
    // A view nearly transparent takes no touches, as on the platform.
    const bool transparent = !m_userInteraction || m_animationBlocks > 0 || m_presentedAlpha < 0.01;
    setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

void View::setClipsToBounds(bool clips)
{
    m_clipsToBounds = clips;
    setNeedsDisplay();
}

void View::setBackgroundColor(const QColor& color)
{
    const QColor from
        = m_presentedBackground.isValid() ? m_presentedBackground : QColor(Qt::transparent);
    m_backgroundColor = color;
    const QColor to = color.isValid() ? color : QColor(Qt::transparent);
    if (from.isValid()
        && Animation::record(
            this, "backgroundColor", from, to,
            [this](const QVariant& v) { applyBackgroundColor(v.value<QColor>()); },
            [this] { return QVariant(m_presentedBackground); }))
        return;
    applyBackgroundColor(color);
}

void View::applyBackgroundColor(const QColor& color)
{
    m_presentedBackground = color;
    updateOpaque();
    setNeedsDisplay();
}

void View::setBackgroundPattern(const Image& image)
{
    m_pattern = image;
    m_fill = QPixmap();
    m_fillKey.clear();
    PatternFills::forgetUnused();
    m_patternOpaque = !image.isNull() && isOpaqueImage(image.image());
    updateOpaque();
    setNeedsDisplay();
}

QColor View::tintColor() const
{
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (auto* view = qobject_cast<const View*>(w); view && view->m_tint.isValid())
            return view->m_tint;
    return QColor(0, 122, 255);
}

void View::setTintColor(const QColor& color)
{
    m_tint = color;
    setNeedsDisplay();
    for (View* child : findChildren<View*>())
        child->setNeedsDisplay();
}

Layer* View::layer() const
{
    if (!m_layer) {
        m_layer = makeLayer();
        if (!m_layer)
            m_layer = std::make_unique<Layer>();
        m_layer->m_view = const_cast<View*>(this);
    }
    return m_layer.get();
}

void View::setLayer(std::unique_ptr<Layer> layer)
{
    if (!layer)
        return;
    if (m_layer)
        m_layer->m_view = nullptr;
    m_layer = std::move(layer);
    m_layer->m_view = this;
    layerChanged();
}

std::unique_ptr<Layer> View::makeLayer() const
{
    return std::make_unique<Layer>();
}

void View::layerChanged()
{
    updateEffect();
    updateOpaque();
    setNeedsDisplay();
    layerDidChange();
}

void View::updateEffect()
{
    const bool shadow = m_layer && m_layer->presentedShadowOpacity() > 0;
    // A view drawn by its superview is drawn with its alpha there; a shadow at rest is drawn
    // by the superview, when that is a view.
    const bool inPlay = m_presentedAlpha < 1.0 || std::abs(m_presentedScale - 1.0) > 1e-6;
    const bool superviewDraws = qobject_cast<View*>(parentWidget()) != nullptr;
    const bool needed = !m_drawnBySuperview && (inPlay || (shadow && !superviewDraws));
    setShadowAtRest(this, shadow && !m_drawnBySuperview && !inPlay && superviewDraws);
    auto* effect = dynamic_cast<ViewEffect*>(graphicsEffect());
    if (!needed) {
        if (effect)
            setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new ViewEffect(this);
        setGraphicsEffect(effect);
    }
    effect->alpha = m_presentedAlpha;
    effect->scale = m_presentedScale;
    effect->update();
}

void View::addGestureRecognizer(GestureRecognizer* recognizer)
{
    if (recognizer && recognizer->parent() != this)
        recognizer->setParent(this);
}

void View::removeGestureRecognizer(GestureRecognizer* recognizer)
{
    if (!recognizer || recognizer->parent() != this)
        return;
    // A gesture under way ends with its view.
    GestureArena::shared().withdraw(recognizer, true);
    recognizer->setParent(nullptr);
}

QList<GestureRecognizer*> View::gestureRecognizers() const
{
    return findChildren<GestureRecognizer*>(Qt::FindDirectChildrenOnly);
}

bool View::pointInside(const QPointF& point) const
{
    return bounds().contains(point);
}

View* View::hitTest(const QPointF& point)
{
    if (m_hidden || !m_userInteraction || m_alpha < 0.01 || !pointInside(point))
        return nullptr;
    const auto children = subviews();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        View* child = *it;
        if (View* hit = child->hitTest(point - child->frame().topLeft()))
            return hit;
    }
    return this;
}

void View::setNeedsLayout()
{
    if (m_layoutPending)
        return;
    m_layoutPending = true;
    // A layout done meanwhile (a resize lays out at once) leaves nothing to do here.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_layoutPending)
                layoutIfNeeded();
        },
        Qt::QueuedConnection);
}

void View::layoutIfNeeded()
{
    m_layoutPending = false;
    guarded([this] {
        layoutSubviews();
        if (onLayoutSubviews)
            onLayoutSubviews();
    });
}

void View::layoutSubviews()
{
}

QSizeF View::sizeThatFits(const QSizeF&) const
{
    return frame().size();
}

void View::sizeToFit()
{
    const QSizeF size = sizeThatFits(frame().size());
    setFrame(QRectF(frame().topLeft(), size));
}

QImage View::snapshot()
{
    layoutIfNeeded();
    return grab().toImage();
}

void View::drawRect(QPainter&, const QRectF&)
{
}

QPainterPath View::shapePath(const QRectF& b, double radius) const
{
    QPainterPath shape;
    if (radius > 0 && layer()->maskedCorners() == Layer::AllCorners)
        shape.addRoundedRect(b, radius, radius);
    else if (radius > 0)
        shape = roundedShape(b, radius, layer()->maskedCorners());
    else
        shape.addRect(b);
    return shape;
}

void View::updateOpaque()
{
    // Qt then paints neither what lies under this view nor the parts of its parent it
    // covers: the background fills every pixel of the widget.
    const QRectF b = bounds();
    const bool filled = m_pattern.isNull()
        ? m_presentedBackground.isValid() && m_presentedBackground.alpha() == 255
        : m_patternOpaque;
    // A view drawn by its superview paints nothing itself: what is under it must be.
    const bool opaque = filled && !m_drawnBySuperview && m_presentedAlpha >= 1.0
        && std::abs(m_presentedScale - 1.0) <= 1e-6 && (!m_layer || m_layer->cornerRadius() <= 0)
        && b.width() >= width() && b.height() >= height();
    if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque)
        setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

namespace {

// A kept fill drawn only where the paint shows: Qt leaves what opaque subviews cover out
// of the region it paints, and a grid's background lies mostly under its tiles. With a
// clip of many pieces, or a scale that would not meet whole pixels, the fill is drawn
// whole (and clipped).
constexpr int MaxExposedRects = 256;

void drawExposed(QPainter& painter, const QPixmap& fill, const QSize& pixels)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QRegion exposed = engine ? engine->systemClip() : QRegion();
    const QTransform toDevice = painter.deviceTransform();
    const double ratio = fill.devicePixelRatio();
    const bool aligned = toDevice.type() <= QTransform::TxTranslate
        || (toDevice.type() == QTransform::TxScale && toDevice.m11() == toDevice.m22()
            && toDevice.m11() == ratio && ratio == std::round(ratio));
    // A shared fill may be larger than the view: only the view's part of it is drawn.
    const QRectF area(QPointF(0, 0), QSizeF(pixels) / ratio);
    if (exposed.isEmpty() || exposed.rectCount() > MaxExposedRects || !aligned
        || painter.hasClipping()) {
        if (fill.size() == pixels)
            painter.drawPixmap(QPointF(0, 0), fill);
        else
            painter.drawPixmap(area, fill, QRectF(QPointF(0, 0), QSizeF(pixels)));
        return;
    }
    const QTransform toLogical = toDevice.inverted();
    for (const QRect& piece : exposed) {
        const QRectF target = toLogical.mapRect(QRectF(piece)).intersected(area);
        if (!target.isEmpty())
            painter.drawPixmap(
                target, fill, QRectF(target.topLeft() * ratio, target.size() * ratio));
    }
}

// A pattern's tile drawn side by side from the view's origin over what the paint shows.
// Under a transform that does not move by whole pixels the pattern itself is drawn.
void drawTiled(QPainter& painter, const QPixmap& tile, const QBrush& pattern, const QSize& pixels)
{
    const QRect area(QPoint(0, 0), pixels);
    const QTransform toDevice = painter.deviceTransform();
    if (toDevice.type() > QTransform::TxTranslate || toDevice.dx() != std::round(toDevice.dx())
        || toDevice.dy() != std::round(toDevice.dy())) {
        painter.fillRect(area, pattern);
        return;
    }
    const QPoint offset(int(toDevice.dx()), int(toDevice.dy()));
    const QPaintEngine* engine = painter.paintEngine();
    const QRegion exposed = engine ? engine->systemClip() : QRegion();
    QRegion pieces(area);
    if (!exposed.isEmpty() && exposed.rectCount() <= MaxExposedRects && !painter.hasClipping())
        pieces &= exposed.translated(-offset);
    for (const QRect& piece : pieces)
        painter.drawTiledPixmap(
            piece, tile, QPoint(piece.x() % tile.width(), piece.y() % tile.height()));
}

} // namespace

// Larger fills are drawn directly each time rather than kept.
constexpr qint64 MaxCachedFillPixels = PatternFills::MostPixels;

void View::paintBackground(QPainter& painter, const QRectF& b, double radius)
{
    const bool colour = m_presentedBackground.isValid() && m_presentedBackground.alpha() > 0;
    if (m_pattern.isNull() && !colour)
        return;
    // A plain rectangle of colour is the raster's fastest fill.
    if (m_pattern.isNull() && radius <= 0) {
        painter.fillRect(b, m_presentedBackground);
        return;
    }
    const double ratio = devicePixelRatioF();
    const QSize pixels(int(std::ceil(b.width() * ratio)), int(std::ceil(b.height() * ratio)));
    const bool large = qint64(pixels.width()) * pixels.height() > MaxCachedFillPixels;
    // A square pattern over whole pixels is drawn from the pattern's shared tile, or else
    // is a part of its shared fill.
    if (!m_pattern.isNull() && radius <= 0 && QSizeF(pixels) == b.size() * ratio) {
        // Taking a shared pixmap lets go of the one held before, perhaps its last use.
        const auto hold = [this](const QPixmap& shared) {
            if (m_fill.cacheKey() == shared.cacheKey())
                return;
            m_fill = shared;
            m_fillKey.clear();
            PatternFills::forgetUnused();
        };
        if (const QPixmap tile = ratio == 1 ? PatternFills::tile(m_pattern, ratio) : QPixmap();
            !tile.isNull()) {
            hold(tile);
            drawTiled(painter, m_fill, m_pattern.patternBrush(), pixels);
            return;
        }
        if (const QPixmap fill = large ? QPixmap() : PatternFills::fill(m_pattern, pixels, ratio);
            !fill.isNull()) {
            hold(fill);
            drawExposed(painter, m_fill, pixels);
            return;
        }
    }
    // Patterns and rounded fills are drawn once into a pixmap, kept while the size, shape
    // and fill stay: scrolling repaints the same backgrounds again and again.
    const QString key
        = QStringLiteral("kivo-view-fill:%1:%2:%3:%4:%5:%6")
              .arg(b.width())
              .arg(b.height())
              .arg(ratio)
              .arg(radius)
              .arg(layer()->maskedCorners())
              .arg(m_pattern.isNull() ? QString::number(m_presentedBackground.rgba64())
                                      : QStringLiteral("p%1/%2")
                                            .arg(m_pattern.image().cacheKey())
                                            .arg(m_pattern.scale()));
    const QBrush brush
        = m_pattern.isNull() ? QBrush(m_presentedBackground) : m_pattern.patternBrush();
    if (large) {
        painter.fillPath(shapePath(b, radius), brush);
        return;
    }
    // A rounded pattern, or one too large to share, is the view's own. Rounded colours are
    // shared by every view of the same size.
    const bool own = !m_pattern.isNull();
    QPixmap fill = own && m_fillKey == key ? m_fill : QPixmap();
    if (fill.isNull() && (own || !QPixmapCache::find(key, &fill))) {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.fillPath(shapePath(b, radius), brush);
        p.end();
        // An opaque fill becomes an opaque pixmap, which is copied rather than blended.
        fill = QPixmap::fromImage(std::move(image));
        if (own) {
            m_fill = fill;
            m_fillKey = key;
            PatternFills::forgetUnused();
        } else {
            QPixmapCache::insert(key, fill);
        }
    }
    drawExposed(painter, fill, pixels);
}

void View::paintEvent(QPaintEvent*)
{
    // Its superview has drawn it.
    if (m_drawnBySuperview && qobject_cast<View*>(parentWidget()))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintView(painter, false);
}

void View::paintDrawnSubviews(QPainter& painter)
{
    // The painter's state is put back by hand: saving and restoring it for every part
    // would cost more than drawing the parts.
    std::optional<std::tuple<QPen, QBrush, QFont>> kept;
    for (QObject* child : children()) {
        auto* view = qobject_cast<View*>(child);
        if (!view || !view->m_drawnBySuperview || view->m_hidden || view->m_presentedAlpha <= 0)
            continue;
        // Where Qt would put the widget. Unlike a widget, a part is not clipped to it (but
        // to its bounds when it clips them): labels and fitted images keep inside.
        const QRect at = view->geometry();
        if (at.isEmpty()
            || (painter.hasClipping() && !painter.clipBoundingRect().intersects(QRectF(at))))
            continue;
        if (!kept)
            kept.emplace(painter.pen(), painter.brush(), painter.font());
        const double opacity = painter.opacity();
        painter.translate(at.topLeft());
        if (view->m_presentedAlpha < 1.0)
            painter.setOpacity(opacity * view->m_presentedAlpha);
        view->paintView(painter, true);
        painter.translate(-at.topLeft());
        painter.setOpacity(opacity);
        painter.setPen(std::get<0>(*kept));
        painter.setBrush(std::get<1>(*kept));
        // Setting a font resolves it for the device again: only when a part changed it.
        if (painter.font() != std::get<2>(*kept))
            painter.setFont(std::get<2>(*kept));
    }
}

void View::paintView(QPainter& painter, bool drawnHere)
{
    const QRectF b = bounds();
    Layer* l = layer();
    const double radius = std::min(l->cornerRadius(), std::min(b.width(), b.height()) / 2);

    // A pattern is the background colour itself.
    paintBackground(painter, b, radius);

    // A part drawn in its superview's paint sets what it draws with itself.
    const bool clips = m_clipsToBounds || l->masksToBounds();
    if (clips || !drawnHere)
        painter.save();
    if (clips) {
        if (radius > 0)
            painter.setClipPath(shapePath(b, radius));
        else
            painter.setClipRect(b);
    }
    guarded([&] { drawRect(painter, b); });
    if (clips || !drawnHere)
        painter.restore();

    if (l->borderWidth() > 0) {
        const double w = l->borderWidth();
        QPen pen(l->borderColor(), w);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRectF inner = b.adjusted(w / 2, w / 2, -w / 2, -w / 2);
        if (radius > 0 && l->maskedCorners() != Layer::AllCorners)
            painter.drawPath(
                roundedShape(inner, std::max(0.0, radius - w / 2), l->maskedCorners()));
        else if (radius > 0)
            painter.drawRoundedRect(
                inner, std::max(0.0, radius - w / 2), std::max(0.0, radius - w / 2));
        else
            painter.drawRect(inner);
    }
    guarded([&] { l->drawOver(painter, b); });
    paintDrawnSubviews(painter);
    if (!drawnHere)
        paintShadowsAtRest(this, painter);
}

void View::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateOpaque();
    const QSizeF oldSize = event->oldSize().isValid() ? QSizeF(event->oldSize()) : QSizeF(0, 0);
    const QSizeF newSize = QSizeF(event->size());
    if (m_applyingGeometry || newSize == m_laidOutSize)
        return;
    // Resized by Qt itself (a layout, the window manager).
    if (!Animation::isAnimating(this, "frame"))
        m_frame = QRectF(QPointF(pos()), newSize);
    // A copy: sizeChanged replaces the size laid out last, which must not change under it.
    const QSizeF laidOut = m_laidOutSize.isValid() ? m_laidOutSize : oldSize;
    sizeChanged(laidOut, newSize);
    emit frameChanged();
}

void View::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Qt holds back the move of a hidden widget until it shows: a move to where the frame
    // already lies is that one, and must not round the frame to whole pixels.
    if (!m_applyingGeometry && !Animation::isAnimating(this, "frame")
        && pos() != alignedFrame(m_frame).toRect().topLeft())
        m_frame.moveTopLeft(QPointF(pos()));
    emit frameChanged();
}

void View::touchesBegan(const QPointF&, QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

void View::touchesMoved(const QPointF&, QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
}

void View::touchesEnded(const QPointF&, QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
}

void View::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        touchesBegan(event->position(), event);
    else
        QWidget::mousePressEvent(event);
}

void View::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        touchesMoved(event->position(), event);
    else
        QWidget::mouseMoveEvent(event);
}

void View::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        touchesEnded(event->position(), event);
    else
        QWidget::mouseReleaseEvent(event);
}

bool View::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ParentAboutToChange:
        // The shadow leaves the old superview's paint.
        setShadowAtRest(this, false);
        break;
    case QEvent::ParentChange:
        if (parentWidget() && !isWindow()) {
            m_frame = QRectF(geometry());
            updateOpaque();
        }
        updateEffect();
        updatePaintEvents();
        break;
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        if (static_cast<QChildEvent*>(event)->child()->isWidgetType())
            updatePaintEvents();
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (!event->spontaneous())
            refreshShadowArea(this);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void View::resizeSubviews(const QSizeF& oldSize, const QSizeF& newSize)
{
    const double dw = newSize.width() - oldSize.width();
    const double dh = newSize.height() - oldSize.height();
    if (dw == 0 && dh == 0)
        return;
    for (View* child : subviews()) {
        const unsigned mask = child->m_autoresizingMask;
        if (mask == AutoresizingNone)
            continue;
        QRectF f = child->m_frame;
        // The change of one axis is shared among its flexible parts in proportion to
        // their sizes, as the platform does.
        auto distribute = [](double delta, double lead, double size, double trail, bool fl, bool fs,
                              bool ft, double& newLead, double& newSize) {
            double total = (fl ? lead : 0) + (fs ? size : 0) + (ft ? trail : 0);
            const int count = int(fl) + int(fs) + int(ft);
            newLead = lead;
            newSize = size;
            if (count == 0)
                return;
            if (total <= 0) {
                // Nothing to weigh by: equal shares.
                if (fl)
                    newLead += delta / count;
                if (fs)
                    newSize += delta / count;
                return;
            }
            if (fl)
                newLead += delta * lead / total;
            if (fs)
                newSize += delta * size / total;
        };
        double x, w, y, h;
        distribute(dw, f.x(), f.width(), oldSize.width() - f.right(),
            mask & AutoresizingFlexibleLeftMargin, mask & AutoresizingFlexibleWidth,
            mask & AutoresizingFlexibleRightMargin, x, w);
        distribute(dh, f.y(), f.height(), oldSize.height() - f.bottom(),
            mask & AutoresizingFlexibleTopMargin, mask & AutoresizingFlexibleHeight,
            mask & AutoresizingFlexibleBottomMargin, y, h);
        child->setFrame(QRectF(x, y, std::max(0.0, w), std::max(0.0, h)));
    }
}

} // namespace platform::ui
