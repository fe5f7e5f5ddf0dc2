// Inserting 100,000 rows in one save and fetching them back by their table's template,
// each timed against SQLite's own shell doing the same work on a database of the same
// shape in the same run.
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "utilities/store/StoreStack.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

namespace cd = platform::coredata;

namespace {

using benchsupport::report;
using benchsupport::runShell;
using benchsupport::secondsSince;

constexpr int RowCount = 100000;
const QString TableId = QStringLiteral("6F0B8E7C-2D3A-4C59-9B1E-0A7F5D3C2B10");

QString rowJson(int i)
{
    return QStringLiteral("{\n    \"A\" : \"Row %1\",\n    \"B\" : %2\n}").arg(i).arg(i * 3);
}

void removeStore(const QString& path)
{
    for (const char* suffix : { "", "-wal", "-shm" })
        QFile::remove(path + QLatin1String(suffix));
}

// Our insert of every row in one save; seconds.
double insertOurs(const QString& path)
{
    removeStore(path);
    auto stack = StoreStack::open(path);
    if (!stack)
        return -1;
    cd::ManagedObjectContext* context = stack->context();
    QElapsedTimer timer;
    timer.start();
    const double now = 1.7e9;
    for (int i = 0; i < RowCount; ++i) {
        cd::ManagedObject* row = context->insertNewObject(QStringLiteral("Rows"));
        row->setValue(0, now + i);
        row->setValue(1, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        row->setValue(2, rowJson(i));
        row->setValue(3, now + i);
        row->setValue(4, i);
        row->setValue(5, TableId);
    }
    if (!context->save())
        return -1;
    return secondsSince(timer);
}

// The same table, indexes and journal settings as our store, then the same rows in one
// transaction; seconds, counting the shell's start.
double insertShell(const QString& path)
{
    removeStore(path);
    QByteArray schema
        = "PRAGMA journal_mode=WAL;\nPRAGMA synchronous=FULL;\n"
          "CREATE TABLE \"Rows\" (\"_pk\" INTEGER PRIMARY KEY AUTOINCREMENT, \"ctimestamp\" REAL, "
          "\"id\" TEXT, \"json\" TEXT, \"mtimestamp\" REAL, \"order\" INTEGER, "
          "\"usertemplate_id\" TEXT);\n"
          "CREATE INDEX \"Rows_id\" ON \"Rows\" (\"id\");\n"
          "CREATE INDEX \"Rows_usertemplate_id_order\" ON \"Rows\" (\"usertemplate_id\", "
          "\"order\");\n";
    if (runShell(path, schema) < 0)
        return -1;
    QByteArray script = "BEGIN;\n";
    const double now = 1.7e9;
    for (int i = 0; i < RowCount; ++i) {
        QString json = rowJson(i);
        json.replace('\'', "''");
        script += QStringLiteral("INSERT INTO \"Rows\" (\"ctimestamp\", \"id\", \"json\", "
                                 "\"mtimestamp\", \"order\", \"usertemplate_id\") VALUES "
                                 "(%1, '%2', '%3', %1, %4, '%5');\n")
                      .arg(now + i, 0, 'f', 1)
                      .arg(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(), json)
                      .arg(i)
                      .arg(TableId)
                      .toUtf8();
    }
    script += "COMMIT;\n";
    return runShell(path, script);
}

double fetchOurs(const QString& path)
{
    auto stack = StoreStack::open(path);
    if (!stack)
        return -1;
    QElapsedTimer timer;
    timer.start();
    const auto request = stack->model()->fetchRequestFromTemplate(
        QStringLiteral("FetchRequest_Rows"), { { QStringLiteral("USERTEMPLATE_ID"), TableId } });
    const auto rows = stack->context()->executeFetchRequest(*request);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return rows.size() == RowCount ? seconds : -1;
}

double fetchShell(const QString& path)
{
    return runShell(path,
        "SELECT * FROM \"Rows\" WHERE \"usertemplate_id\" IS '" + TableId.toUtf8()
            + "' ORDER BY \"_pk\";\n");
}

void InsertRowsInOneSave(benchmark::State& state)
{
    QTemporaryDir folder;
    for (auto _ : state)
        report(state, insertOurs(folder.filePath("ours.sqlite")),
            insertShell(folder.filePath("shell.sqlite")));
}

void FetchRowsByTemplate(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString ours = folder.filePath("ours.sqlite");
    const QString shell = folder.filePath("shell.sqlite");
    if (insertOurs(ours) < 0 || insertShell(shell) < 0) {
        state.SkipWithError("the stores could not be made");
        return;
    }
    for (auto _ : state)
        report(state, fetchOurs(ours), fetchShell(shell));
}

} // namespace

BENCHMARK(InsertRowsInOneSave)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FetchRowsByTemplate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
