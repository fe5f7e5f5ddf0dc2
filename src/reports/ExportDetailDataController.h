#pragma once

#include "forms/DetailExportMenu.h"

#include <QObject>
#include <QPointer>

class RowDetailViewController;

// The export menu of the row a row display shows: one per display, made on its first
// Share. Its choices (the row as a file in the export formats) come with the export
// screens; install() makes row displays use this class.
class ExportDetailDataController : public QObject, public DetailExportMenu {
    Q_OBJECT
public:
    explicit ExportDetailDataController(RowDetailViewController* detailController);
    ~ExportDetailDataController() override;

    // The row display whose row is exported; null once it has gone.
    RowDetailViewController* detailController() const;

    void showMenu() override;

    static void install();

private:
    QPointer<RowDetailViewController> m_detailController;
};
