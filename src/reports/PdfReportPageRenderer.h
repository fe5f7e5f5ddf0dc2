#pragma once

#include <QRectF>

#include <functional>
#include <memory>

class PdfReportDocument;
class QPainter;
class QPagedPaintDevice;

// Lays out one report page and writes it: the header at the top of the printable area
// (the page less 20 points on each side), the footer at its bottom, and the content
// paginated in the room between; content that needs more than one page goes on over as
// many pages, each with the same header and footer.
class PdfReportPageRenderer {
public:
    PdfReportPageRenderer(std::shared_ptr<PdfReportDocument> headerFormatter, double headerHeight,
        std::shared_ptr<PdfReportDocument> contentFormatter,
        std::shared_ptr<PdfReportDocument> footerFormatter, double footerHeight,
        const QRectF& pageRect);

    QRectF paperRect() const { return m_pageRect; }
    QRectF printableRect() const;
    QRectF headerRect() const;
    QRectF contentRect() const;
    QRectF footerRect() const;
    // The pages the content covers (at least one), or the limit when lower.
    int numberOfPages();
    // Draws no more than that many pages (0: all): the rest holds items of later pages.
    void setPageLimit(int pages) { m_pageLimit = pages; }
    // The header and footer of a page the content runs on to (index from 1), laid out for
    // that page's number.
    struct RunOnParts {
        std::shared_ptr<PdfReportDocument> header;
        std::shared_ptr<PdfReportDocument> footer;
    };
    using RunOnPartsProvider = std::function<RunOnParts(int index)>;

    // Draws every page; a page after the first of the PDF begins a new one. Pages the
    // content runs on to take their header and footer from the provider, when given.
    void addPagesToPdfContext(QPainter& painter, QPagedPaintDevice& writer, bool& firstPage,
        const RunOnPartsProvider& runOnParts = {});

    static constexpr double Inset = 20;

private:
    void drawHeaderForPageAtIndex(QPainter& painter, int index, const QRectF& rect);
    void drawFooterForPageAtIndex(QPainter& painter, int index, const QRectF& rect);
    static void drawPart(QPainter& painter, PdfReportDocument* part, const QRectF& rect);

    std::shared_ptr<PdfReportDocument> m_headerFormatter;
    std::shared_ptr<PdfReportDocument> m_contentFormatter;
    std::shared_ptr<PdfReportDocument> m_footerFormatter;
    double m_headerHeight;
    double m_footerHeight;
    QRectF m_pageRect;
    int m_pageLimit = 0;
};
