#pragma once

#include <QtGlobal>

#include <memory>

class PdfReportDocument;

// Hears that one part of a report page (0 header, 1 content, 2 footer) has been laid out.
class PdfReportRenderHtmlOperationDelegate {
public:
    virtual ~PdfReportRenderHtmlOperationDelegate();

    virtual void didFinishLoadingSection(
        qint64 sectionType, const std::shared_ptr<PdfReportDocument>& printFormatter)
        = 0;
};
