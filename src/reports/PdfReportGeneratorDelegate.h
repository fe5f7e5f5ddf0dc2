#pragma once

#include "platform/Error.h"

#include <QByteArray>

class PdfReportGenerator;

// Hears how a report ended: its PDF, or why it failed. Exactly one of the two calls ends
// each report that started. Main thread.
class PdfReportGeneratorDelegate {
public:
    virtual ~PdfReportGeneratorDelegate();

    // didFinishRenderingWithData:
    virtual void reportsGenerator(PdfReportGenerator* generator, const QByteArray& data) = 0;
    // The report ended without a PDF (a page that cannot be rendered or laid out).
    virtual void reportsGeneratorDidFailWithError(
        PdfReportGenerator* generator, const platform::Error& error)
        = 0;
};
