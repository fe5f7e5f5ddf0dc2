#pragma once

#include "forms/DetailExportMenu.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ReportController;
class RowDetailViewController;

// The export menu of the row a row display shows: one per display, made on its first
// Share. Each Share opens the grid's export menu, hosted by the grid screen that opened
// the display, over the row as it is then (one line per column: its name and the row's
// value). install() makes row displays use this class.
class ExportDetailDataController : public QObject, public DetailExportMenu {
    Q_OBJECT
public:
    explicit ExportDetailDataController(RowDetailViewController* detailController);
    ~ExportDetailDataController() override;

    // The row display whose row is exported; null once it has gone.
    RowDetailViewController* detailController() const;

    void showMenu() override;
    // The menu the last Share opened; null before the first or when it could not open.
    ReportController* reportController() const { return m_reportController.get(); }

    static void install();

private:
    QPointer<RowDetailViewController> m_detailController;
    std::shared_ptr<ReportController> m_reportController;
};
