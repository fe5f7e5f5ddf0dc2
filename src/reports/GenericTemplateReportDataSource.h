#pragma once

#include "reports/ReportProtocol.h"

#include <QPointer>

class BaseDataController;
class GenericTemplateDataControllerProtocol;
class Rows;

// The report data source of a user table's rows screen: the screen's title, the table's
// columns (id to name) with their grid widths widened by 15 points, and the rows shown
// (the search's while one is active), decoded with the table's verified password. The
// data controller must also adopt GenericTemplateDataControllerProtocol; it is held
// weakly, and once it is gone the source answers as an empty table.
class GenericTemplateReportDataSource : public ReportProtocol {
public:
    explicit GenericTemplateReportDataSource(BaseDataController* dataController);

    BaseDataController* genericTemplateDataController() const { return m_dataController; }

    QString reportTitle() override;
    QList<double> reportColumnWidths() override;
    OrderedDictionary reportColumns() override;
    quint64 reportRowsCount() override;
    QVariantMap reportRow(quint64 index) override;
    QVariantMap reportRowFormatted(quint64 index) override;
    // Keeps each row's stored text and a copy of the columns; the worker decodes them.
    // A row that does not decode (a wrong password, a damaged text) reads as none.
    std::shared_ptr<const ReportRows> reportRowsSnapshot() override;

    // Points added to each grid width, so the workbook's columns are wider than the grid's.
    static constexpr double WidthPadding = 15.0;

private:
    GenericTemplateDataControllerProtocol* table() const;
    Rows* rowAt(quint64 index) const;

    QPointer<BaseDataController> m_dataController;
};
