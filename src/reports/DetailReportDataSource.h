#pragma once

#include "reports/ReportProtocol.h"

#include <QPointer>

#include <optional>

class BaseDataController;
class TemplateColumn;

namespace platform::ui {
class ViewController;
}

// The report data source of one row shown in the row display form: two columns,
// "Column" and "Value", and one row per column of the table holding the column's name and
// the row's value (raw, or its display text). The row's values are taken once, when the
// source is made; the columns come from the calling screen's data controller, which must
// adopt GenericTemplateDataControllerProtocol (held weakly).
class DetailReportDataSource : public ReportProtocol {
public:
    DetailReportDataSource(platform::ui::ViewController* rowDetailViewController, QVariantMap row,
        BaseDataController* callingDataController);

    QString reportTitle() override;
    // The names' column: 15 points per character of the longest column name; the values'
    // column: the widest of the table's grid columns. Worked out once.
    QList<double> reportColumnWidths() override;
    OrderedDictionary reportColumns() override;
    quint64 reportRowsCount() override;
    QVariantMap reportRow(quint64 index) override;
    QVariantMap reportRowFormatted(quint64 index) override;
    // Only while the calling grid shows rows: a row opened from an emptied search is not
    // reported.
    bool reportAllowsPDF() override;

    static const QString ColumnKey; // "Column"
    static const QString ValueKey; // "Value"

private:
    QList<TemplateColumn*> columns() const;
    QList<QVariantMap> pairs(bool formatted) const;

    QPointer<platform::ui::ViewController> rowDetailViewController;
    QVariantMap row;
    std::optional<QList<double>> columnWidhts;
    std::optional<QList<QVariantMap>> rows;
    std::optional<QList<QVariantMap>> rowsFormatted;
    QPointer<BaseDataController> m_callingDataController;
};
