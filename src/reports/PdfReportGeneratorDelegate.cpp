#include "reports/PdfReportGeneratorDelegate.h"

PdfReportGeneratorDelegate::~PdfReportGeneratorDelegate() = default;
