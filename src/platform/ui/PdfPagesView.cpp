#include "platform/ui/PdfPagesView.h"

#include <poppler-qt6.h>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace platform::ui {

PdfPagesView::PdfPagesView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
        QOverload<>::of(&QWidget::update));
}

PdfPagesView::~PdfPagesView() = default;

bool PdfPagesView::load(const QString& path)
{
    m_document.reset();
    m_pageSizes.clear();
    m_cache.clear();
    m_rendered.clear();
    m_renderCount = 0;
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
    for (const QSizeF& size : std::as_const(m_pageSizes)) {
        double scale = available / size.width();
        scale = std::min(scale, MaximumPageHeight / size.height());
        scale
            = std::min(scale, std::sqrt(MaximumPagePixels / size.width() / size.height()) / ratio);
        PageBox box;
        box.top = y;
        box.scale = scale;
        box.width = int(std::clamp(std::round(size.width() * scale), 1.0, double(available)));
        box.height
            = int(std::clamp(std::round(size.height() * scale), 1.0, double(MaximumPageHeight)));
        box.left = Spacing + (available - box.width) / 2;
        m_pages.append(box);
        y += box.height + Spacing;
    }
    m_contentHeight = y;
    constexpr qint64 steps = qint64(1) << 30;
    m_scrollUnit = std::max<qint64>(1, (m_contentHeight + steps - 1) / steps);
    updateScrollRange();
    // Renders at the old width no longer fit.
    m_cache.clear();
}

void PdfPagesView::updateScrollRange()
{
    const qint64 overflow = std::max<qint64>(0, m_contentHeight - viewport()->height());
    verticalScrollBar()->setPageStep(int(std::max<qint64>(1, viewport()->height() / m_scrollUnit)));
    verticalScrollBar()->setRange(0, int((overflow + m_scrollUnit - 1) / m_scrollUnit));
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
    const qint64 top = scrollTop();
    const double fraction = m_contentHeight > 0 ? double(top) / double(m_contentHeight) : 0;
    relayout();
    setScrollTop(qint64(fraction * double(m_contentHeight)));
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

QImage PdfPagesView::pageImage(int index)
{
    const auto found = m_cache.constFind(index);
    if (found != m_cache.constEnd())
        return found.value();
    if (!m_document)
        return {};
    std::unique_ptr<Poppler::Page> page = m_document->page(index);
    if (!page)
        return {};
    // The page's own scale keeps the render within the pixel budget the layout allowed.
    const double dpi = 72.0 * m_pages[index].scale * devicePixelRatioF();
    const QImage image = page->renderToImage(dpi, dpi);
    ++m_renderCount;
    m_rendered.insert(index);
    m_cache.insert(index, image);
    return image;
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
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int index : visible) {
        const PageBox& box = m_pages[index];
        // A page in sight is at most its own height above the viewport: an int again.
        const QRect rect(box.left, int(box.top - top), box.width, box.height);
        const QImage image = pageImage(index);
        painter.fillRect(rect, Qt::white);
        if (!image.isNull())
            painter.drawImage(rect, image);
    }
    if (last > visible.last())
        pageImage(last); // ready before it scrolls into sight
}

std::pair<int, QUrl> PdfPagesView::hit(const QPoint& viewportPoint, int* gotoPage) const
{
    const qint64 y = viewportPoint.y() + scrollTop();
    for (int index = 0; index < m_pages.size(); ++index) {
        const PageBox& box = m_pages[index];
        if (y < box.top || y >= box.top + box.height || viewportPoint.x() < box.left
            || viewportPoint.x() >= box.left + box.width)
            continue;
        if (!m_document)
            return { index, {} };
        std::unique_ptr<Poppler::Page> page = m_document->page(index);
        if (!page)
            return { index, {} };
        const QPointF normal(
            double(viewportPoint.x() - box.left) / box.width, double(y - box.top) / box.height);
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
    int gotoPage = -1;
    const auto [page, url] = hit(event->position().toPoint(), &gotoPage);
    if (page < 0)
        return;
    if (gotoPage >= 0)
        scrollToPage(gotoPage);
    else if (url.isValid() && !url.isEmpty())
        emit linkActivated(url);
}

} // namespace platform::ui
