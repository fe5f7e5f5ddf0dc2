#pragma once

#include "platform/LocalTimeZone.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// What the benchmarks share: their clock, the reference run of SQLite's own shell and the
// report of one run beside its reference.
namespace benchsupport {

// The rows a benchmark table holds: 100,000, or KIVOTAB_BENCH_ROWS (for profiling
// smaller runs).
inline int rowCount()
{
    const int chosen = qEnvironmentVariableIntValue("KIVOTAB_BENCH_ROWS");
    return chosen > 0 ? chosen : 100000;
}

// The rows added per store commit while a table is filled.
constexpr int RowsPerCommit = 5000;

inline double secondsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Runs the sqlite3 shell on the database with the script as its input; the seconds it
// took, or -1 when it failed.
inline double runShell(const QString& path, const QByteArray& input)
{
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), { path });
    shell.write(input);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return shell.exitCode() == 0 ? secondsSince(timer) : -1;
}

// One run's figures: ours as the iteration's time, both in milliseconds and their ratio.
// False (and the run marked failed) when either is negative, which a failed run gives.
inline bool report(benchmark::State& state, double ours, double reference)
{
    if (ours < 0 || reference < 0) {
        state.SkipWithError("a run failed");
        return false;
    }
    state.SetIterationTime(ours);
    state.counters["ours_ms"] = ours * 1000;
    state.counters["sqlite3_ms"] = reference * 1000;
    state.counters["ratio"] = ours / reference;
    return true;
}

// A figure measured once per iteration: at the last one its least, middle and greatest
// values are printed beside it, and `<name>_varies` is 1 when they spread by more than a
// fifth of the middle one (a busy machine, or a figure that is not steady).
class Spread {
public:
    Spread(benchmark::State& state, std::string name)
        : m_state(state)
        , m_name(std::move(name))
    {
    }
    void add(double value)
    {
        m_values.push_back(value);
        std::vector<double> sorted = m_values;
        std::sort(sorted.begin(), sorted.end());
        const double middle = sorted.size() % 2 == 1
            ? sorted[sorted.size() / 2]
            : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
        m_state.counters[m_name + "_min"] = sorted.front();
        m_state.counters[m_name + "_median"] = middle;
        m_state.counters[m_name + "_max"] = sorted.back();
        m_state.counters[m_name + "_varies"]
            = middle > 0 && (sorted.back() - sorted.front()) / middle > 0.2 ? 1 : 0;
    }

private:
    benchmark::State& m_state;
    std::string m_name;
    std::vector<double> m_values;
};

// Runs the benchmarks in an application started as the real one is: a fresh home,
// offscreen unless a platform is named, the local time zone pinned. setUp runs once the
// application is there, tearDown after the runs while it still is.
template<class Application = QApplication>
int runInApplication(int argc, char** argv, const std::function<void()>& setUp = {},
    const std::function<void()>& tearDown = {})
{
    QTemporaryDir home;
    qputenv("KIVOTAB_HOME", home.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::LocalTimeZone::pin();
    Application app(argc, argv);
    if (setUp)
        setUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown)
        tearDown();
    return 0;
}

// A field of this process's status in kB ("VmRSS:", "VmHWM:"), or -1.
inline qint64 statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace benchsupport
