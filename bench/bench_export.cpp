// The export menu's CSV and XLS files of a user table of 100,000 rows x 10 columns, taken
// from a loaded rows screen (its rows as faults, as the grid holds them) to the file.
//
// CSV is set beside SQLite's own shell writing the same values from the same store with
// `-csv` (each column by json_extract over the stored `json` text), and, as a floor,
// beside `-csv` of a plain ten-column table holding the same values. XLS is set beside
// LibreOffice converting our CSV to a workbook (its profile warmed by a first run); it
// keeps at most 65,536 rows, so it does less than we do. Ratios below 1: we are faster.
//
// The older user-table menu (bound to the rows controller itself) exports the same rows in
// the same runs, beside the same references and beside the current menu's time.
#include "grid/RowObject.h"
#include "grid/TableDataController.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/LocalTimeZone.h"
#include "platform/ui/ViewController.h"
#include "reports/ExportImportDataController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/GenericTemplateReportDataSource.h"
#include "reports/ReportController.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUrl>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
using benchsupport::RowsPerCommit;
const QString Definition = QStringLiteral("5D1A7E33-2C4B-4E9F-A1B0-6C7D8E9F0A1B");

// The rows screen's data controller of one user table, as the export menu reads it.
class TableController : public TableDataController, public GenericTemplateDataControllerProtocol {
public:
    const QList<TemplateColumn*>& Columns() const override { return columns; }
    UserTemplate* userTemplate() const override { return table; }
    const Rows::Password& secret() const override { return password; }
    QStringList validateRow(const QVariantMap&) override { return {}; }
    void rebuildAllNotifications() override { }
    void loadData(const std::shared_ptr<Parent>&) override
    {
        QVariantList rows;
        for (Rows* row : Rows::getRowFaults(table->id().toString()))
            rows.append(RowObject::fromObject(row));
        setRows(rows);
    }

    QList<TemplateColumn*> columns;
    Rows::Password password;
    UserTemplate* table = nullptr;
};

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QStringList ids;
    std::shared_ptr<TableController> controller;
    // The rows screen, for its title.
    std::unique_ptr<platform::ui::ViewController> screen;
};

Fixture* fixture = nullptr;
double lastSnapshotSeconds = 0; // the main thread's share of the last export

QVariantMap rowValues(int i, QRandomGenerator& random)
{
    static const QStringList words { "amber", "birch", "cédar", "december", "ember", "fjord",
        "granite", "harbour", "indigo", "juniper", "kelp", "lumber", "meadow", "日本" };
    const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
    const QStringList& id = fixture->ids;
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(
        1600000000 + qint64(random.bounded(200000000u)), QTimeZone::utc());
    return { { id[0], QStringLiteral("%1, %2 %3").arg(word(), word()).arg(i) },
        { id[1],
            QStringLiteral("%1 \"%2\" %3\n%4 %5").arg(word(), word(), word(), word(), word()) },
        { id[2], word() }, { id[3], QStringLiteral("https://example.org/%1").arg(i) },
        { id[4], double(random.bounded(1000000u)) / 100 }, { id[5], int(random.bounded(500u)) },
        { id[6], moment }, { id[7], moment }, { id[8], moment },
        { id[9], random.bounded(2u) == 1 } };
}

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
    fixture->store = fixture->folder.filePath("Kivotab.sqlite");
    fixture->delegate = std::make_unique<KivoAppDelegate>();
    ModelRegistry::registerClasses();
    StoreStack::install(StoreStack::open(fixture->store, {}));
    auto controller = std::make_shared<TableController>();
    addTenColumns(Definition, controller->columns, fixture->ids);
    UserTemplate* table = UserTemplate::add(QStringLiteral("DB"));
    table->setTemplate_id(Definition);
    table->setName(QStringLiteral("Clients"));
    if (!table->saveUserTemplate())
        std::abort();
    controller->table = table;
    QRandomGenerator random(11);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(table->id().toString());
        row->updateData(rowValues(i, random), controller->columns, std::nullopt);
        row->setMtimestamp(ModelRegistry::now());
        KivoLib::insertEntity(row);
        if ((i + 1) % RowsPerCommit == 0 && !KivoLib::commit())
            std::abort();
    }
    if (!KivoLib::commit())
        std::abort();
    // A loaded rows screen: a fresh context, the rows fetched as faults.
    StoreStack::instance()->makeContext();
    controller->columns = TemplateColumn::getColumns(Definition);
    controller->table = UserTemplate::getUserTemplates(QStringLiteral("DB")).value(0);
    if (!controller->table)
        std::abort();
    controller->loadData(nullptr);
    fixture->screen = std::make_unique<platform::ui::ViewController>();
    fixture->screen->setTitle(QStringLiteral("Clients"));
    controller->setViewController(fixture->screen.get());
    fixture->controller = controller;
}

// The two menus of the rows screen: the current one over its data source, and the older
// one bound to the data controller.
enum class Menu { Current, Older };

// Ours: the menu's snapshot of the screen on the main thread, the file's bytes built from
// it, and the bytes saved, as Save does.
double exportFile(Menu menu, const QString& path, bool xls)
{
    QElapsedTimer timer;
    timer.start();
    std::shared_ptr<ReportProtocol> source;
    if (menu == Menu::Current)
        source = std::make_shared<GenericTemplateReportDataSource>(fixture->controller.get());
    else
        source = ExportImportDataController::create(fixture->controller.get())->reportDataSource();
    ReportController::Snapshot snapshot;
    snapshot.rowCount = source->reportRowsCount();
    snapshot.columns = source->reportColumns();
    snapshot.columnWidths = source->reportColumnWidths();
    snapshot.title = source->reportTitle();
    snapshot.rows = source->reportRowsSnapshot();
    lastSnapshotSeconds = secondsSince(timer);
    const QByteArray bytes
        = xls ? ReportController::toExcelData(snapshot) : ReportController::toCSV(snapshot);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return -1;
    return snapshot.rowCount == quint64(RowCount) ? secondsSince(timer) : -1;
}

// The shell writing the query's rows as CSV into the file; seconds, or -1 on failure.
double shellCsv(const QString& store, const QByteArray& query, const QString& path)
{
    QProcess shell;
    shell.setStandardOutputFile(path);
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), { QStringLiteral("-csv"), store });
    shell.write(query);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0 ? secondsSince(timer)
                                                                               : -1;
}

QByteArray jsonColumns()
{
    QByteArrayList columns;
    for (const QString& id : fixture->ids)
        columns << "json_extract(\"json\", '$.\"" + id.toUtf8() + "\"')";
    return columns.join(", ");
}

QByteArray jsonQuery()
{
    return "SELECT " + jsonColumns() + " FROM \"Rows\" WHERE \"usertemplate_id\" = '"
        + fixture->controller->table->id().toString().toUtf8() + "' ORDER BY \"order\";\n";
}

// A plain table of ten real columns with the same values, in a store of its own.
QString plainStore()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    path = fixture->folder.filePath("plain.sqlite");
    QByteArray script = "ATTACH '" + fixture->store.toUtf8()
        + "' AS k;\nCREATE TABLE t (c0, c1, c2, c3, c4, c5, c6, c7, c8, c9);\n"
          "INSERT INTO t SELECT "
        + jsonColumns() + " FROM k.\"Rows\" ORDER BY \"order\";\n";
    if (benchsupport::runShell(path, script) < 0)
        path.clear();
    return path;
}

// The ratios are of the sums over the iterations: other work on the machine moves single
// runs of either side.
void ExportCsv(benchmark::State& state)
{
    setUp();
    const QString plain = plainStore();
    double ours = 0;
    double shell = 0;
    double floor = 0;
    int runs = 0;
    for (auto _ : state) {
        const double one = exportFile(Menu::Current, fixture->folder.filePath("ours.csv"), false);
        const double reference
            = shellCsv(fixture->store, jsonQuery(), fixture->folder.filePath("shell.csv"));
        const double plainOne = plain.isEmpty()
            ? -1
            : shellCsv(plain, "SELECT * FROM t;\n", fixture->folder.filePath("plain.csv"));
        if (one < 0 || reference < 0 || plainOne < 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(one);
        ours += one;
        shell += reference;
        floor += plainOne;
        ++runs;
    }
    if (runs == 0)
        return;
    state.counters["ours_ms"] = ours / runs * 1000;
    state.counters["sqlite3_ms"] = shell / runs * 1000;
    state.counters["plain_ms"] = floor / runs * 1000;
    state.counters["ratio"] = ours / shell;
    state.counters["ratio_plain"] = ours / floor;
    state.counters["snapshot_ms"] = lastSnapshotSeconds * 1000;
}

// LibreOffice converting the CSV file to a workbook in the folder, with the profile made
// by its first run: seconds, or -1 on failure.
double officeConvert(const QString& csv)
{
    const QString profile = QUrl::fromLocalFile(fixture->folder.filePath("lo-profile")).toString();
    const QString out = fixture->folder.filePath("lo");
    const QString made = QDir(out).filePath(QFileInfo(csv).completeBaseName() + ".xls");
    QFile::remove(made);
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    office.start(QStringLiteral("soffice"),
        { QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
            QStringLiteral("--convert-to"), QStringLiteral("xls"), QStringLiteral("--outdir"), out,
            csv });
    if (!office.waitForFinished(600000) || office.exitCode() != 0)
        return -1.0;
    return QFile::exists(made) ? secondsSince(timer) : -1.0;
}

void ExportXls(benchmark::State& state)
{
    setUp();
    const QString csv = fixture->folder.filePath("ours.csv");
    if (exportFile(Menu::Current, csv, false) < 0) {
        state.SkipWithError("the CSV export failed");
        return;
    }
    // The first run makes the profile.
    officeConvert(csv);
    for (auto _ : state) {
        const double ours = exportFile(Menu::Current, fixture->folder.filePath("ours.xls"), true);
        const double office = officeConvert(csv);
        if (ours < 0 || office < 0) {
            state.SkipWithError("a run failed");
            break;
        }
        state.SetIterationTime(ours);
        state.counters["ours_ms"] = ours * 1000;
        state.counters["soffice_ms"] = office * 1000;
        state.counters["ratio"] = ours / office;
        state.counters["snapshot_ms"] = lastSnapshotSeconds * 1000;
        state.counters["times_faster"] = office / ours;
    }
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The older menu's run of one format, beside the current menu's run and the reference
// made in the same iteration. The figures are medians over the iterations; each ratio is
// the median of the iterations' own ratios, so that load moving between iterations
// moves both sides of it alike. The two menus take turns at going first.
struct OlderRuns {
    std::vector<double> older, current, reference, toReference, toCurrent;

    bool add(benchmark::State& state, double olderOne, double currentOne, double referenceOne)
    {
        if (olderOne < 0 || currentOne < 0 || referenceOne < 0) {
            state.SkipWithError("a run failed");
            return false;
        }
        state.SetIterationTime(olderOne);
        older.push_back(olderOne);
        current.push_back(currentOne);
        reference.push_back(referenceOne);
        toReference.push_back(olderOne / referenceOne);
        toCurrent.push_back(olderOne / currentOne);
        return true;
    }

    void report(benchmark::State& state, const char* referenceName) const
    {
        if (older.empty())
            return;
        state.counters["ours_ms"] = median(older) * 1000;
        state.counters["current_ms"] = median(current) * 1000;
        state.counters[referenceName] = median(reference) * 1000;
        state.counters["ratio"] = median(toReference);
        state.counters["ratio_current"] = median(toCurrent);
    }

    // How many times faster than the reference: the median of the iterations' own.
    double timesFaster() const
    {
        std::vector<double> inverse;
        for (double ratio : toReference)
            inverse.push_back(1 / ratio);
        return median(inverse);
    }
};

// Both menus' exports of one format, the older first on even iterations.
std::pair<double, double> bothMenus(int iteration, const QString& extension, bool xls)
{
    const QString olderPath = fixture->folder.filePath("older." + extension);
    const QString currentPath = fixture->folder.filePath("current." + extension);
    if (iteration % 2 == 0) {
        const double older = exportFile(Menu::Older, olderPath, xls);
        return { older, exportFile(Menu::Current, currentPath, xls) };
    }
    const double current = exportFile(Menu::Current, currentPath, xls);
    return { exportFile(Menu::Older, olderPath, xls), current };
}

void OlderMenuExportCsv(benchmark::State& state)
{
    setUp();
    OlderRuns runs;
    int iteration = 0;
    for (auto _ : state) {
        const auto [older, current] = bothMenus(iteration++, "csv", false);
        const double shell
            = shellCsv(fixture->store, jsonQuery(), fixture->folder.filePath("shell.csv"));
        if (!runs.add(state, older, current, shell))
            return;
    }
    runs.report(state, "sqlite3_ms");
}

void OlderMenuExportXls(benchmark::State& state)
{
    setUp();
    const QString csv = fixture->folder.filePath("older.csv");
    if (exportFile(Menu::Older, csv, false) < 0) {
        state.SkipWithError("the CSV export failed");
        return;
    }
    // The first run makes the profile, when no run before made it.
    officeConvert(csv);
    OlderRuns runs;
    int iteration = 0;
    for (auto _ : state) {
        const auto [older, current] = bothMenus(iteration++, "xls", true);
        if (!runs.add(state, older, current, officeConvert(csv)))
            return;
    }
    runs.report(state, "soffice_ms");
    if (!runs.older.empty())
        state.counters["times_faster"] = runs.timesFaster();
}

} // namespace

BENCHMARK(ExportCsv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExportXls)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OlderMenuExportCsv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(11);
BENCHMARK(OlderMenuExportXls)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] {
        if (fixture)
            fixture->controller.reset();
        if (fixture)
            fixture->screen.reset();
        StoreStack::install(nullptr);
        delete fixture;
    });
}
