#include "platform/ui/PdfPagesView.h"

#include <poppler-qt6.h>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

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
        // A page without a size takes its predecessor's, or A4.
        m_pageSizes.append(size.isEmpty()
                ? (m_pageSizes.isEmpty() ? QSizeF(595, 842) : m_pageSizes.last())
                : size);
    }
    m_document = std::move(document);
    relayout();
    viewport()->update();
    return true;
}

void PdfPagesView::relayout()
{
    m_pageRects.clear();
    m_layoutWidth = viewport()->width();
    const int width = std::max(1, viewport()->width() - 2 * Spacing);
    int y = Spacing;
    for (const QSizeF& size : std::as_const(m_pageSizes)) {
        const int height = std::max(1, int(width * size.height() / size.width() + 0.5));
        m_pageRects.append(QRect(Spacing, y, width, height));
        y += height + Spacing;
    }
    m_contentHeight = y;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - viewport()->height()));
    // Renders at the old width no longer fit.
    m_cache.clear();
}

void PdfPagesView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // Pages follow the width only; another height just shows more or fewer of them, and
    // the pages already drawn stay good.
    if (viewport()->width() == m_layoutWidth) {
        verticalScrollBar()->setPageStep(viewport()->height());
        verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - viewport()->height()));
        return;
    }
    const int top = verticalScrollBar()->value();
    const double fraction = m_contentHeight > 0 ? double(top) / m_contentHeight : 0;
    relayout();
    verticalScrollBar()->setValue(int(fraction * m_contentHeight));
}

QList<int> PdfPagesView::visiblePages() const
{
    QList<int> pages;
    const QRect seen(0, verticalScrollBar()->value(), viewport()->width(), viewport()->height());
    // Pages are in order: find the first in sight by halving, then walk on.
    auto it = std::lower_bound(m_pageRects.begin(), m_pageRects.end(), seen.top(),
        [](const QRect& rect, int top) { return rect.bottom() < top; });
    for (; it != m_pageRects.end() && it->top() <= seen.bottom(); ++it)
        pages.append(int(it - m_pageRects.begin()));
    return pages;
}

void PdfPagesView::scrollToPage(int index)
{
    if (index < 0 || index >= m_pageRects.size())
        return;
    verticalScrollBar()->setValue(m_pageRects[index].top() - Spacing);
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
    const QRect rect = m_pageRects[index];
    const double ratio = devicePixelRatioF();
    const double dpi = rect.width() * ratio * 72.0 / m_pageSizes[index].width();
    QImage image = page->renderToImage(dpi, dpi);
    image.setDevicePixelRatio(ratio);
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
    const int last = std::min(int(m_pageRects.size()) - 1, visible.last() + 1);
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = (it.key() < first || it.key() > last) ? m_cache.erase(it) : std::next(it);
    const int top = verticalScrollBar()->value();
    for (int index : visible) {
        const QRect rect = m_pageRects[index].translated(0, -top);
        const QImage image = pageImage(index);
        painter.fillRect(rect, Qt::white);
        if (!image.isNull())
            painter.drawImage(rect.topLeft(), image);
    }
    if (last > visible.last())
        pageImage(last); // ready before it scrolls into sight
}

std::pair<int, QUrl> PdfPagesView::hit(const QPoint& viewportPoint, int* gotoPage) const
{
    const QPoint point = viewportPoint + QPoint(0, verticalScrollBar()->value());
    for (int index = 0; index < m_pageRects.size(); ++index) {
        const QRect& rect = m_pageRects[index];
        if (!rect.contains(point))
            continue;
        if (!m_document)
            return { index, {} };
        std::unique_ptr<Poppler::Page> page = m_document->page(index);
        if (!page)
            return { index, {} };
        const QPointF normal(double(point.x() - rect.left()) / rect.width(),
            double(point.y() - rect.top()) / rect.height());
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
