#include "ReportFixture.h"

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

    QPointer<RowDetailViewController> form;
};

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
