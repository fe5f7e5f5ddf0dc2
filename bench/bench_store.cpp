// A table of 100,000 rows of ten columns through the store: inserting them in one save,
// fetching them back by their table's template with every value and as faults, each timed
// against SQLite's own shell doing the same work on a database of the same shape in the
// same run; and the peak memory of fetching the rows as faults and touching 50 of them, or
// all of them, beside the shell's peak selecting the rows' JSON. Each peak is measured in
// a process of its own, so one does not hide another.
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "utilities/store/StoreStack.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cd = platform::coredata;

namespace {

using benchsupport::report;
using benchsupport::runShell;
using benchsupport::secondsSince;

constexpr int RowCount = 100000;
// What a screen of rows looks at.
constexpr int Touched = 50;
// What the application's fetches ask for.
constexpr quint64 BatchSize = 20;
const QString TableId = QStringLiteral("6F0B8E7C-2D3A-4C59-9B1E-0A7F5D3C2B10");
const char* const PeakOption = "--peak-of";

// A row's text as the model stores it: pretty-printed JSON keyed by column ids, here ten
// columns of the kinds tables hold (texts, a list word, a link, numbers, dates, a flag).
QString rowJson(int i, QRandomGenerator& random)
{
    static const QStringList words { "amber", "birch", "cedar", "december", "ember", "fjord",
        "granite", "harbour", "indigo", "juniper", "kelp", "lumber", "meadow", "nectar" };
    static const QStringList columns = [] {
        QStringList ids;
        for (int c = 0; c < 10; ++c)
            ids << QStringLiteral("%1A6F3C2-5B4D-4F68-8E0A-1C2B3D4E5F6%2").arg(c + 10).arg(c);
        return ids;
    }();
    const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
    const qint64 moment = 1600000000 + qint64(random.bounded(200000000u));
    const QStringList values { QStringLiteral("\"%1 %2 %3\"").arg(word(), word()).arg(i),
        QStringLiteral("\"%1 %2 %3 %4 %5\"").arg(word(), word(), word(), word(), word()),
        QStringLiteral("\"%1\"").arg(word()),
        QStringLiteral("\"https:\\/\\/example.org\\/%1\"").arg(i),
        QString::number(double(random.bounded(1000000u)) / 100),
        QString::number(random.bounded(500u)), QString::number(moment),
        QString::number(moment + 3600), QString::number(moment % 86400),
        QString::number(random.bounded(2u)) };
    QString json = QStringLiteral("{\n");
    for (int c = 0; c < columns.size(); ++c) {
        json += QStringLiteral("    \"%1\" : %2%3\n")
                    .arg(columns[c], values[c], c + 1 < columns.size() ? "," : "");
    }
    return json + "}";
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
    QRandomGenerator random(7);
    QElapsedTimer timer;
    timer.start();
    const double now = 1.7e9;
    for (int i = 0; i < RowCount; ++i) {
        cd::ManagedObject* row = context->insertNewObject(QStringLiteral("Rows"));
        row->setValue(0, now + i);
        row->setValue(1, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        row->setValue(2, rowJson(i, random));
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
    QRandomGenerator random(7);
    QByteArray script = "BEGIN;\n";
    const double now = 1.7e9;
    for (int i = 0; i < RowCount; ++i) {
        QString json = rowJson(i, random);
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

// The table's rows by its template, as the application's fetches ask for them.
QList<cd::ManagedObject*> fetchRows(StoreStack& stack, quint64 batchSize)
{
    auto request = stack.model()->fetchRequestFromTemplate(
        QStringLiteral("FetchRequest_Rows"), { { QStringLiteral("USERTEMPLATE_ID"), TableId } });
    request->setFetchBatchSize(batchSize);
    return stack.context()->executeFetchRequest(*request);
}

// Ours: the rows fetched in a fresh stack (every value, or faults); seconds.
double fetchOurs(const QString& path, quint64 batchSize)
{
    auto stack = StoreStack::open(path);
    if (!stack)
        return -1;
    QElapsedTimer timer;
    timer.start();
    const auto rows = fetchRows(*stack, batchSize);
    const double seconds = secondsSince(timer);
    return rows.size() == RowCount ? seconds : -1;
}

QByteArray selectRows(const QByteArray& columns)
{
    return "SELECT " + columns + " FROM \"Rows\" WHERE \"usertemplate_id\" IS '" + TableId.toUtf8()
        + "' ORDER BY \"_pk\";\n";
}

// Written by a measured process once its job is done; it then waits for the end of its
// input, so that its peak can be read while it still runs.
const QByteArray DoneMark = "kivotab-bench-done";

// The job a peak is measured for, run in a process of its own (the benchmark started again
// with PeakOption): fetch the rows as faults and read the text of the first `touch` rows.
int touchRows(const QString& path, int touch)
{
    auto stack = StoreStack::open(path);
    if (!stack)
        return 1;
    const auto rows = fetchRows(*stack, BatchSize);
    qsizetype read = 0;
    for (int i = 0; i < touch && i < rows.size(); ++i)
        read += rows[i]->value(2).toString().size();
    if (rows.size() != RowCount || read == 0)
        return 2;
    std::printf("%s\n", DoneMark.constData());
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) { }
    return 0;
}

// The peak resident memory (MiB) of the program run with the arguments and the input, read
// from /proc once it has written DoneMark; -1 when it failed. (A child's rusage would count
// the memory of this process, which it shares from the fork until its exec.)
double peakOf(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    process.write(input);
    QByteArray tail;
    while (!tail.contains(DoneMark)) {
        if (!process.waitForReadyRead(-1))
            return -1;
        // Only the end is kept: the shell writes every row's text before the mark.
        tail = (tail + process.readAllStandardOutput()).right(2 * DoneMark.size());
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    double peak = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').first().toDouble() / 1024; // kB
        }
    }
    process.closeWriteChannel();
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? peak : -1;
}

void InsertRowsInOneSave(benchmark::State& state)
{
    QTemporaryDir folder;
    for (auto _ : state)
        report(state, insertOurs(folder.filePath("ours.sqlite")),
            insertShell(folder.filePath("shell.sqlite")));
}

struct Stores {
    QTemporaryDir folder;
    QString ours = folder.filePath("ours.sqlite");
    QString shell = folder.filePath("shell.sqlite");
    bool made = insertOurs(ours) >= 0 && insertShell(shell) >= 0;
};

Stores& stores()
{
    static Stores made;
    return made;
}

void FetchRowsWithValues(benchmark::State& state)
{
    if (!stores().made) {
        state.SkipWithError("the stores could not be made");
        return;
    }
    for (auto _ : state)
        report(state, fetchOurs(stores().ours, 0), runShell(stores().shell, selectRows("*")));
}

void FetchRowsAsFaults(benchmark::State& state)
{
    if (!stores().made) {
        state.SkipWithError("the stores could not be made");
        return;
    }
    for (auto _ : state)
        report(state, fetchOurs(stores().ours, BatchSize),
            runShell(stores().shell, selectRows("\"json\"")));
}

// Peak memory (MiB) of fetching the rows as faults and touching 50 of them, and of
// touching all of them, each in a fresh process, beside the shell's selecting their JSON.
void PeakMemoryOfFaults(benchmark::State& state)
{
    if (!stores().made) {
        state.SkipWithError("the stores could not be made");
        return;
    }
    const QString self = QCoreApplication::applicationFilePath();
    for (auto _ : state) {
        const double some = peakOf(self, { PeakOption, stores().ours, QString::number(Touched) });
        const double all = peakOf(self, { PeakOption, stores().ours, QString::number(RowCount) });
        const double shell = peakOf(QStringLiteral("sqlite3"), { stores().ours },
            selectRows("\"json\"") + ".print " + DoneMark + "\n");
        if (some < 0 || all < 0 || shell < 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(1);
        state.counters["touch50_MiB"] = some;
        state.counters["touch_all_MiB"] = all;
        state.counters["sqlite3_MiB"] = shell;
        state.counters["50_to_all"] = some / all;
        state.counters["50_to_sqlite3"] = some / shell;
        state.counters["all_to_sqlite3"] = all / shell;
        std::printf("peak RSS, %d rows fetched as faults: touching %d %.1f MiB, touching all "
                    "%.1f MiB (%d to all: %.2f); sqlite3 shell selecting their JSON %.1f MiB\n",
            RowCount, Touched, some, all, Touched, some / all, shell);
    }
}

} // namespace

BENCHMARK(InsertRowsInOneSave)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FetchRowsWithValues)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(FetchRowsAsFaults)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PeakMemoryOfFaults)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], PeakOption) == 0)
        return touchRows(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
