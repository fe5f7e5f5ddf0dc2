#pragma once

#include "platform/Dispatch.h"

#include <QString>

#include <memory>

class PdfReportDocument;
class PdfReportRenderHtmlOperationDelegate;
class QPaintDevice;

// One queued step of a report trial: loads one part of the page's HTML into a report
// document laid out at the page's printable width, and hands it to the delegate. The load
// is synchronous, so the operation finishes as soon as it starts.
class PdfReportRenderHtmlOperation {
public:
    enum SectionType : qint64 { Header = 0, Content = 1, Footer = 2 };

    // initWithHtmlContent:andSectionType:, with the device and width of the layout.
    PdfReportRenderHtmlOperation(QString html, qint64 sectionType, QPaintDevice* device,
        double textWidth, PdfReportRenderHtmlOperationDelegate* delegate);

    // Runs the load and calls `finish` once it has reported to the delegate.
    void start(const platform::dispatch::Block& finish);
    bool isConcurrent() const { return false; }
    bool isExecuting() const { return m_executing; }
    bool isFinished() const { return m_finished; }
    qint64 htmlSectionType() const { return m_htmlSectionType; }
    const QString& htmlSource() const { return m_htmlSource; }

    // As a queue operation that keeps this one alive until it has run.
    static platform::dispatch::MainOperationQueue::Operation queued(
        std::shared_ptr<PdfReportRenderHtmlOperation> operation);

private:
    qint64 m_htmlSectionType;
    QString m_htmlSource;
    QPaintDevice* m_device;
    double m_textWidth;
    PdfReportRenderHtmlOperationDelegate* m_delegate;
    bool m_executing = false;
    bool m_finished = false;
};
