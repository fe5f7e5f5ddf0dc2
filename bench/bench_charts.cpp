// Charts of a user table of 100,000 rows: from plotting a definition to the chart screen's
// first paint, for bar, line and pie charts grouped by a category of 50 names and, monthly,
// by a date over 50 months, of a plain and a protected table, and of a table whose every
// row is its own category. Each figure is printed beside SQLite's own shell grouping the
// same store's rows (json_extract, SUM, COUNT, GROUP BY) in the same run, as a ratio, with
// the paint alone, and whether the counts and sums (to the cent) agree with the shell's.
#include "grid/TableDataController.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/plot/Theme.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/charts/BaseChart.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartHostViewController.h"
#include "reports/charts/ChartHostingView.h"
#include "reports/charts/ChartInfo.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/LocalizedStrings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
const QString Definition = QStringLiteral("4C1D2E3F-5A6B-4C7D-8E9F-0A1B2C3D4E5F");
const QString Password = QStringLiteral("bench password");

// A user table's rows screen as the chart builder sees it.
class TableRows : public TableDataController, public GenericTemplateDataControllerProtocol {
public:
    const QList<TemplateColumn*>& Columns() const override { return columns; }
    UserTemplate* userTemplate() const override { return table; }
    const Rows::Password& secret() const override { return password; }
    QStringList validateRow(const QVariantMap&) override { return {}; }
    void rebuildAllNotifications() override { }

    QList<TemplateColumn*> columns;
    UserTemplate* table = nullptr;
    Rows::Password password;
};

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QList<TemplateColumn*> columns;
    QStringList ids;
    // Table ids: each run reads in a fresh context, so no table object outlives one.
    QString plain;
    QString locked;
    QString distinct;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    platform::ui::ViewController* grid = nullptr;
};

Fixture* fixture = nullptr;

// The benchmark table's row with a category of 50 names and a day in one of 50 months; or,
// for the distinct table, a category of its own.
QVariantMap rowValues(int i, QRandomGenerator& random, bool distinct)
{
    QVariantMap values = tenColumnRow(fixture->ids, i, random);
    values.insert(fixture->ids[2],
        distinct ? QStringLiteral("category %1").arg(i, 6, 10, QChar(u'0'))
                 : QStringLiteral("category %1").arg(random.bounded(50), 2, 10, QChar(u'0')));
    const QDate day = QDate(2020, 1, 1).addMonths(random.bounded(50)).addDays(random.bounded(28));
    values.insert(fixture->ids[6], QDateTime(day, QTime(random.bounded(24), 0), QTimeZone::utc()));
    return values;
}

QString addTable(const QString& name, const Rows::Password& password, bool distinct)
{
    UserTemplate* table = UserTemplate::add(QStringLiteral("DB"));
    table->setTemplate_id(Definition);
    table->setName(name);
    table->setIsprotected(password.has_value());
    if (!table->saveUserTemplate())
        qFatal("The benchmark's table could not be saved");
    QRandomGenerator random(7);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(table->id().toString());
        row->updateData(rowValues(i, random, distinct), fixture->columns, password);
        KivoLib::insertEntity(row);
        if ((i + 1) % benchsupport::RowsPerCommit == 0 && !KivoLib::commit())
            qFatal("The benchmark's rows could not be stored");
    }
    if (!KivoLib::commit())
        qFatal("The benchmark's rows could not be stored");
    return table->id().toString();
}

UserTemplate* tableWithId(const QString& id)
{
    for (UserTemplate* table : UserTemplate::getUserTemplates(QStringLiteral("DB"))) {
        if (table->id().toString() == id)
            return table;
    }
    return nullptr;
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
    addTenColumns(Definition, fixture->columns, fixture->ids);
    fixture->plain = addTable(QStringLiteral("Plain"), std::nullopt, false);
    fixture->locked = addTable(QStringLiteral("Locked"), Password, false);
    fixture->distinct = addTable(QStringLiteral("Distinct"), std::nullopt, true);
    platform::ui::Animation::setInstant(true);
    auto& application = platform::ui::Application::shared();
    application.makeKeyAndVisible();
    fixture->navigation = std::make_unique<platform::ui::NavigationController>();
    fixture->grid = new platform::ui::ViewController();
    fixture->navigation->pushViewController(fixture->grid, false);
    application.setRootViewController(fixture->navigation.get());
    QCoreApplication::processEvents();
}

QByteArray jsonPath(int column)
{
    return "json_extract(\"json\", '$.\"" + fixture->ids[column].toUtf8() + "\"')";
}

// The shell's grouping of the plain table's rows by the category or the month: its time,
// and its lines ("key|sum|count").
double shellGroups(const QString& table, bool monthly, QList<QByteArray>* lines)
{
    const QByteArray key = monthly
        ? "strftime('%Y-%m', " + jsonPath(6) + ", 'unixepoch', 'localtime')"
        : jsonPath(2);
    const QByteArray query = "SELECT " + key + ", SUM(" + jsonPath(4) + "), COUNT(*) FROM \"Rows\" "
        + "WHERE \"usertemplate_id\" = '" + table.toUtf8() + "' GROUP BY 1;\n";
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), { fixture->store });
    shell.write(query);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double seconds = secondsSince(timer);
    const QByteArray output = shell.readAllStandardOutput();
    if (lines)
        *lines = output.split('\n');
    if (shell.exitCode() != 0 || output.isEmpty()) {
        fprintf(stderr, "sqlite3: %s\n", shell.readAllStandardError().constData());
        return -1;
    }
    return seconds;
}

struct Run {
    double seconds = -1;
    double paintMs = 0;
    std::shared_ptr<ChartInfo> info;
};

// Ours: the definition plotted as the form's button does, until the chart screen has
// painted its chart once; the screen is left again afterwards.
Run plot(const QString& table, const Rows::Password& password, const QString& type, bool monthly,
    const QString& function = LocalizedStrings::Sum())
{
    auto rows = std::make_shared<TableRows>();
    rows->columns = fixture->columns;
    rows->password = password;
    const QVariantMap definition { { "xaxis", monthly ? "Day" : "Category" }, { "yaxis", "Amount" },
        { "type", type }, { "function", function },
        { "grouping", monthly ? LocalizedStrings::Monthly() : LocalizedStrings::None() },
        { "theme", platform::plot::Theme::PlainWhite } };
    Run run;
    // A context that holds nothing yet, as after opening the table.
    StoreStack::instance()->makeContext();
    rows->columns = TemplateColumn::getColumns(Definition);
    rows->table = tableWithId(table);
    QElapsedTimer timer;
    timer.start();
    ChartDataController builder(rows.get());
    run.info = builder.buildChart(definition, nullptr);
    auto chart = ChartDataController::chartForType(type, run.info);
    if (!chart)
        return run;
    auto* screen = new ChartHostViewController();
    fixture->navigation->pushViewController(screen, false);
    screen->setPlotItem(chart);
    ChartHostingView* view = chart->defaultLayerHostingView();
    if (!view)
        return run;
    const QImage painted = view->grab().toImage();
    run.seconds = secondsSince(timer);
    run.paintMs = view->lastPaintMilliseconds();
    benchmark::DoNotOptimize(painted.constBits());
    fixture->navigation->popViewController(false);
    QCoreApplication::processEvents();
    return run;
}

// Whether our counts and sums are the shell's, the sums to the cent.
bool agrees(const QString& table, const Rows::Password& password, bool monthly,
    const QList<QByteArray>& lines)
{
    QMap<QByteArray, QPair<qint64, qint64>> shell; // key: cents, count
    for (const QByteArray& line : lines) {
        const QList<QByteArray> parts = line.split('|');
        if (parts.size() == 3)
            shell.insert(parts[0], { qRound64(parts[1].toDouble() * 100), parts[2].toLongLong() });
    }
    const Run sums = plot(table, password, LocalizedStrings::Bar(), monthly);
    const Run counts
        = plot(table, password, LocalizedStrings::Bar(), monthly, LocalizedStrings::Count());
    if (!sums.info || !counts.info || sums.info->chartData.size() != shell.size()
        || counts.info->chartData.size() != shell.size()) {
        fprintf(stderr, "%lld groups, the shell's %lld\n",
            sums.info ? (long long)sums.info->chartData.size() : -1LL, (long long)shell.size());
        return false;
    }
    // Both list the groups in the same order: categories by name, months in time.
    const QList<QByteArray> keys = shell.keys();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const auto [cents, count] = shell.value(keys[i]);
        if (qRound64(sums.info->chartData[i]->value * 100) != cents
            || qint64(counts.info->chartData[i]->value) != count) {
            fprintf(stderr, "%s: shell %lld cents in %lld rows, ours %s: %.2f in %.0f\n",
                keys[i].constData(), cents, count, qPrintable(sums.info->chartData[i]->label),
                sums.info->chartData[i]->value, counts.info->chartData[i]->value);
            return false;
        }
    }
    return true;
}

void measure(benchmark::State& state, const QString& table, const Rows::Password& password,
    const QString& type, bool monthly)
{
    setUp();
    QList<QByteArray> lines;
    for (auto _ : state) {
        const Run run = plot(table, password, type, monthly);
        // A protected table's rows are the plain one's, encrypted: the shell reads those.
        const QString shown = table == fixture->distinct ? table : fixture->plain;
        const double reference = shellGroups(shown, monthly, &lines);
        if (benchsupport::report(state, run.seconds, reference)) {
            state.counters["paint_ms"] = run.paintMs;
            state.counters["points"] = double(run.info ? run.info->chartData.size() : 0);
        }
    }
    state.counters["agrees"] = agrees(table, password, monthly, lines) ? 1 : 0;
}

void BarByCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Bar(), false);
}
void LineByCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Line(), false);
}
void PieByCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Pie(), false);
}
void BarMonthly(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Bar(), true);
}
void LineMonthly(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Line(), true);
}
void PieMonthly(benchmark::State& state)
{
    measure(state, (setUp(), fixture->plain), std::nullopt, LocalizedStrings::Pie(), true);
}
void BarByCategoryProtected(benchmark::State& state)
{
    measure(state, (setUp(), fixture->locked), Password, LocalizedStrings::Bar(), false);
}
void LineMonthlyProtected(benchmark::State& state)
{
    measure(state, (setUp(), fixture->locked), Password, LocalizedStrings::Line(), true);
}
void PieByCategoryProtected(benchmark::State& state)
{
    measure(state, (setUp(), fixture->locked), Password, LocalizedStrings::Pie(), false);
}
void BarEveryRowItsOwnCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->distinct), std::nullopt, LocalizedStrings::Bar(), false);
}
void LineEveryRowItsOwnCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->distinct), std::nullopt, LocalizedStrings::Line(), false);
}
void PieEveryRowItsOwnCategory(benchmark::State& state)
{
    measure(state, (setUp(), fixture->distinct), std::nullopt, LocalizedStrings::Pie(), false);
}

} // namespace

#define CHART_BENCHMARK(name)                                                                      \
    BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
CHART_BENCHMARK(BarByCategory);
CHART_BENCHMARK(LineByCategory);
CHART_BENCHMARK(PieByCategory);
CHART_BENCHMARK(BarMonthly);
CHART_BENCHMARK(LineMonthly);
CHART_BENCHMARK(PieMonthly);
CHART_BENCHMARK(BarByCategoryProtected);
CHART_BENCHMARK(LineMonthlyProtected);
CHART_BENCHMARK(PieByCategoryProtected);
// A point per row: one run each, as it is long.
#define LONG_CHART_BENCHMARK(name)                                                                 \
    BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)
LONG_CHART_BENCHMARK(BarEveryRowItsOwnCategory);
LONG_CHART_BENCHMARK(LineEveryRowItsOwnCategory);
LONG_CHART_BENCHMARK(PieEveryRowItsOwnCategory);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] {
        if (fixture) {
            fixture->navigation.reset();
            platform::ui::Application::shared().reset();
        }
        StoreStack::install(nullptr);
        delete fixture;
    });
}
