#include "reports/PdfReportPageRenderer.h"

#include "reports/PdfReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

// How far above the page's foot a line must begin to be drawn on it.
constexpr double kEdge = 1;
// Where the lines of a page before are put while a page is drawn: far above it.
constexpr double kOutOfSight = 100000;

// A paragraph is drawn from the line before the first one in sight: on a page the content
// runs on to, that is the last line of the page before, which the painter's clip hides
// but whose text would be read twice. While the page is drawn, the lines of paragraphs
// that begin on earlier pages and go on into this one are moved out of the page.
class LinesOfEarlierPages {
public:
    LinesOfEarlierPages(QTextDocument& document, double top)
    {
        if (top <= 0)
            return;
        QAbstractTextDocumentLayout* layout = document.documentLayout();
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QTextLayout* lines = block.layout();
            if (!lines || lines->lineCount() < 2)
                continue;
            const QRectF bounds = layout->blockBoundingRect(block);
            if (bounds.top() >= top || bounds.bottom() <= top)
                continue;
            // Line positions are the paragraph's own, from the top of its first line.
            const double first = lines->lineAt(0).y();
            for (int i = 0; i < lines->lineCount(); ++i) {
                QTextLine line = lines->lineAt(i);
                if (bounds.top() + line.y() - first + line.height() > top)
                    break;
                line.setPosition(line.position() - QPointF(0, kOutOfSight));
                m_moved.append(line);
            }
        }
    }
    ~LinesOfEarlierPages()
    {
        for (QTextLine& line : m_moved)
            line.setPosition(line.position() + QPointF(0, kOutOfSight));
    }
    LinesOfEarlierPages(const LinesOfEarlierPages&) = delete;
    LinesOfEarlierPages& operator=(const LinesOfEarlierPages&) = delete;

private:
    QList<QTextLine> m_moved;
};

// Draws the part of the document that lies in `source` (document coordinates) at `target`.
void drawDocument(
    QPainter& painter, PdfReportDocument& document, const QRectF& source, const QPointF& target)
{
    const LinesOfEarlierPages hidden(document, source.top());
    painter.save();
    painter.translate(target - source.topLeft());
    painter.setClipRect(source);
    QAbstractTextDocumentLayout::PaintContext context;
    // A line starting right at the page's foot is the next page's first; the layout would
    // draw it, as it draws every line up to the clip's bottom edge.
    context.clip = source.adjusted(0, 0, 0, -kEdge);
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
