#include "reports/PdfReportGeneratorDataSource.h"

PdfReportGeneratorDataSource::~PdfReportGeneratorDataSource() = default;
