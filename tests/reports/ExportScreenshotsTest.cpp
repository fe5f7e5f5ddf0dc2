#include "ReportFixture.h"

#include "platform/ui/Device.h"
#include "platform/ui/Window.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUrl>

using reporttest::ReportTest;

namespace {

QString documents(const QString& name)
{
    return QDir(FileManager::documentsDirectory()).filePath(name);
}

// A small table of clients on a tablet's window, for pictures a person looks at.
struct ExportScreenshots : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));
        addColumn("Name", TypeConstants::Text);
        addColumn("Amount", TypeConstants::Currency);
        addColumn("Paid", TypeConstants::YesNo);
        addColumn("Due", TypeConstants::Date);
        table = addTable("Clients");
        const QDateTime due(QDate(2026, 3, 14), QTime(12, 0), QTimeZone::utc());
        storeRows(table,
            { { { "Name", "Zoë Ærøskøbing" }, { "Amount", 1234.5 }, { "Paid", true },
                  { "Due", due } },
                { { "Name", "Jürgen \"JJ\" Weiß" }, { "Amount", 20 }, { "Paid", false },
                    { "Due", due.addDays(30) } },
                { { "Name", "山田 太郎 😀" }, { "Amount", 0.5 }, { "Paid", true } },
                { { "Name", "Ana, María" }, { "Amount", -75.25 } } });
        open(table);
        platform::ui::Application::shared().makeKeyAndVisible();
        testsupport::processEvents(30);
    }

    static bool saveShot(const QString& name)
    {
        auto* window = platform::ui::Application::shared().keyWindow();
        if (!window)
            return false;
        window->layoutIfNeeded();
        testsupport::processEvents(40);
        return window->snapshot().save(testsupport::outputPath(name));
    }

    UserTemplate* table = nullptr;
};

} // namespace

TEST_F(ExportScreenshots, TheSavedFileAlertOverTheRowsScreen)
{
    run(ReportController::SaveCSV, documentsFile("Clients.csv"));
    ASSERT_EQ(platform::ui::AlertView::visibleAlerts().size(), 1);
    EXPECT_TRUE(saveShot("export-saved-alert.png"));
}

TEST_F(ExportScreenshots, TheImportLogAlertAfterAFailedImport)
{
    const auto file = documentsFile("import.csv");
    QFile out(file->fullName);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("Name,Amount,Paid,Due\nAnn,1,1,\n\"Bob,2\n");
    out.close();
    run(ReportController::ImportCSV, file);
    ASSERT_EQ(platform::ui::AlertView::visibleAlerts().size(), 1);
    EXPECT_TRUE(saveShot("export-import-log-alert.png"));
}

// LibreOffice draws the saved workbook as it prints it (its headless build has no picture
// filter for sheets, so through its PDF): a picture of the first page.
TEST_F(ExportScreenshots, TheWorkbookAsLibreOfficeDrawsIt)
{
    run(ReportController::SaveXLS, documentsFile("Clients.xls"));
    dismissAlerts();
    QTemporaryDir profile;
    QTemporaryDir out;
    int exitCode = -1;
    testsupport::runTool("soffice",
        { "-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(), "--headless",
            "--convert-to", "pdf", "--outdir", out.path(), documents("Clients.xls") },
        {}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    const QString pdf = QDir(out.path()).filePath("Clients.pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    const QString picture = QDir(out.path()).filePath("Clients");
    testsupport::runTool("pdftoppm",
        { "-png", "-r", "110", "-f", "1", "-l", "1", "-singlefile", pdf, picture }, {}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    const QImage image(picture + ".png");
    ASSERT_FALSE(image.isNull());
    // Some ink on the page: the header and the rows.
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128;
    }
    EXPECT_GT(dark, 50);
    EXPECT_TRUE(image.save(testsupport::outputPath("export-workbook-libreoffice.png")));
}
