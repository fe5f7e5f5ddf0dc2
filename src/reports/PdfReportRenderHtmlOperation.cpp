#include "reports/PdfReportRenderHtmlOperation.h"

#include "reports/PdfReportDocument.h"
#include "reports/PdfReportRenderHtmlOperationDelegate.h"

PdfReportRenderHtmlOperation::PdfReportRenderHtmlOperation(QString html, qint64 sectionType,
    QPaintDevice* device, double textWidth, PdfReportRenderHtmlOperationDelegate* delegate)
    : m_htmlSectionType(sectionType)
    , m_htmlSource(std::move(html))
    , m_device(device)
    , m_textWidth(textWidth)
    , m_delegate(delegate)
{
}

void PdfReportRenderHtmlOperation::start(const platform::dispatch::Block& finish)
{
    m_executing = true;
    struct Finisher {
        PdfReportRenderHtmlOperation* operation;
        const platform::dispatch::Block& finish;
        ~Finisher()
        {
            operation->m_finished = true;
            operation->m_executing = false;
            finish();
        }
    } finisher { this, finish };
    auto document = std::make_shared<PdfReportDocument>(m_device, m_textWidth);
    document->loadHtml(m_htmlSource);
    if (m_delegate)
        m_delegate->didFinishLoadingSection(m_htmlSectionType, document);
}

platform::dispatch::MainOperationQueue::Operation PdfReportRenderHtmlOperation::queued(
    std::shared_ptr<PdfReportRenderHtmlOperation> operation)
{
    return [operation = std::move(operation)](
               const platform::dispatch::Block& finish) { operation->start(finish); };
}
