#include "ReportFixture.h"
#include "utilities/text/FormatLocale.h"

#include "model/ModelRegistry.h"
#include "utilities/store/StoreStack.h"

#include "common/ChildProcess.h"

#include <QThread>
#include <QTimeZone>
#include <unicode/ucal.h>

#include <cstdio>

using reporttest::FakeHost;
using reporttest::ReportTest;
using reporttest::TableController;

// An import killed with SIGKILL leaves all of its rows or none: the test runs the import
// in a child process (this same test binary, running only the child case below) and
// kills it while it commits, or after it has finished.
namespace {

constexpr int kRows = 100000;
const char kStoreVariable[] = "KIVOTAB_CRASH_STORE";
const char kCsvVariable[] = "KIVOTAB_CRASH_CSV";
const char kTableVariable[] = "KIVOTAB_CRASH_TABLE";
const char kCommitting[] = "KIVOTAB-COMMITTING";
const char kDone[] = "KIVOTAB-IMPORTED";

void announce(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Says on the standard output when the import's commit begins.
class AnnouncingDelegate : public KivoAppDelegate {
public:
    bool saveContext() override
    {
        announce(kCommitting);
        return KivoAppDelegate::saveContext();
    }
};

struct ImportCrashTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        addColumn("Name", TypeConstants::Text);
        addColumn("Amount", TypeConstants::Numeric);
        UserTemplate* table = addTable("Crash");
        tableId = table->id().toString();
        csvPath = QDir(FileManager::documentsDirectory()).filePath("many.csv");
        QFile csv(csvPath);
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        QByteArray text = "Name,Amount\n";
        for (int i = 0; i < kRows; ++i)
            text += QStringLiteral("Row %1 \u00e4,%2\n").arg(i).arg(i * 0.5).toUtf8();
        csv.write(text);
        csv.close();
        storePath = testsupport::homePath() + "/Kivotab.sqlite";
        // The child has the store to itself.
        StoreStack::install(nullptr);
    }

    // Runs the import in a child and kills it when it says `line` (after `delayMs`);
    // answers how many of the table's rows the store holds afterwards.
    int importAndKill(const char* line, int delayMs)
    {
        testsupport::ChildProcess child;
        child.setEnvironment(kStoreVariable, storePath);
        child.setEnvironment(kCsvVariable, csvPath);
        child.setEnvironment(kTableVariable, tableId);
        child.setEnvironment("QT_QPA_PLATFORM", "offscreen");
        EXPECT_TRUE(child.startTests("ImportCrashChild.ImportsUntilKilled")) << child.report();
        EXPECT_TRUE(child.waitForOutput(line, 240000)) << child.report();
        if (delayMs > 0)
            QThread::msleep(ulong(delayMs));
        child.kill();
        EXPECT_TRUE(child.killedBySignal()) << child.report();

        platform::Error error;
        StoreStack::install(StoreStack::open(storePath, {}, &error));
        EXPECT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
        const int stored = int(Rows::getRowFaults(tableId).size());
        StoreStack::install(nullptr);
        return stored;
    }

    QString tableId;
    QString csvPath;
    QString storePath;
};

} // namespace

TEST_F(ImportCrashTest, AKillDuringTheCommitLeavesAllRowsOrNone)
{
    const int stored = importAndKill(kCommitting, 30);
    RecordProperty("rowsLeft", stored);
    EXPECT_TRUE(stored == 0 || stored == kRows) << stored << " rows were left";
}

TEST_F(ImportCrashTest, AKillAfterTheImportKeepsEveryRow)
{
    EXPECT_EQ(importAndKill(kDone, 0), kRows);
}

// The child: imports the file into the table of the store it is given, says when it
// commits and when it has finished, then waits to be killed.
TEST(ImportCrashChild, ImportsUntilKilled)
{
    const QString store = qEnvironmentVariable(kStoreVariable);
    if (store.isEmpty())
        GTEST_SKIP() << "runs as the child of the ImportCrashTest cases";
    FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    UErrorCode status = U_ZERO_ERROR;
    ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"UTC"), &status);
    platform::ui::Application::shared().makeKeyAndVisible();
    AnnouncingDelegate delegate;
    ModelRegistry::registerClasses();
    platform::Error error;
    StoreStack::install(StoreStack::open(store, {}, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();

    UserTemplate* table = nullptr;
    for (UserTemplate* candidate : UserTemplate::getUserTemplatesAll()) {
        if (candidate->id().toString() == qEnvironmentVariable(kTableVariable))
            table = candidate;
    }
    ASSERT_TRUE(table);
    auto controller = std::make_shared<TableController>();
    controller->tableColumns = TemplateColumn::getColumns(table->template_id().toString());
    controller->table = table;
    auto navigation = std::make_unique<platform::ui::NavigationController>();
    auto* host = new FakeHost(controller);
    navigation->pushViewController(host, false);
    auto menu = GenericTemplateReportController::create(
        host, std::make_shared<GenericTemplateReportDataSource>(controller.get()));
    auto file = std::make_shared<FileInfo>();
    file->fullName = qEnvironmentVariable(kCsvVariable);
    file->name = "many.csv";
    menu->setLastClickedButton(ReportController::ImportCSV);
    menu->fileBrowseCompleted(file, nullptr);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 240000));
    announce(kDone);
    testsupport::waitUntil([] { return false; }, 120000);
    FAIL() << "the child was not killed";
}
