#include "platform/ui/PdfPagesView.h"

#include <poppler-qt6.h>

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <QTouchEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace platform::ui {

namespace {

// A colour channel darker than this is something drawn on the page, not its paper.
constexpr int kInkLevel = 200;

} // namespace

PdfPagesView::PdfPagesView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    // Wider than the view only when zoomed in.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    for (QScrollBar* bar : { verticalScrollBar(), horizontalScrollBar() })
        connect(bar, &QScrollBar::valueChanged, viewport(), QOverload<>::of(&QWidget::update));
    m_sharpen = new QTimer(this);
    m_sharpen->setSingleShot(true);
    m_sharpen->setInterval(SharpenDelay);
    connect(m_sharpen, &QTimer::timeout, this, [this] {
        if (m_pinching) {
            m_sharpen->start();
            return;
        }
        m_zooming = false;
        viewport()->update();
    });
}

PdfPagesView::~PdfPagesView() = default;

bool PdfPagesView::load(const QString& path)
{
    m_document.reset();
    m_pageSizes.clear();
    m_cache.clear();
    m_rendered.clear();
    m_renderCount = 0;
    m_zoom = 1;
    m_zooming = false;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked() || document->numPages() <= 0) {
        relayout();
        return false;
    }
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const int count = document->numPages();
    m_pageSizes.reserve(count);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<Poppler::Page> page = document->page(i);
        const QSizeF size = page ? page->pageSizeF() : QSizeF();
        // A page without a usable size takes its predecessor's, or A4.
        const bool usable = std::isfinite(size.width()) && std::isfinite(size.height())
            && size.width() > 0 && size.height() > 0;
        m_pageSizes.append(
            usable ? size : (m_pageSizes.isEmpty() ? QSizeF(595, 842) : m_pageSizes.last()));
    }
    m_document = std::move(document);
    relayout();
    viewport()->update();
    return true;
}

void PdfPagesView::relayout()
{
    m_pages.clear();
    m_layoutWidth = viewport()->width();
    const int available = std::max(1, viewport()->width() - 2 * Spacing);
    const double ratio = devicePixelRatioF();
    // In doubles and 64 bits: a page's size in points is whatever the file says.
    qint64 y = Spacing;
    int widest = 1;
    for (const QSizeF& size : std::as_const(m_pageSizes)) {
        double scale = available / size.width();
        scale = std::min(scale, MaximumPageHeight / size.height());
        scale
            = std::min(scale, std::sqrt(MaximumPagePixels / size.width() / size.height()) / ratio);
        // Zoomed, a page passes the budget: only what is in sight of it is rendered then.
        scale = std::min(scale * m_zoom, MaximumPageHeight / size.height());
        PageBox box;
        box.top = y;
        box.scale = scale;
        box.width = int(
            std::clamp(std::round(size.width() * scale), 1.0, std::round(available * m_zoom)));
        box.height
            = int(std::clamp(std::round(size.height() * scale), 1.0, double(MaximumPageHeight)));
        m_pages.append(box);
        widest = std::max(widest, box.width);
        y += box.height + Spacing;
    }
    m_contentWidth = std::max(viewport()->width(), widest + 2 * Spacing);
    const int across = m_contentWidth - 2 * Spacing;
    for (PageBox& box : m_pages)
        box.left = Spacing + (across - box.width) / 2;
    m_contentHeight = y;
    constexpr qint64 steps = qint64(1) << 30;
    m_scrollUnit = std::max<qint64>(1, (m_contentHeight + steps - 1) / steps);
    updateScrollRange();
}

void PdfPagesView::updateScrollRange()
{
    m_shownHeight = viewport()->height();
    const qint64 overflow = std::max<qint64>(0, m_contentHeight - viewport()->height());
    verticalScrollBar()->setPageStep(int(std::max<qint64>(1, viewport()->height() / m_scrollUnit)));
    verticalScrollBar()->setRange(0, int((overflow + m_scrollUnit - 1) / m_scrollUnit));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setRange(0, std::max(0, m_contentWidth - viewport()->width()));
}

qint64 PdfPagesView::scrollTop() const
{
    return std::min(qint64(verticalScrollBar()->value()) * m_scrollUnit,
        std::max<qint64>(0, m_contentHeight - viewport()->height()));
}

void PdfPagesView::setScrollTop(qint64 top)
{
    verticalScrollBar()->setValue(int(std::max<qint64>(0, top) / m_scrollUnit));
}

int PdfPagesView::scrollLeft() const
{
    return std::min(
        horizontalScrollBar()->value(), std::max(0, m_contentWidth - viewport()->width()));
}

QPoint PdfPagesView::scrollOffset() const
{
    return QPoint(
        scrollLeft(), int(std::min<qint64>(scrollTop(), std::numeric_limits<int>::max())));
}

void PdfPagesView::setZoom(double zoom)
{
    setZoom(zoom, QRectF(viewport()->rect()).center());
}

void PdfPagesView::setZoom(double zoom, const QPointF& anchor)
{
    zoom = std::clamp(zoom, 1.0, MaximumZoom);
    if (std::abs(zoom - m_zoom) < 1e-9 || m_pages.isEmpty()) {
        m_zoom = m_pages.isEmpty() ? zoom : m_zoom;
        return;
    }
    // The content point under the anchor, as a place on its page.
    const double x = anchor.x() + scrollLeft();
    const double y = anchor.y() + double(scrollTop());
    const int index = std::min(pageIndexAt(y), int(m_pages.size()) - 1);
    const PageBox before = m_pages[index];
    const double across = (x - before.left) / before.width;
    const double down = (y - double(before.top)) / before.height;
    m_zoom = zoom;
    relayout();
    const PageBox& after = m_pages[index];
    horizontalScrollBar()->setValue(
        int(std::round(after.left + across * after.width - anchor.x())));
    setScrollTop(qint64(std::llround(double(after.top) + down * after.height - anchor.y())));
    zoomMoved();
}

void PdfPagesView::stepZoom(double zoom, const QPointF& anchor)
{
    if (m_pages.isEmpty()) {
        setZoom(zoom, anchor);
        return;
    }
    const int index
        = std::min(pageIndexAt(anchor.y() + double(scrollTop())), int(m_pages.size()) - 1);
    const int edge = m_pages[index].left - scrollLeft();
    setZoom(zoom, anchor);
    if (edge >= 0)
        horizontalScrollBar()->setValue(m_pages[index].left - edge);
}

void PdfPagesView::toggleZoom(const QPointF& anchor)
{
    setZoom(m_zoom > 1.001 ? 1.0 : DoubleTapZoom, anchor);
}

void PdfPagesView::zoomMoved()
{
    // Each step would otherwise render the pages in sight anew; they are drawn scaled until
    // the zoom pauses.
    m_zooming = true;
    m_sharpen->start();
    viewport()->update();
}

QRectF PdfPagesView::pageRect(int index) const
{
    if (index < 0 || index >= m_pages.size())
        return {};
    const PageBox& box = m_pages[index];
    return QRectF(box.left, double(box.top), box.width, box.height);
}

void PdfPagesView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // Pages follow the width only; another height just shows more or fewer of them, and
    // the pages already drawn stay good.
    if (viewport()->width() == m_layoutWidth) {
        updateScrollRange();
        return;
    }
    // Turned on its side, a phone shows a third as much of a page as upright: what the
    // reader was reading comes to the top, not whatever the top of the view lay on.
    const Place kept = readingPlace(m_shownHeight);
    relayout();
    // Renders at the old width no longer fit.
    m_cache.clear();
    if (kept.page >= 0) {
        const PageBox& box = m_pages[kept.page];
        setScrollTop(std::llround(double(box.top) + kept.down * box.height - kept.below));
    }
}

int PdfPagesView::pageIndexAt(double y) const
{
    auto it = std::lower_bound(m_pages.begin(), m_pages.end(), y,
        [](const PageBox& box, double seen) { return double(box.top + box.height) <= seen; });
    return int(it - m_pages.begin());
}

PdfPagesView::Place PdfPagesView::readingPlace(int height) const
{
    if (m_pages.isEmpty() || height <= 0)
        return {};
    const qint64 top = std::min(qint64(verticalScrollBar()->value()) * m_scrollUnit,
        std::max<qint64>(0, m_contentHeight - height));
    const qint64 bottom = top + height;
    int most = -1;
    qint64 mostShown = 0;
    for (int i = pageIndexAt(double(top)); i < m_pages.size() && m_pages[i].top < bottom; ++i) {
        const PageBox& box = m_pages[i];
        const qint64 shown = std::min(bottom, box.top + box.height) - std::max(top, box.top);
        if (shown > mostShown) {
            most = i;
            mostShown = shown;
        }
    }
    if (most < 0)
        return {};
    const PageBox& box = m_pages[most];
    const double from = double(std::max(top, box.top) - box.top);
    const double to = double(std::min(bottom, box.top + box.height) - box.top);
    const std::optional<double> ink = firstInk(most, from, to);
    const double at = ink.value_or(from);
    const double below = double(box.top) + at - double(top);
    // A line further down comes up near the top: the view may now be far shorter.
    return { most, at / box.height, ink ? std::min(below, double(Spacing)) : below };
}

std::optional<double> PdfPagesView::firstInk(int index, double from, double to) const
{
    const auto held = m_cache.constFind(index);
    if (held == m_cache.cend() || held->image.isNull() || held->scale <= 0
        || held->region.isEmpty())
        return std::nullopt;
    QImage image = held->image;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32
        && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    // The render may be at another scale than the page now, and of a part of it only.
    const double by = m_pages[index].scale / held->scale;
    const double rowHeight = double(held->region.height()) / image.height();
    for (int row = 0; row < image.height(); ++row) {
        const double y = (held->region.y() + row * rowHeight) * by;
        if (y + rowHeight * by <= from)
            continue;
        if (y >= to)
            break;
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int x = 0; x < image.width(); ++x)
            if (std::min({ qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]) }) < kInkLevel)
                return std::max(y, from);
    }
    return std::nullopt;
}

QList<int> PdfPagesView::visiblePages() const
{
    QList<int> pages;
    const qint64 top = scrollTop();
    const qint64 bottom = top + viewport()->height();
    // Pages are in order: find the first in sight by halving, then walk on.
    auto it = std::lower_bound(m_pages.begin(), m_pages.end(), top,
        [](const PageBox& box, qint64 seen) { return box.top + box.height <= seen; });
    for (; it != m_pages.end() && it->top < bottom; ++it)
        pages.append(int(it - m_pages.begin()));
    return pages;
}

void PdfPagesView::scrollToPage(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    setScrollTop(m_pages[index].top - Spacing);
}

PdfPagesView::Render PdfPagesView::render(int index, const QRect& needed)
{
    if (!m_document)
        return {};
    std::unique_ptr<Poppler::Page> page = m_document->page(index);
    if (!page)
        return {};
    const PageBox& box = m_pages[index];
    const double ratio = devicePixelRatioF();
    // The page's own scale keeps a whole render within the pixel budget the layout allowed;
    // zoomed past it, the render keeps to what is in sight and half a view around it.
    Render made;
    made.scale = box.scale;
    made.region = QRect(0, 0, box.width, box.height);
    const double dpi = 72.0 * box.scale * ratio;
    if (m_zoom <= 1 || double(box.width) * box.height * ratio * ratio <= WholePagePixels) {
        made.image = page->renderToImage(dpi, dpi);
    } else {
        const int w = viewport()->width() / 2;
        const int h = viewport()->height() / 2;
        made.region = needed.adjusted(-w, -h, w, h) & made.region;
        made.image = page->renderToImage(dpi, dpi, int(std::floor(made.region.x() * ratio)),
            int(std::floor(made.region.y() * ratio)), int(std::ceil(made.region.width() * ratio)),
            int(std::ceil(made.region.height() * ratio)));
    }
    ++m_renderCount;
    m_rendered.insert(index);
    m_cache.insert(index, made);
    return made;
}

void PdfPagesView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QList<int> visible = visiblePages();
    if (visible.isEmpty())
        return;
    // The pages in sight and the next one are kept; the rest go.
    const int first = visible.first();
    const int last = std::min(int(m_pages.size()) - 1, visible.last() + 1);
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = (it.key() < first || it.key() > last) ? m_cache.erase(it) : std::next(it);
    const qint64 top = scrollTop();
    const int left = scrollLeft();
    const QRect sight = viewport()->rect();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int index : visible) {
        const PageBox& box = m_pages[index];
        // A page in sight is at most its own height above the viewport: an int again.
        const QRect rect(box.left - left, int(box.top - top), box.width, box.height);
        const QRect needed = sight.translated(-rect.topLeft()) & QRect(QPoint(), rect.size());
        Render shown = m_cache.value(index);
        const bool sharp = shown.scale == box.scale && shown.region.contains(needed);
        if (!sharp && (!m_zooming || shown.image.isNull()))
            shown = render(index, needed);
        painter.fillRect(rect, Qt::white);
        if (shown.image.isNull() || shown.scale <= 0)
            continue;
        // A render at another scale stands in, scaled, while the zoom goes on.
        const double by = box.scale / shown.scale;
        const QRectF region(shown.region.x() * by, shown.region.y() * by, shown.region.width() * by,
            shown.region.height() * by);
        painter.drawImage(region.translated(rect.topLeft()), shown.image);
    }
    if (last > visible.last() && !m_zooming && !m_cache.contains(last)) {
        // Ready before it scrolls into sight.
        const PageBox& next = m_pages[last];
        render(last, QRect(0, 0, next.width, std::min(next.height, sight.height())));
    }
}

std::pair<int, QUrl> PdfPagesView::hit(const QPoint& viewportPoint, int* gotoPage) const
{
    const qint64 y = viewportPoint.y() + scrollTop();
    const int x = viewportPoint.x() + scrollLeft();
    for (int index = 0; index < m_pages.size(); ++index) {
        const PageBox& box = m_pages[index];
        if (y < box.top || y >= box.top + box.height || x < box.left || x >= box.left + box.width)
            continue;
        if (!m_document)
            return { index, {} };
        std::unique_ptr<Poppler::Page> page = m_document->page(index);
        if (!page)
            return { index, {} };
        const QPointF normal(double(x - box.left) / box.width, double(y - box.top) / box.height);
        for (const auto& link : page->links()) {
            if (!link->linkArea().normalized().contains(normal))
                continue;
            if (link->linkType() == Poppler::Link::Browse)
                return { index, QUrl(static_cast<Poppler::LinkBrowse*>(link.get())->url()) };
            if (link->linkType() == Poppler::Link::Goto && gotoPage) {
                const auto* jump = static_cast<Poppler::LinkGoto*>(link.get());
                if (!jump->isExternal())
                    *gotoPage = jump->destination().pageNumber() - 1;
            }
            return { index, {} };
        }
        return { index, {} };
    }
    return { -1, {} };
}

QUrl PdfPagesView::linkAt(const QPoint& viewportPoint) const
{
    return hit(viewportPoint, nullptr).second;
}

void PdfPagesView::mouseReleaseEvent(QMouseEvent* event)
{
    // The release that ends a double click has done its work.
    if (std::exchange(m_swallowRelease, false))
        return;
    activateAt(event->position().toPoint());
}

void PdfPagesView::activateAt(const QPoint& viewportPoint)
{
    int gotoPage = -1;
    const auto [page, url] = hit(viewportPoint, &gotoPage);
    if (page < 0)
        return;
    if (gotoPage >= 0)
        scrollToPage(gotoPage);
    else if (url.isValid() && !url.isEmpty())
        emit linkActivated(url);
}

void PdfPagesView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_swallowRelease = true;
    toggleZoom(event->position());
}

void PdfPagesView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // A notch up zooms in one step; a touchpad's finer deltas zoom by as much less.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        stepZoom(m_zoom * std::pow(ZoomStep, notches), event->position());
    event->accept();
}

void PdfPagesView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            stepZoom(m_zoom * ZoomStep, QRectF(viewport()->rect()).center());
            return;
        case Qt::Key_Minus:
            stepZoom(m_zoom / ZoomStep, QRectF(viewport()->rect()).center());
            return;
        case Qt::Key_0:
            setZoom(1.0);
            return;
        default:
            break;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool PdfPagesView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        touched(static_cast<QTouchEvent*>(event));
        event->accept();
        return true;
    case QEvent::NativeGesture: {
        // A touchpad's pinch: each event carries the change of scale since the last.
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        switch (gesture->gestureType()) {
        case Qt::BeginNativeGesture:
            m_pinching = true;
            break;
        case Qt::EndNativeGesture:
            m_pinching = false;
            zoomMoved();
            break;
        case Qt::ZoomNativeGesture:
            setZoom(m_zoom * (1.0 + gesture->value()), gesture->position());
            break;
        case Qt::SmartZoomNativeGesture:
            toggleZoom(gesture->position());
            break;
        default:
            return QAbstractScrollArea::viewportEvent(event);
        }
        event->accept();
        return true;
    }
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

void PdfPagesView::touched(QTouchEvent* event)
{
    QList<QPointF> down;
    for (const QEventPoint& point : event->points())
        if (point.state() != QEventPoint::Released)
            down.append(point.position());
    if (event->type() == QEvent::TouchBegin) {
        m_touch = Touch();
        m_touch.start = m_touch.last = down.isEmpty() ? QPointF() : down.first();
    }
    if (event->type() == QEvent::TouchCancel) {
        m_touch = Touch();
        m_pinching = false;
        return;
    }
    if (down.size() >= 2) {
        // Two fingers: the page follows their spread and their middle.
        const QPointF centre = (down[0] + down[1]) / 2;
        const double distance = std::max(1.0, QLineF(down[0], down[1]).length());
        if (!m_pinching) {
            m_pinching = m_touch.pinched = true;
            m_touch.startDistance = distance;
            m_touch.startZoom = m_zoom;
        } else {
            const QPointF moved = centre - m_touch.centre;
            setZoom(m_touch.startZoom * distance / m_touch.startDistance, centre);
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - int(moved.x()));
            setScrollTop(scrollTop() - qint64(moved.y()));
        }
        m_touch.centre = centre;
    } else if (down.size() == 1 && !m_touch.pinched) {
        // One finger pans once it has moved as far as a drag starts.
        const QPointF at = down.first();
        if (!m_touch.panned
            && (at - m_touch.start).manhattanLength() >= QApplication::startDragDistance())
            m_touch.panned = true;
        if (m_touch.panned) {
            const QPointF moved = at - m_touch.last;
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - int(moved.x()));
            setScrollTop(scrollTop() - qint64(moved.y()));
        }
        m_touch.last = at;
    }
    if (down.size() < 2 && m_pinching) {
        m_pinching = false;
        zoomMoved();
    }
    if (event->type() == QEvent::TouchEnd && !m_touch.pinched && !m_touch.panned)
        tapped(m_touch.last);
}

void PdfPagesView::tapped(const QPointF& viewportPoint)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const bool second = m_lastTapTime >= 0 && now - m_lastTapTime <= interval
        && (viewportPoint - m_lastTapAt).manhattanLength()
            <= QGuiApplication::styleHints()->mouseDoubleClickDistance();
    if (second) {
        m_lastTapTime = -1;
        toggleZoom(viewportPoint);
        return;
    }
    m_lastTapTime = now;
    m_lastTapAt = viewportPoint;
    activateAt(viewportPoint.toPoint());
}

} // namespace platform::ui
