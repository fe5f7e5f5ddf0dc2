// A user table of 100,000 rows x 10 columns through the row model: adding the rows,
// loading and decoding them (plain and protected), filtering with "Contains" and sorting
// by a column. Each figure is printed beside SQLite's own shell doing the same work on
// the same store file in the same run (reading, filtering with json_extract/LIKE and
// ordering by json_extract over the same `json` column), as a ratio. The memory of every row
// fetched with its stored text is printed over that text's bytes.
#include "model/FilterExtended.h"
#include "model/ModelRegistry.h"
#include "model/RowDecoder.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/LocalTimeZone.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/LocalizedStrings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <memory>

namespace {

using benchsupport::runShell;
using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
using benchsupport::RowsPerCommit;
const QString Definition = QStringLiteral("7A3E9C21-5B4D-4F68-8E0A-1C2B3D4E5F60");
const QString PlainTable = QStringLiteral("1B2C3D4E-5F60-4A7B-8C9D-0E1F2A3B4C5D");
const QString ProtectedTable = QStringLiteral("2C3D4E5F-6071-4B8C-9DAE-1F2A3B4C5D6E");
const QString Password = QStringLiteral("bench password");
const QString Needle = QStringLiteral("ember");

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QList<TemplateColumn*> columns;
    QStringList ids;
    double addSeconds = -1;
    double addShellSeconds = -1;
};

Fixture* fixture = nullptr;
double lastFetchSeconds = 0; // the fetch (with filter and sort) of the last load

// Ten columns of the kinds tables hold.
void makeColumns()
{
    addTenColumns(Definition, fixture->columns, fixture->ids);
}

QVariantMap rowValues(int i, QRandomGenerator& random)
{
    return tenColumnRow(fixture->ids, i, random);
}

// Ours: every row made, given its values and stored, committing every few thousand.
double addRows(const QString& table, const std::optional<QString>& password)
{
    QRandomGenerator random(7);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(table);
        row->updateData(rowValues(i, random), fixture->columns, password);
        row->setMtimestamp(ModelRegistry::now());
        KivoLib::insertEntity(row);
        if ((i + 1) % RowsPerCommit == 0 && !KivoLib::commit())
            return -1;
    }
    return secondsSince(timer);
}

// The shell inserting the same texts into a table of the same shape in one transaction.
double addRowsShell(const QString& path)
{
    QByteArray script = "PRAGMA journal_mode=WAL;\nPRAGMA synchronous=FULL;\n"
                        "CREATE TABLE \"Rows\" (\"_pk\" INTEGER PRIMARY KEY, \"ctimestamp\" REAL, "
                        "\"id\" TEXT, \"json\" TEXT, \"mtimestamp\" REAL, \"order\" INTEGER, "
                        "\"usertemplate_id\" TEXT);\n"
                        "CREATE INDEX \"Rows_t\" ON \"Rows\" (\"usertemplate_id\", \"order\");\n"
                        "BEGIN;\n";
    const auto rows = Rows::getRows(PlainTable, fixture->columns, {}, {}, std::nullopt);
    for (Rows* row : rows) {
        QString json = row->json().toString();
        json.replace('\'', "''");
        script += QStringLiteral("INSERT INTO \"Rows\" (\"ctimestamp\", \"id\", \"json\", "
                                 "\"mtimestamp\", \"order\", \"usertemplate_id\") VALUES "
                                 "(%1, '%2', '%3', %1, %4, '%5');\n")
                      .arg(row->ctimestamp().toDouble(), 0, 'f', 3)
                      .arg(row->id().toString(), json)
                      .arg(row->order().toInt())
                      .arg(PlainTable)
                      .toUtf8();
    }
    script += "COMMIT;\n";
    return runShell(path, script);
}

QByteArray selectRows(const QByteArray& where = {}, const QByteArray& order = {})
{
    return "SELECT \"json\" FROM \"Rows\" WHERE \"usertemplate_id\" = '" + PlainTable.toUtf8() + "'"
        + where + order + ";\n";
}

QByteArray jsonPath(int column)
{
    return "json_extract(\"json\", '$.\"" + fixture->ids[column].toUtf8() + "\"')";
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
    makeColumns();
    fixture->addSeconds = addRows(PlainTable, std::nullopt);
    addRows(ProtectedTable, Password);
    fixture->addShellSeconds = addRowsShell(fixture->folder.filePath("shell.sqlite"));
}

// The shared report, with the fetch's share of the last load beside it.
void reportLoad(benchmark::State& state, double ours, double shell)
{
    if (benchsupport::report(state, ours, shell))
        state.counters["fetch_ms"] = lastFetchSeconds * 1000;
}

// Ours: fetch the table in a context that holds nothing yet, then decode every row.
double loadAndDecode(const QString& table, const std::optional<QString>& password,
    const Rows::Filters& filters = {}, const Rows::Sorts& sorts = {}, int expected = RowCount)
{
    StoreStack::instance()->makeContext();
    const auto columns = TemplateColumn::getColumns(Definition);
    QElapsedTimer timer;
    timer.start();
    const auto rows = Rows::getRows(table, columns, filters, sorts, password);
    lastFetchSeconds = secondsSince(timer);
    // Every column of every row, on the pool's threads as the whole-table jobs do it, each
    // range into one row's slots reused from row to row.
    const RowDecoder decoder(columns, password);
    std::atomic<qsizetype> decoded = 0;
    Rows::decodeEach(rows, decoder, [&](qsizetype, const QVariant* values, bool read) {
        if (read)
            decoded += std::count_if(values, values + decoder.size(),
                [](const QVariant& value) { return value.isValid(); });
    });
    const double seconds = secondsSince(timer);
    if (expected >= 0 && rows.size() != expected)
        return -1;
    return decoded > 0 ? seconds : -1;
}

void AddRows(benchmark::State& state)
{
    setUp();
    for (auto _ : state)
        benchsupport::report(state, fixture->addSeconds, fixture->addShellSeconds);
}

void LoadAndDecodePlain(benchmark::State& state)
{
    setUp();
    for (auto _ : state)
        reportLoad(
            state, loadAndDecode(PlainTable, std::nullopt), runShell(fixture->store, selectRows()));
}

void LoadAndDecodeProtected(benchmark::State& state)
{
    setUp();
    for (auto _ : state)
        reportLoad(
            state, loadAndDecode(ProtectedTable, Password), runShell(fixture->store, selectRows()));
}

void FilterContains(benchmark::State& state)
{
    setUp();
    auto filter = std::make_shared<FilterExtended>();
    filter->setColumn(fixture->ids[1]);
    filter->setOperator(LocalizedStrings::Contains());
    filter->setTextValue(Needle);
    for (auto _ : state)
        reportLoad(state, loadAndDecode(PlainTable, std::nullopt, { filter }, {}, -1),
            runShell(fixture->store,
                selectRows(" AND " + jsonPath(1) + " LIKE '%" + Needle.toUtf8() + "%'")));
}

void SortByColumn(benchmark::State& state)
{
    setUp();
    auto sort = std::make_shared<Sort>();
    sort->setColumn(fixture->ids[4]);
    sort->setAscending(true);
    for (auto _ : state)
        reportLoad(state, loadAndDecode(PlainTable, std::nullopt, {}, { sort }),
            runShell(fixture->store, selectRows({}, " ORDER BY " + jsonPath(4))));
}

// Filtering and sorting alone, on rows already in memory: what a screen pays when the
// user changes the filter or the sort.
void FilterAndSortInMemory(benchmark::State& state)
{
    setUp();
    // A context that holds nothing yet.
    StoreStack::instance()->makeContext();
    const auto columns = TemplateColumn::getColumns(Definition);
    const auto rows = Rows::getRows(PlainTable, columns, {}, {}, std::nullopt);
    auto filter = std::make_shared<FilterExtended>();
    filter->setColumn(fixture->ids[1]);
    filter->setOperator(LocalizedStrings::Contains());
    filter->setTextValue(Needle);
    auto sort = std::make_shared<Sort>();
    sort->setColumn(fixture->ids[4]);
    sort->setAscending(true);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto kept = Rows::applyFilter(rows, columns, { filter }, std::nullopt);
        const double filterSeconds = secondsSince(timer);
        timer.restart();
        const auto sorted = Rows::applySort(rows, columns, { sort }, std::nullopt);
        const double sortSeconds = secondsSince(timer);
        state.SetIterationTime(filterSeconds + sortSeconds);
        state.counters["filter_ms"] = filterSeconds * 1000;
        state.counters["sort_ms"] = sortSeconds * 1000;
        state.counters["kept"] = double(kept.size());
        benchmark::DoNotOptimize(sorted.size());
    }
}

// Every row of the plain table fetched in a context that holds nothing yet, with its stored
// text reached, as a whole-table job holds them: the peak resident growth and the bytes
// still allocated after, each over the stored texts' bytes.
void MemoryOfFetchedRows(benchmark::State& state)
{
    setUp();
    for (auto _ : state) {
        StoreStack::instance()->makeContext();
        const auto columns = TemplateColumn::getColumns(Definition);
        malloc_trim(0);
        const auto allocated = [] {
            const struct mallinfo2 info = mallinfo2();
            return qint64(info.uordblks + info.hblkhd);
        };
        const qint64 baseline = benchsupport::statusKilobytes("VmRSS:");
        const qint64 allocatedBefore = allocated();
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        const auto rows = Rows::getRows(PlainTable, columns, {}, {}, std::nullopt);
        qint64 stored = 0;
        for (Rows* row : rows) {
            const QVariant json = row->storedJson();
            stored += json.typeId() == QMetaType::QByteArray ? json.toByteArray().size()
                                                             : json.toString().toUtf8().size();
        }
        const qint64 held = allocated() - allocatedBefore;
        const qint64 peak = (benchsupport::statusKilobytes("VmHWM:") - baseline) * 1024;
        if (rows.size() != RowCount || stored == 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(1);
        state.counters["json_MiB"] = double(stored) / (1 << 20);
        state.counters["peak_MiB"] = double(peak) / (1 << 20);
        state.counters["held_MiB"] = double(held) / (1 << 20);
        state.counters["peak_ratio"] = double(peak) / double(stored);
        state.counters["held_ratio"] = double(held) / double(stored);
    }
    StoreStack::instance()->makeContext();
}

} // namespace

BENCHMARK(AddRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LoadAndDecodePlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadAndDecodeProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FilterContains)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SortByColumn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FilterAndSortInMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MemoryOfFetchedRows)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] {
        StoreStack::install(nullptr);
        delete fixture;
    });
}
