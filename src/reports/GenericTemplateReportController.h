#pragma once

#include "reports/ReportController.h"

#include <QList>
#include <QStringList>

class GenericTemplateDataControllerProtocol;

// The export menu of a user table's rows screen: the menu of ReportController with
// "Import CSV" in front (code 1000), which reads a CSV file from Documents and stores
// its lines as new rows of the table, all of them or none, writing a log it offers to
// show.
//
// The file is read on a worker; the rows are converted, validated, made, inserted and
// committed on the main thread in one commit (a failed commit is rolled back). A
// protected table's rows are stored encrypted with its verified password; without that
// password the import is refused.
class GenericTemplateReportController : public ReportController {
public:
    static std::shared_ptr<GenericTemplateReportController> create(
        ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource);

    // The menu's grid screen's data controller, as it is now.
    virtual GenericTemplateDataControllerProtocol* dataController() const;

    void shareHandler(quint64 position) override;
    void shareButtonHandler(const std::shared_ptr<FileInfo>& file) override;
    // Imports the file at the path under the busy overlay.
    void import(const QString& path);
    // Stores the log in Documents' "logs" folder and asks whether to show it.
    void writeLog(const QString& log, const QString& importFile, bool success);
    // Rebuilds the reminders of the whole table on the main thread under the overlay, then
    // says so once the overlay has ended; a failure goes to the debug log only.
    void resetReminder();

    // The log's lines, word for word.
    static const QString ColumnNotFound; // "Column %@ not found.\r\n"
    static const QString RowInvalid; // "Error in row %d. %@ invalid.\r\n."
    static const QString RowShort; // "Row %d has fewer fields than the header.\r\n"
    static const QString RowLong; // "Row %d has more fields than the header; ..."
    // "Error in row %d. \"%@\" is not a valid %@ value for column %@.\r\n": the text, the
    // column's type and its name.
    static const QString ValueUnread;
    static const QString ImportingRow; // "Importing row %d.\r\n"
    static const QString ImportSucceeded; // "Successfully imported %d rows.\r\n"
    static const QString UpdateFailed; // "Updating the database failed.\r\n"
    static const QString LogNameFormat; // "Import_%@"
    static const QString SuccessQuestion; // "Import completed successfully.\r\n..."
    static const QString FailureQuestion; // "Import failed.\r\n..."

protected:
    GenericTemplateReportController(
        ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource);

    unsigned firstCode() const override { return ImportCSV; }
    QStringList baseMenuTexts() const override;
    QStringList baseMenuImages() const override;

private:
    // The main thread's part of an import: the file's lines into rows.
    void storeLines(
        const QList<QStringList>& lines, const QList<quint64>& textLines, const QString& path);
    bool passwordMissing() const;
};
