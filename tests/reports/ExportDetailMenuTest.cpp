#include "PdfTestSupport.h"
#include "ReportFixture.h"

#include "common/FreexlWorkbook.h"

#include "forms/DetailExportMenu.h"
#include "forms/RowDetailViewController.h"
#include "platform/MutableDictionary.h"
#include "reports/DetailReportDataSource.h"
#include "reports/ExportDetailDataController.h"

#include <QPointer>

using reporttest::ReportTest;

namespace {

// A row display opened from the rows screen of a three-column table, its Share wired to
// the row export menu.
struct ExportDetailMenuTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        addColumn("Name", TypeConstants::Text);
        addColumn("Amount", TypeConstants::Numeric);
        addColumn("Paid", TypeConstants::YesNo);
        open(addTable("Clients"));
        ExportDetailDataController::install();
        form = new RowDetailViewController();
        form->setTitle(QStringLiteral("Ann"));
        form->setCallingViewController(host);
    }

    void TearDown() override
    {
        platform::dispatch::waitForGlobal();
        testsupport::processEvents(20);
        delete form.data();
        DetailExportMenu::setFactory({});
        ReportTest::TearDown();
    }

    ExportDetailDataController* exportMenu() const
    {
        return dynamic_cast<ExportDetailDataController*>(form->exportDetailDataController());
    }

    // Saves the menu's row as CSV in Documents and returns the file's text.
    QString saveCSV(const QString& name)
    {
        ReportController* report = exportMenu()->reportController();
        const int before = host->hudShown;
        report->setLastClickedButton(ReportController::SaveCSV);
        report->fileBrowseCompleted(documentsFile(name), nullptr);
        waitUntilIdle(before);
        dismissAlerts();
        return QString::fromUtf8(readFile(QDir(FileManager::documentsDirectory()).filePath(name)));
    }

    // Saves the menu's row through the action of the code in Documents; answers the path.
    QString save(unsigned code, const QString& name)
    {
        ReportController* report = exportMenu()->reportController();
        const int before = host->hudShown;
        report->setLastClickedButton(code);
        report->fileBrowseCompleted(documentsFile(name), nullptr);
        waitUntilIdle(before);
        return QDir(FileManager::documentsDirectory()).filePath(name);
    }

    QPointer<RowDetailViewController> form;
};

// Python's csv module reading a file: one JSON list per line.
const char* const kPythonCsv = R"(import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    for line in csv.reader(f):
        print(json.dumps(line))
)";

TEST_F(ExportDetailMenuTest, ShareOpensTheGridsMenuOverTheShownRow)
{
    form->setCurrentRow(QVariantMap {
        { key("Name"), "Ann, \"A\"" }, { key("Amount"), 12.5 }, { key("Paid"), true } });
    form->share();
    ASSERT_NE(exportMenu(), nullptr);
    ReportController* report = exportMenu()->reportController();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->mainGridViewController(), host);
    EXPECT_EQ(host->menuTitle, "Options");
    EXPECT_EQ(host->menuTexts,
        QStringList({ "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF", "Mail XLS" }));

    auto source = std::dynamic_pointer_cast<DetailReportDataSource>(report->reportDataSource());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->reportTitle(), "Ann");
    ASSERT_EQ(source->reportRowsCount(), 3u);
    EXPECT_EQ(source->reportRow(0).value(DetailReportDataSource::ValueKey), "Ann, \"A\"");
    EXPECT_EQ(source->reportRowFormatted(2).value(DetailReportDataSource::ColumnKey), "Paid");

    EXPECT_EQ(saveCSV("row.csv"), "Column,Value\nName,\"Ann, \"\"A\"\"\"\nAmount,12.5\nPaid,1\n");
}

TEST_F(ExportDetailMenuTest, OneMenuServesEveryShareWithTheRowAsItIsThen)
{
    // The form may hold its record as a shared dictionary that its elements write into.
    platform::MutableDictionary record(QVariantMap { { key("Name"), "Before" } });
    form->setCurrentRow(QVariant::fromValue(record));
    form->share();
    DetailExportMenu* first = form->exportDetailDataController();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(saveCSV("first.csv"), "Column,Value\nName,Before\nAmount,\nPaid,\n");

    record.setValue(key("Name"), QStringLiteral("After"));
    record.setValue(key("Amount"), 3);
    host->menuTexts.clear();
    form->share();
    EXPECT_EQ(form->exportDetailDataController(), first);
    EXPECT_EQ(host->menuTexts.size(), 6);
    EXPECT_EQ(saveCSV("second.csv"), "Column,Value\nName,After\nAmount,3\nPaid,\n");
}

TEST_F(ExportDetailMenuTest, PdfShowsThePairsInOrderWithAnEmptyValueForAMissingOne)
{
    storeRows(host->controller->table, { { { "Name", "Ann" } } });
    host->refreshView();
    form->setCurrentRow(QVariantMap { { key("Name"), "Ann <&> {{x}}" }, { key("Paid"), true } });
    form->share();
    const QString path = save(ReportController::SavePDF, "row.pdf");
    EXPECT_EQ(alertMessages(), QStringList({ "Successfully Saved." }));
    const auto info = pdftest::pdfInfo(path);
    EXPECT_EQ(info.pages, 1);
    const QStringList lines = pdftest::pdfLines(path).value(1);
    const qsizetype header = lines.indexOf("Column Value");
    ASSERT_GE(header, 0) << lines.join('\n').toStdString();
    auto source = std::dynamic_pointer_cast<DetailReportDataSource>(
        exportMenu()->reportController()->reportDataSource());
    EXPECT_EQ(lines.mid(header + 1, 3),
        QStringList({ "Name Ann <&> {{x}}",
            ("Amount " + source->reportRowFormatted(1).value("Value").toString()).trimmed(),
            "Paid " + source->reportRowFormatted(2).value("Value").toString() }));
    EXPECT_EQ(lines.last(), "1");
    // The single-row report, for a person to look at.
    testsupport::runTool("pdftoppm",
        { "-png", "-r", "60", "-singlefile", path, testsupport::outputPath("pdf-row-report") });
}

TEST_F(ExportDetailMenuTest, NoPdfForARowWhoseGridShowsNoRows)
{
    // The grid's rows are empty (as after a search that found nothing).
    ASSERT_TRUE(host->controller->activeRows().isEmpty());
    form->setCurrentRow(QVariantMap { { key("Name"), "Ann" } });
    form->share();
    const QString path = save(ReportController::SavePDF, "none.pdf");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(alertMessages().isEmpty());
    EXPECT_TRUE(host->idle());
}

TEST_F(ExportDetailMenuTest, ARowOfManyColumnsSpansPagesInEveryFormat)
{
    for (int c = 4; c <= 150; ++c)
        addColumn(QStringLiteral("Column %1").arg(c, 3, 10, QLatin1Char('0')), TypeConstants::Text);
    host->controller->tableColumns = columns;
    storeRows(host->controller->table, { { { "Name", "Ann" } } });
    host->refreshView();
    QVariantMap row;
    for (TemplateColumn* column : columns)
        row.insert(column->id().toString(), "v-" + column->name().toString().right(3));
    form->setCurrentRow(row);
    form->share();

    // CSV, read by Python: the header and a line per column.
    const QString csv = save(ReportController::SaveCSV, "row.csv");
    dismissAlerts();
    int exitCode = -1;
    const QStringList read = QString::fromUtf8(
        testsupport::runTool("python3", { "-c", kPythonCsv, csv }, {}, &exitCode))
                                 .split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(exitCode, 0);
    ASSERT_EQ(read.size(), 151);
    EXPECT_EQ(read[0], "[\"Column\", \"Value\"]");
    EXPECT_EQ(read[150], "[\"Column 150\", \"v-150\"]");

    // XLS, read by freexl.
    const QString xls = save(ReportController::SaveXLS, "row.xls");
    dismissAlerts();
    const auto book = testsupport::readWithFreexl(xls);
    ASSERT_TRUE(book.ok());
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].rows, 151u);
    EXPECT_EQ(book.sheets[0].at(0, 1).text, "Value");
    EXPECT_EQ(book.sheets[0].at(150, 0).text, "Column 150");
    EXPECT_EQ(book.sheets[0].at(150, 1).text, "v-150");

    // PDF: every pair in order, over several pages, the last holding the rest.
    const QString pdf = save(ReportController::SavePDF, "row.pdf");
    const auto info = pdftest::pdfInfo(pdf);
    ASSERT_GE(info.pages, 2);
    const auto lines = pdftest::pdfLines(pdf);
    QStringList pairs;
    QList<qsizetype> perPage;
    for (int page = 1; page <= info.pages; ++page) {
        const QStringList text = lines.value(page);
        const qsizetype header = text.indexOf("Column Value");
        ASSERT_GE(header, 0) << page;
        EXPECT_EQ(text.last(), QString::number(page));
        perPage << text.size() - header - 2;
        pairs << text.mid(header + 1, text.size() - header - 2);
    }
    ASSERT_EQ(pairs.size(), 150);
    EXPECT_EQ(pairs.first(), "Name v-ame");
    EXPECT_EQ(pairs.last(), "Column 150 v-150");
    for (qsizetype page = 1; page + 1 < perPage.size(); ++page)
        EXPECT_EQ(perPage[page], perPage[1]);
    EXPECT_LE(perPage.last(), perPage[1]);
}

TEST_F(ExportDetailMenuTest, NothingOpensWithoutACallingGrid)
{
    form->setCallingViewController(nullptr);
    form->setCurrentRow(QVariantMap { { key("Name"), "Ann" } });
    form->share();
    ASSERT_NE(exportMenu(), nullptr);
    EXPECT_EQ(exportMenu()->reportController(), nullptr);
    EXPECT_TRUE(host->menuTexts.isEmpty());
}

} // namespace
