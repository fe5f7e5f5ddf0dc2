#pragma once

#include "platform/Error.h"
#include "platform/ui/AlertView.h"
#include "reports/PdfReportGeneratorDataSource.h"
#include "reports/PdfReportGeneratorDelegate.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/shell/FileBrowserProtocol.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ExportMenuHost;
class FileInfo;
class ReportProtocol;
class ReportRows;

namespace platform::ui {
class ViewController;
}

// The export menu a grid's share action opens: save the grid's table as CSV, as an XLS
// workbook or as a paginated PDF report in Documents or in the cloud documents folder, or
// mail any of them as an attachment. It reads the table only through its data source and asks its
// host (the grid screen) for the menu list, the file browsers and the busy overlay.
//
// Each action takes a snapshot of the source on the main thread (row count, columns,
// widths, title, and the rows themselves) and builds the file on a high-priority worker
// from that snapshot alone; saving, mailing and alerts happen back on the main thread.
// The overlay shows from the start of an action until everything it started has ended,
// whether it succeeded, failed or raised. A failure is shown and nothing is saved or
// mailed. Made by create() and held by std::shared_ptr (a running action keeps it).
class ReportController : public FileBrowserProtocol,
                         public PdfReportGeneratorDataSource,
                         public PdfReportGeneratorDelegate,
                         public platform::ui::AlertViewDelegate,
                         public std::enable_shared_from_this<ReportController> {
public:
    // Action codes, the menu positions' codes.
    enum ActionCode : unsigned {
        ImportCSV = 1000,
        SaveCSV = 1001,
        SavePDF = 1002,
        SaveXLS = 1003,
        MailCSV = 1004,
        MailPDF = 1005,
        MailXLS = 1006,
        SaveCSVToCloud = 1007,
        SavePDFToCloud = 1008,
        SaveXLSToCloud = 1009,
        ResetReminders = 1010,
    };

    // What an action reads: taken on the main thread, in this order, when it starts.
    struct Snapshot {
        quint64 rowCount = 0;
        OrderedDictionary columns;
        QList<double> columnWidths;
        QString title;
        std::shared_ptr<const ReportRows> rows;
    };

    // initWithParent:datasource:. The host is held weakly through its view controller.
    static std::shared_ptr<ReportController> create(
        ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource);
    ~ReportController() override;

    std::shared_ptr<ReportProtocol> reportDataSource() const { return m_reportDataSource; }
    ExportMenuHost* mainGridViewController() const;
    unsigned lastClickedButton() const { return m_lastClickedButton; }
    void setLastClickedButton(unsigned code) { m_lastClickedButton = code; }
    QString lastSelectedFileName() const { return m_lastSelectedFileName; }
    void setLastSelectedFileName(const QString& name) { m_lastSelectedFileName = name; }
    const Snapshot& snapshot() const { return m_snapshot; }

    // The menu: six items, or nine with the cloud documents store on.
    void showMenu();
    // Runs the item at the menu position (lastClickedButton already set).
    virtual void shareHandler(quint64 position);
    void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& file, platform::ui::ViewController* sender) override;
    // Takes the snapshot and runs the chosen action with the file (null for mail).
    virtual void shareButtonHandler(const std::shared_ptr<FileInfo>& file);
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;
    // Closes the menu list (the popup on a tablet; popped on a phone).
    void dismissPopup(platform::ui::ViewController* sender) override;
    bool respondsToDismissPopupSender() const override { return true; }

    // The texts, images and popup size the menu shows now.
    virtual QStringList menuTexts() const;
    virtual QStringList menuImages() const;
    QSizeF menuPopupSize() const;

    // The snapshot's table as CSV: the header texts, then each row's raw values (numbers
    // in their plain form, Yes/No as 1 or 0, dates as "yyyy-MM-dd HH:mm:ss +0000" in
    // UTC), UTF-8 without a mark. Raises TalloxException when a row cannot be read.
    static QByteArray toCSV(const Snapshot& snapshot);
    // The snapshot's table as an XLS workbook: a bold header row and each row's display
    // texts; past 65,535 rows the table goes on in further sheets, each with the header.
    // Raises TalloxException for more than 256 columns, a row that cannot be read, or a
    // workbook that cannot be written.
    static QByteArray toExcelData(const Snapshot& snapshot);
    // The report template's colours and sizes, taken from the current style when a PDF
    // action starts.
    struct ReportStyle {
        QString htmlColorHex;
        QString headerColorHex;
        QString rowalternateColorHex;
    };
    static ReportStyle currentReportStyle();
    // The bundled report template with a header cell and a content cell per column (header
    // texts escaped, so that they show as written). Raises TalloxException for a column
    // key that is not one plain name (letters, digits, "-", "_"); nullopt, the error
    // shown, when the template cannot be read.
    static std::optional<QString> htmlTemplate(
        const OrderedDictionary& columns, const QList<double>& columnWidths);
    // The template's values for the snapshot.
    static QVariantMap reportParameters(const Snapshot& snapshot, const ReportStyle& style);
    // A header text as it goes into the template: HTML-escaped, braces as references.
    static QString templateText(const QString& text);

    QVariant reportsGenerator(PdfReportGenerator* generator, const QString& report,
        const QString& tag, quint64 page, quint64 offset, quint64 itemsCount) override;
    void reportsGenerator(PdfReportGenerator* generator, const QByteArray& data) override;
    void reportsGeneratorDidFailWithError(
        PdfReportGenerator* generator, const platform::Error& error) override;

    // The name of the workbook's temporary file for a title: one plain file name.
    static QString temporaryFileName(const QString& title);

    // Opens a saved file (a full path, or a cloud document's name) in the file preview,
    // pushed over the screen; an opener set in its place gets the file's full path.
    static void openFile(const QString& nameOrPath, bool cloud, platform::ui::ViewController* over);
    // Tests put a stand-in in place of the preview; an empty one restores it.
    static void setFileOpener(std::function<void(const QString& path)> opener);

    static constexpr double MenuPopupWidth = 645;
    static constexpr quint64 RowsPerSheet = 65535;
    static constexpr qsizetype MaximumColumns = 256;
    static constexpr int LocalSavedAlertTag = 1000;
    static constexpr int CloudSavedAlertTag = 1001;
    static const QString CsvMimeType; // "text/csv"
    static const QString XlsMimeType; // "application/vnd.ms-excel"
    static const QString PdfMimeType; // "application/pdf"
    static constexpr quint64 ReportItemsPerPage = 100;
    static constexpr quint64 ReportOrientation = 1;

protected:
    ReportController(ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource);

    // The host, or null once its screen is gone.
    ExportMenuHost* host() const;
    // The code of the item at menu position 0.
    virtual unsigned firstCode() const { return SaveCSV; }
    virtual QStringList baseMenuTexts() const;
    virtual QStringList baseMenuImages() const;
    static bool cloudItemsShown();

    // One busy period of the host's overlay, ended when the last copy goes (on any
    // thread; the end runs on the main thread).
    using Busy = std::shared_ptr<void>;
    Busy showHud();
    // Runs the action on the high-priority global queue under the overlay; an exception
    // it raises is shown. The action may keep the busy period going by keeping a copy.
    void executeBlock(std::function<void(const Busy& busy)> action);
    void takeSnapshot();
    // Writes (locally: atomically, to the full path; else as the cloud document of that
    // name) and asks whether to open the file. From any thread: it runs on the main one.
    void saveFile(const QString& name, const QByteArray& data, bool iCloud, const Busy& busy);
    // Asks, in an alert of the tag whose Ok calls the controller back, a yes-or-no question.
    void askToOpen(const QString& title, const QString& message, const QString& cancel,
        const QString& open, int tag);

private:
    void mail(const QByteArray& data, const QString& mime, const QString& fileName,
        const QString& subject, const Busy& busy);
    // The action a running report reads and ends in: taken when it starts.
    struct PdfAction {
        unsigned code = 0;
        QString fileName;
        Busy busy;
        Snapshot snapshot;
        QVariantMap parameters;
        // Each row's display texts, read once.
        std::vector<std::optional<QVariantMap>> rows;
    };
    // Builds the template and the values on the action's worker, then starts the report
    // generator on the main thread; the busy period lasts until the PDF is saved or mailed.
    void generatePDF(const Busy& busy, const ReportStyle& style, PdfAction action);
    void startReport(const QString& filledTemplate, PdfAction action);

    std::shared_ptr<ReportProtocol> m_reportDataSource;
    Snapshot m_snapshot;
    QVariantMap m_reportParameters;
    std::optional<PdfAction> m_pdfAction;
    ExportMenuHost* m_host;
    QPointer<platform::ui::ViewController> m_hostScreen;
    unsigned m_lastClickedButton = 0;
    QString m_lastSelectedFileName;
};
