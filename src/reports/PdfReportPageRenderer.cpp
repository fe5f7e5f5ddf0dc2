#include "reports/PdfReportPageRenderer.h"

#include "reports/PdfReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

// Draws the part of the document that lies in `source` (document coordinates) at `target`.
void drawDocument(
    QPainter& painter, PdfReportDocument& document, const QRectF& source, const QPointF& target)
{
    painter.save();
    painter.translate(target - source.topLeft());
    painter.setClipRect(source);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = source;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

PdfReportPageRenderer::PdfReportPageRenderer(std::shared_ptr<PdfReportDocument> headerFormatter,
    double headerHeight, std::shared_ptr<PdfReportDocument> contentFormatter,
    std::shared_ptr<PdfReportDocument> footerFormatter, double footerHeight, const QRectF& pageRect)
    : m_headerFormatter(std::move(headerFormatter))
    , m_contentFormatter(std::move(contentFormatter))
    , m_footerFormatter(std::move(footerFormatter))
    , m_headerHeight(headerHeight)
    , m_footerHeight(footerHeight)
    , m_pageRect(pageRect)
{
}

QRectF PdfReportPageRenderer::printableRect() const
{
    return m_pageRect.adjusted(Inset, Inset, -Inset, -Inset);
}

QRectF PdfReportPageRenderer::headerRect() const
{
    const QRectF printable = printableRect();
    return { printable.left(), printable.top(), printable.width(), m_headerHeight };
}

QRectF PdfReportPageRenderer::footerRect() const
{
    const QRectF printable = printableRect();
    return { printable.left(), printable.bottom() - m_footerHeight, printable.width(),
        m_footerHeight };
}

QRectF PdfReportPageRenderer::contentRect() const
{
    const QRectF printable = printableRect();
    return { printable.left(), printable.top() + m_headerHeight, printable.width(),
        printable.height() - m_headerHeight - m_footerHeight };
}

int PdfReportPageRenderer::numberOfPages()
{
    if (!m_contentFormatter)
        return 1;
    m_contentFormatter->layOut(contentRect().height());
    const int pages = std::max(1, m_contentFormatter->pageCount());
    return m_pageLimit > 0 ? std::min(pages, m_pageLimit) : pages;
}

void PdfReportPageRenderer::drawPart(QPainter& painter, PdfReportDocument* part, const QRectF& rect)
{
    if (!part)
        return;
    // At the bottom of its room: the spacing the measure adds stands above a header, so
    // that the column titles sit on the rows, and between the rows and a footer.
    const double height = std::min(part->contentHeight(), rect.height());
    drawDocument(painter, *part, QRectF(0, 0, rect.width(), height),
        QPointF(rect.left(), rect.bottom() - height));
}

void PdfReportPageRenderer::drawHeaderForPageAtIndex(QPainter& painter, int, const QRectF& rect)
{
    drawPart(painter, m_headerFormatter.get(), rect);
}

void PdfReportPageRenderer::drawFooterForPageAtIndex(QPainter& painter, int, const QRectF& rect)
{
    drawPart(painter, m_footerFormatter.get(), rect);
}

void PdfReportPageRenderer::addPagesToPdfContext(QPainter& painter, QPagedPaintDevice& writer,
    bool& firstPage, const RunOnPartsProvider& runOnParts)
{
    const int pages = numberOfPages();
    const QRectF content = contentRect();
    for (int i = 0; i < pages; ++i) {
        if (!firstPage)
            writer.newPage();
        firstPage = false;
        if (i > 0 && runOnParts) {
            // In the first page's rectangles: the content keeps its place on every page.
            const RunOnParts parts = runOnParts(i);
            drawPart(painter, parts.header.get(), headerRect());
            drawPart(painter, parts.footer.get(), footerRect());
        } else {
            drawHeaderForPageAtIndex(painter, i, headerRect());
            drawFooterForPageAtIndex(painter, i, footerRect());
        }
        if (m_contentFormatter) {
            drawDocument(painter, *m_contentFormatter,
                QRectF(0, i * content.height(), content.width(), content.height()),
                content.topLeft());
        }
    }
}
