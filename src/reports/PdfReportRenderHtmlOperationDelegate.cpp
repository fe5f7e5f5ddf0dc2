#include "reports/PdfReportRenderHtmlOperationDelegate.h"

PdfReportRenderHtmlOperationDelegate::~PdfReportRenderHtmlOperationDelegate() = default;
