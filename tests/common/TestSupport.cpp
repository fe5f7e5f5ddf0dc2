#include "common/TestSupport.h"

#include "common/ChildProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace testsupport {

namespace {

// How long past its time a wait gives its timer (one stopped by a nested event loop, say).
constexpr int FenceTimeoutMs = 30000;
// An outside tool (LibreOffice converting a workbook, say) on a loaded machine.
constexpr int ToolLimitMs = 120000;

// How often a wait on the main thread looks again at most when no event wakes it.
constexpr int LookMs = 5;

bool onMainThread()
{
    return QCoreApplication::instance()
        && QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Handles the events that come within ms on the main thread, sleeping while none do: a wait
// that spins takes the processor from the threads it waits for on a loaded machine.
void handleEventsFor(int ms)
{
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max(ms, 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    const bool main = onMainThread();
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        if (main) {
            handleEventsFor(LookMs);
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(1);
        }
    }
    return true;
}

void processEvents(int ms)
{
    // Ends only once a timer started now has fired, so that every timer due within the time
    // has had its turn too, however long a busy machine kept the process from running (a
    // check of the clock alone could end the wait before they had). Off the main thread
    // no timer runs: there the clock alone counts.
    const bool main = onMainThread();
    auto fired = std::make_shared<bool>(ms <= 0 || !main);
    if (!*fired)
        QTimer::singleShot(
            ms, Qt::PreciseTimer, QCoreApplication::instance(), [fired] { *fired = true; });
    QElapsedTimer timer;
    timer.start();
    do {
        if (main && ms > 0)
            handleEventsFor(std::clamp(ms - int(timer.elapsed()), 0, 10));
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
    } while (timer.elapsed() < ms || (!*fired && timer.elapsed() < ms + FenceTimeoutMs));
}

QByteArray runTool(
    const QString& program, const QStringList& arguments, const QByteArray& input, int* exitCode)
{
    ChildProcess tool;
    if (tool.start(program, arguments)) {
        if (!input.isEmpty())
            tool.write(input);
        tool.closeInput();
        if (!tool.waitForExit(ToolLimitMs))
            ADD_FAILURE() << tool.report();
    }
    // A tool that did not start, or did not end by itself, did not succeed.
    if (exitCode)
        *exitCode = tool.exitCode();
    return tool.standardOutput();
}

QString outputPath(const QString& fileName)
{
    QString dir
        = qEnvironmentVariable("KIVOTAB_TEST_OUTPUT", QStringLiteral(KIVOTAB_TEST_OUTPUT_DIR));
    QDir().mkpath(dir);
    return dir + "/" + fileName;
}

QString homePath()
{
    return qEnvironmentVariable("KIVOTAB_HOME");
}

void replayCorpus(const QString& folder, const std::function<void(const uint8_t*, size_t)>& run)
{
    const QDir corpus(folder);
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& seed : seeds) {
        SCOPED_TRACE(seed.toStdString());
        QFile file(corpus.filePath(seed));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}

} // namespace testsupport
