#include "ReportFixture.h"

#include "PdfTestSupport.h"
#include "common/FreexlWorkbook.h"
#include "grid/ColumnTableDataController.h"
#include "platform/ui/Device.h"
#include "platform/ui/MailComposeViewController.h"
#include "reports/ExportImportDataController.h"
#include "reports/ExportNotificationDataController.h"
#include "reports/ReportRows.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/text/KivoDateUtils.h"

#include <QTimeZone>

using reporttest::ReportTest;

namespace {

class CloudOnDelegate : public KivoAppDelegate {
public:
    bool cloudAvailable() const override { return true; }
    bool cloudEnabled() const override { return true; }
};

QString documentsPath(const QString& name)
{
    return QDir(FileManager::documentsDirectory()).filePath(name);
}

// The reminders screen's controller as the menu sees it: rows of "Reminder" and "Date",
// and more widths than the two columns.
class RemindersController : public TableDataController, public ColumnTableDataController {
public:
    QStringList columnHeaders() const override { return { "Reminder", "Date" }; }
    QList<double> columnWidths() const override { return { 120, 80, 33 }; }
    QStringList columnValues(qint64) override { return {}; }
    void loadData(const std::shared_ptr<Parent>&) override { }
};

struct OlderExportMenuTest : ReportTest {
    // A table of every column type.
    void makeTable(int rows, const Rows::Password& password = std::nullopt)
    {
        addColumn("Name", TypeConstants::Text);
        addColumn("Notes", TypeConstants::BigText);
        addColumn("Day", TypeConstants::Date);
        addColumn("Count", TypeConstants::Numeric);
        addColumn("Paid", TypeConstants::YesNo);
        addColumn("Kind", TypeConstants::List);
        addColumn("Site", TypeConstants::Link);
        addColumn("At", TypeConstants::Time);
        addColumn("Stamp", TypeConstants::DateTime);
        addColumn("Price", TypeConstants::Currency);
        addColumn("Pin", TypeConstants::Protected);
        table = addTable("Clients", password);
        const QDateTime start(QDate(2026, 1, 1), QTime(9, 30), QTimeZone::utc());
        QList<QVariantMap> values;
        for (int r = 0; r < rows; ++r) {
            values.append({ { "Name", QString::fromUtf8("Zoë, \"%1\"\nline").arg(r) },
                { "Notes", QStringLiteral("n%1").arg(r) }, { "Day", start.addDays(r) },
                { "Count", r * 1.5 }, { "Paid", r % 2 == 0 },
                { "Kind", QStringLiteral("K%1").arg(r % 5) },
                { "Site", QStringLiteral("https://example.com/%1").arg(r) },
                { "At", start.addSecs(60 * r) }, { "Stamp", start.addSecs(3600 * r) },
                { "Price", r * 10.25 }, { "Pin", QStringLiteral("p%1").arg(r) } });
        }
        // One row without values.
        if (rows > 0)
            values.append({ { "Name", "Only a name" } });
        storeRows(table, values, password);
        open(table, password);
        older = ExportImportDataController::create(controller.get());
    }

    // Runs the code's action of the menu with the file and waits until it has ended.
    void runWith(ReportController& with, unsigned code, const std::shared_ptr<FileInfo>& file)
    {
        const int before = host->hudShown;
        with.setLastClickedButton(code);
        with.fileBrowseCompleted(file, nullptr);
        waitUntilIdle(before);
        dismissAlerts();
    }

    // What both menus write for the save code, as files of those names.
    std::pair<QByteArray, QByteArray> bothWrite(unsigned code, const QString& extension)
    {
        runWith(*menu, code, documentsFile("current." + extension));
        runWith(*older, code, documentsFile("older." + extension));
        return { readFile(documentsPath("current." + extension)),
            readFile(documentsPath("older." + extension)) };
    }

    void expectSameWorkbooks()
    {
        runWith(*menu, ReportController::SaveXLS, documentsFile("current.xls"));
        runWith(*older, ReportController::SaveXLS, documentsFile("older.xls"));
        const auto current = testsupport::readWithFreexl(documentsPath("current.xls"));
        const auto made = testsupport::readWithFreexl(documentsPath("older.xls"));
        ASSERT_TRUE(current.ok()) << current.status;
        ASSERT_TRUE(made.ok()) << made.status;
        ASSERT_EQ(made.sheets.size(), current.sheets.size());
        for (size_t s = 0; s < made.sheets.size(); ++s) {
            const auto& a = current.sheets[s];
            const auto& b = made.sheets[s];
            EXPECT_EQ(b.name, a.name);
            ASSERT_EQ(b.rows, a.rows);
            ASSERT_EQ(b.columns, a.columns);
            ASSERT_GT(b.rows, 1u);
            for (unsigned r = 0; r < b.rows; ++r) {
                for (unsigned c = 0; c < b.columns; ++c) {
                    EXPECT_EQ(b.at(r, c).type, a.at(r, c).type) << r << "," << c;
                    EXPECT_EQ(b.at(r, c).text, a.at(r, c).text) << r << "," << c;
                }
            }
        }
        // The grid's own widths, where the current menu widens each by 15 points.
        QList<double> unwidened;
        for (TemplateColumn* column : columns)
            unwidened << column->getColumnWidth();
        EXPECT_EQ(older->snapshot().columnWidths, unwidened);
        QList<double> widened;
        for (double width : unwidened)
            widened << width + 15;
        EXPECT_EQ(menu->snapshot().columnWidths, widened);
    }

    // The reminders screen over the reminders, with its older menu.
    void openReminders(const QVariantList& reminders)
    {
        remindersController = std::make_shared<RemindersController>();
        navigation = std::make_unique<platform::ui::NavigationController>();
        host = new reporttest::FakeHost(nullptr);
        host->setTitle("Reminders");
        navigation->pushViewController(host, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
        remindersController->setViewController(host);
        remindersController->setRows(reminders);
        remindersMenu = ExportNotificationDataController::create(remindersController.get());
    }

    UserTemplate* table = nullptr;
    std::shared_ptr<ExportImportDataController> older;
    std::shared_ptr<RemindersController> remindersController;
    std::shared_ptr<ExportNotificationDataController> remindersMenu;
};

} // namespace

TEST_F(OlderExportMenuTest, TheUserTableMenuShowsItsItemsWithTheirOwnCodesAndSizes)
{
    makeTable(3);
    older->showMenu();
    EXPECT_EQ(host->menuTexts,
        QStringList({ "Import CSV", "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF",
            "Mail XLS" }));
    EXPECT_EQ(host->menuImages.first(), "import");
    EXPECT_EQ(host->menuSize, QSizeF(645, 340));

    delegate.reset();
    delegate = std::make_unique<CloudOnDelegate>();
    older->showMenu();
    ASSERT_EQ(host->menuTexts.size(), 11);
    EXPECT_EQ(host->menuTexts.mid(7),
        QStringList(
            { "Save CSV [iCloud]", "Save PDF [iCloud]", "Save XLS [iCloud]", "Reset Reminders" }));
    EXPECT_EQ(host->menuImages.mid(7),
        QStringList({ "icloudcsv", "icloudpdf", "icloudxls", "restartp" }));
    EXPECT_EQ(host->menuSize, QSizeF(645, 470));

    // Each position runs its own code's action: browsers of their kind, mail at once, and
    // the reminders rebuilt last.
    ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    const QStringList mailed { "Clients.csv", "Clients.pdf", "Clients.xls" };
    for (qint64 position = 0; position < 11; ++position) {
        const auto browsersBefore = host->browsers.size();
        const int busyBefore = host->hudShown;
        host->menuSelect(position);
        EXPECT_EQ(older->lastClickedButton(), unsigned(1000 + position));
        EXPECT_EQ(host->menuDismissals, position + 1);
        const bool opensBrowser = position <= 3 || (position >= 7 && position <= 9);
        ASSERT_EQ(host->browsers.size(), browsersBefore + (opensBrowser ? 1 : 0)) << position;
        if (opensBrowser) {
            EXPECT_EQ(host->browsers.last().save, position != 0) << position;
            EXPECT_EQ(host->browsers.last().cloud, position >= 7) << position;
            continue;
        }
        waitUntilIdle(busyBefore);
        if (position == 10)
            break;
        auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
            navigation->presentedViewController());
        ASSERT_TRUE(composer) << position;
        ASSERT_EQ(composer->message().attachments.size(), 1);
        EXPECT_EQ(composer->message().attachments[0].fileName, mailed.at(position - 4));
        navigation->dismissViewController(false);
        testsupport::processEvents(20);
    }
    EXPECT_EQ(controller->rebuilds, 1);
    EXPECT_EQ(alertMessages(), QStringList({ "Operation Completed Successfully." }));
    dismissAlerts();
    EXPECT_EQ(host->browsers[0].type, "csv");
    EXPECT_EQ(host->browsers[2].defaultFileName, "Clients.pdf");
    EXPECT_EQ(controller->rebuilds, 1);

    // A phone keeps its stack: the browser goes over the pushed list.
    ASSERT_TRUE(platform::ui::Device::current().selectModel("phone"));
    older->showMenu();
    host->menuSelect(3);
    EXPECT_EQ(host->menuDismissals, 11);
    EXPECT_EQ(host->browsers.last().defaultFileName, "Clients.xls");
    ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));

    // The reminders' menu: the current menu's items and codes.
    auto reminders = ExportNotificationDataController::create(controller.get());
    reminders->showMenu();
    EXPECT_EQ(host->menuTexts.size(), 9);
    EXPECT_EQ(host->menuSize, QSizeF(645, 405));
    host->menuSelect(0);
    EXPECT_EQ(reminders->lastClickedButton(), 1001u);
    delegate.reset();
    delegate = std::make_unique<KivoAppDelegate>();
    reminders->showMenu();
    EXPECT_EQ(host->menuTexts.size(), 6);
    EXPECT_EQ(host->menuSize, QSizeF(645, 275));
    host->menuSelect(5);
    EXPECT_EQ(reminders->lastClickedButton(), 1006u);
}

TEST_F(OlderExportMenuTest, OnAnEmptyTableOnlyImportDoesAnything)
{
    makeTable(0);
    delegate.reset();
    delegate = std::make_unique<CloudOnDelegate>();
    older->showMenu();
    for (qint64 position = 1; position < 11; ++position)
        host->menuSelect(position);
    platform::dispatch::waitForGlobal();
    testsupport::processEvents(20);
    EXPECT_TRUE(host->browsers.isEmpty());
    EXPECT_EQ(host->hudShown, 0);
    EXPECT_EQ(controller->rebuilds, 0);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_TRUE(alertMessages().isEmpty());

    host->menuSelect(0);
    ASSERT_EQ(host->browsers.size(), 1);
    EXPECT_FALSE(host->browsers[0].save);
}

TEST_F(OlderExportMenuTest, CsvAndXlsAreTheCurrentMenusOfAPlainTable)
{
    makeTable(40);
    const auto [current, made] = bothWrite(ReportController::SaveCSV, "csv");
    EXPECT_GT(current.size(), 2000);
    EXPECT_EQ(made, current);
    expectSameWorkbooks();
}

TEST_F(OlderExportMenuTest, CsvAndXlsAreTheCurrentMenusOfAProtectedTable)
{
    makeTable(40, QStringLiteral("s3cret"));
    const auto [current, made] = bothWrite(ReportController::SaveCSV, "csv");
    EXPECT_TRUE(current.contains("p39"));
    EXPECT_EQ(made, current);
    expectSameWorkbooks();

    // Without its password no row decodes: an error, and no file.
    controller->password = QStringLiteral("wrong");
    runWith(*older, ReportController::SaveCSV, documentsFile("wrong.csv"));
    EXPECT_FALSE(QFile::exists(documentsPath("wrong.csv")));
}

TEST_F(OlderExportMenuTest, ARowThatDoesNotDecodeIsAnErrorNotAnEmptyLine)
{
    makeTable(2, QStringLiteral("s3cret"));
    controller->password = QStringLiteral("wrong");
    const int before = host->hudShown;
    older->setLastClickedButton(ReportController::SaveXLS);
    older->fileBrowseCompleted(documentsFile("wrong.xls"), nullptr);
    waitUntilIdle(before);
    const QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be read")) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(documentsPath("wrong.xls")));
}

TEST_F(OlderExportMenuTest, TheSameImportFileGivesTheSameRowsAndTheSameLog)
{
    makeTable(0);
    UserTemplate* second = addTable("Second");
    const QByteArray csv = "Pin,Name,Notes,Day,Count,Paid,Kind,Site,At,Stamp,Price\n"
                           "1234,Ann,n,2026-01-01 09:30:00 +0000,12.5,1,K1,https://a.example,"
                           "2026-01-01 10:00:00 +0000,2026-01-02 09:00:00 +0000,3.25\n"
                           "\r\n"
                           ",\"Bob, Jr\",,,,0,,,,,\n";
    const auto file = documentsFile("import.csv");
    {
        QFile out(file->fullName);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(csv);
    }
    runWith(*menu, ReportController::ImportCSV, file);
    const QByteArray currentLog = readFile(menu->lastSelectedFileName());

    open(second);
    older = ExportImportDataController::create(controller.get());
    runWith(*older, ReportController::ImportCSV, file);
    const QByteArray olderLog = readFile(older->lastSelectedFileName());
    EXPECT_EQ(olderLog, currentLog);
    EXPECT_TRUE(olderLog.contains("Successfully imported 2 rows.")) << olderLog.toStdString();
    EXPECT_EQ(storedValues(second), storedValues(table));
    EXPECT_EQ(storedValues(second).size(), 2);
}

TEST_F(OlderExportMenuTest, ResetRemindersRunsOnTheMainThreadAndSpeaksAfterTheOverlay)
{
    makeTable(2, QStringLiteral("s3cret"));
    delegate.reset();
    delegate = std::make_unique<CloudOnDelegate>();
    older->showMenu();
    // The success shows only once the overlay has ended.
    bool overlayEndedFirst = false;
    const int before = host->hudShown;
    host->menuSelect(10);
    ASSERT_TRUE(testsupport::waitUntil([&] {
        if (!alertMessages().isEmpty()) {
            overlayEndedFirst = host->hudShown == host->hudHidden;
            return true;
        }
        return false;
    }));
    EXPECT_EQ(host->hudShown, before + 1);
    EXPECT_TRUE(overlayEndedFirst);
    EXPECT_EQ(controller->rebuilds, 1);
    EXPECT_EQ(controller->rebuildsOffMainThread, 0);
    EXPECT_EQ(older->dataController()->secret().value_or(QString()), "s3cret");
    EXPECT_EQ(alertMessages(), QStringList({ "Operation Completed Successfully." }));
    dismissAlerts();

    // A failure is logged: the overlay ends and no success is shown.
    controller->failRebuild = true;
    host->menuSelect(10);
    waitUntilIdle(before + 1);
    EXPECT_EQ(controller->rebuilds, 2);
    EXPECT_TRUE(alertMessages().isEmpty());
}

TEST_F(OlderExportMenuTest, AReloadDuringAnExportLeavesTheSnapshotToBeWritten)
{
    makeTable(3000);
    const QByteArray expected = bothWrite(ReportController::SaveCSV, "csv").first;
    // Lives as long as the search that reads it.
    bool narrowing = false;
    for (unsigned code : { ReportController::SaveCSV, ReportController::SaveXLS }) {
        const int before = host->hudShown;
        const QString name = code == ReportController::SaveCSV ? "reload.csv" : "reload.xls";
        older->setLastClickedButton(code);
        older->fileBrowseCompleted(documentsFile(name), nullptr);
        // The worker runs while the screen reloads, searches and loses its rows.
        for (int i = 0; i < 5; ++i)
            host->refreshView();
        narrowing = true;
        controller->filterRows("1", [&narrowing](const QVariant&) { return !narrowing; });
        controller->setRows({});
        waitUntilIdle(before);
        dismissAlerts();
        if (code == ReportController::SaveCSV) {
            EXPECT_EQ(readFile(documentsPath(name)), expected);
        } else {
            const auto book = testsupport::readWithFreexl(documentsPath(name));
            ASSERT_TRUE(book.ok()) << book.status;
            EXPECT_EQ(book.sheets.at(0).rows, 3002u);
        }
        narrowing = false;
        host->refreshView();
        ASSERT_EQ(controller->count(), 3001);
    }
}

TEST_F(OlderExportMenuTest, RemindersExportTwoColumnsWithTheDateRawInCsvAndShownInXlsAndPdf)
{
    const QDateTime rent(QDate(2026, 5, 1), QTime(9, 0), QTimeZone::utc());
    const QDateTime call(QDate(2026, 4, 2), QTime(17, 45), QTimeZone::utc());
    openReminders({ QVariantMap { { "Reminder", "Call, \"soon\"" }, { "Date", call } },
        QVariantMap { { "Reminder", "Pay rent" }, { "Date", rent } } });

    runWith(*remindersMenu, ReportController::SaveCSV, documentsFile("Reminders.csv"));
    EXPECT_EQ(readFile(documentsPath("Reminders.csv")),
        "Reminder,Date\n"
        "\"Call, \"\"soon\"\"\",2026-04-02 17:45:00 +0000\n"
        "Pay rent,2026-05-01 09:00:00 +0000\n");
    EXPECT_EQ(remindersMenu->snapshot().columnWidths, QList<double>({ 120, 80 }));
    EXPECT_EQ(remindersMenu->snapshot().title, "Reminders");

    runWith(*remindersMenu, ReportController::SaveXLS, documentsFile("Reminders.xls"));
    const auto book = testsupport::readWithFreexl(documentsPath("Reminders.xls"));
    ASSERT_TRUE(book.ok()) << book.status;
    const auto& sheet = book.sheets.at(0);
    ASSERT_EQ(sheet.rows, 3u);
    ASSERT_EQ(sheet.columns, 2u);
    EXPECT_EQ(sheet.at(0, 0).text, "Reminder");
    EXPECT_EQ(sheet.at(0, 1).text, "Date");
    EXPECT_EQ(sheet.at(1, 0).text, "Call, \"soon\"");
    EXPECT_EQ(sheet.at(1, 1).text, KivoDateUtils::getDateTimeString(call));
    EXPECT_EQ(sheet.at(2, 1).text, KivoDateUtils::getDateTimeString(rent));

    runWith(*remindersMenu, ReportController::SavePDF, documentsFile("Reminders.pdf"));
    const QString text = QString::fromUtf8(
        testsupport::runTool("pdftotext", { documentsPath("Reminders.pdf"), "-" }))
                             .simplified();
    EXPECT_TRUE(text.contains("Pay rent")) << text.toStdString();
    EXPECT_TRUE(text.contains(KivoDateUtils::getDateTimeString(rent).simplified()))
        << text.toStdString();
    EXPECT_FALSE(text.contains("2026-05-01")) << text.toStdString();

    // No active rows (a search that finds none): no PDF, and the overlay still ends.
    remindersController->filterRows("none", [](const QVariant&) { return false; });
    ASSERT_EQ(remindersController->count(), 0);
    runWith(*remindersMenu, ReportController::SavePDF, documentsFile("None.pdf"));
    EXPECT_FALSE(QFile::exists(documentsPath("None.pdf")));
    runWith(*remindersMenu, ReportController::SaveCSV, documentsFile("None.csv"));
    EXPECT_EQ(readFile(documentsPath("None.csv")), "Reminder,Date\n");
}

TEST_F(OlderExportMenuTest, ThePdfReportShowsTheCurrentMenusText)
{
    makeTable(12);
    const QDateTime before = QDateTime::currentDateTime();
    const auto [current, made] = bothWrite(ReportController::SavePDF, "pdf");
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_FALSE(made.isEmpty());
    // Each report shows when it was made: the two may fall in minutes apart.
    QStringList madeAt;
    for (QDateTime at = before; at <= after.addSecs(60); at = at.addSecs(60))
        madeAt << KivoDateUtils::getDateTimeString(at);
    // The columns are narrower, so a cell may wrap elsewhere: the same characters, the
    // same pages.
    auto characters = [&madeAt](const QString& path) {
        QString text = QString::fromUtf8(testsupport::runTool("pdftotext", { path, "-" }));
        const QRegularExpression space(QStringLiteral("\\s"));
        text.remove(space);
        for (QString time : madeAt)
            text.remove(time.remove(space));
        std::sort(text.begin(), text.end());
        return text;
    };
    const QString expected = characters(documentsPath("current.pdf"));
    EXPECT_GT(expected.size(), 500);
    EXPECT_EQ(characters(documentsPath("older.pdf")), expected);
    EXPECT_EQ(pdftest::pdfInfo(documentsPath("older.pdf")).pages,
        pdftest::pdfInfo(documentsPath("current.pdf")).pages);
}
