#pragma once

#include <QRectF>

#include <memory>

class PdfReportDocument;

// Measures the height of a header or footer: the number of one-point pages its laid-out
// document covers, plus 20 points of spacing.
class PdfReportFakeRenderer {
public:
    // The bounds of the report's pages.
    explicit PdfReportFakeRenderer(const QRectF& contextBounds);

    void addPrintFormatter(std::shared_ptr<PdfReportDocument> formatter);
    QRectF paperRect() const;
    QRectF printableRect() const { return paperRect(); }
    quint64 contentHeight() const;

    static constexpr quint64 Spacing = 20;

private:
    QRectF m_contextBounds;
    std::shared_ptr<PdfReportDocument> m_formatter;
};
