#pragma once

#include <QString>
#include <QVariant>

class PdfReportGenerator;

// Answers the report template's keys for one page: the items of [offset, offset + count)
// clipped to the total, and the report's own values. Main thread.
class PdfReportGeneratorDataSource {
public:
    virtual ~PdfReportGeneratorDataSource();

    // dataForReport:withTag:forPage:offset:itemsCount: (page from 1; offset the index of the
    // page's first item). An invalid QVariant when the source has nothing for the tag.
    virtual QVariant reportsGenerator(PdfReportGenerator* generator, const QString& report,
        const QString& tag, quint64 page, quint64 offset, quint64 itemsCount)
        = 0;
};
