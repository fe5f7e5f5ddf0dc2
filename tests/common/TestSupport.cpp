#include "common/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

namespace testsupport {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void processEvents(int ms)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
    } while (timer.elapsed() < ms);
}

QByteArray runTool(
    const QString& program, const QStringList& arguments, const QByteArray& input, int* exitCode)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForStarted();
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
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

} // namespace testsupport
