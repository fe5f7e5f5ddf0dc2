#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>

// What the benchmarks share: their clock and the reference run of SQLite's own shell.
namespace benchsupport {

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

} // namespace benchsupport
