#include "reports/PdfReportFakeRenderer.h"

#include "reports/PdfReportDocument.h"

#include <cmath>

PdfReportFakeRenderer::PdfReportFakeRenderer(const QRectF& contextBounds)
    : m_contextBounds(contextBounds)
{
}

void PdfReportFakeRenderer::addPrintFormatter(std::shared_ptr<PdfReportDocument> formatter)
{
    m_formatter = std::move(formatter);
}

QRectF PdfReportFakeRenderer::paperRect() const
{
    return { 0, 0, m_contextBounds.width(), 1 };
}

quint64 PdfReportFakeRenderer::contentHeight() const
{
    const double height = m_formatter ? m_formatter->contentHeight() : 0;
    return quint64(std::max(1.0, std::ceil(height))) + Spacing;
}
