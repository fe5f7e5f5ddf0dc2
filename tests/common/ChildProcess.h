#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <utility>

namespace testsupport {

// A process a test starts: this test binary again or an outside program. Every wait on it
// has a limit; a child still running at its limit, or when the object goes, is killed, and
// what it printed is kept for the failure message (report()).
//
// A test that needs a process of its own starts one: it never forks itself, since a fork of
// a process that runs threads may leave the child a lock no thread will give back.
class ChildProcess {
public:
    // Long enough for a sanitized child on a loaded machine, well inside ctest's limit.
    static constexpr int DefaultLimitMs = 300000;

    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Set in the child's environment, on top of this process's.
    void setEnvironment(const QString& name, const QString& value);
    void setWorkingDirectory(const QString& folder);

    // False, with the reason in report(), when it did not start.
    bool start(const QString& program, const QStringList& arguments);
    // This test binary running only the tests the filter names, whatever shard or
    // repetition this process runs.
    bool startTests(const QString& filter);
    // The running test again, in a fresh home of its own inside this test's (home()). The
    // child runs the test up to the same call and there runs `body` in place of starting a
    // child, ending with what it answers as its exit status: in the child this call never
    // returns. A body may not return to the test, nor use what the parent made after its
    // test began: the child made its own, the same way.
    bool startThisTest(const std::function<int()>& body);
    // The home of the child startThisTest made.
    QString home() const { return m_home; }

    void write(const QByteArray& input);
    void closeInput();

    // Waits until the child's standard output holds `text` `times` times; false when the
    // child ended or the time passed first.
    bool waitForOutput(const QByteArray& text, int timeoutMs, int times = 1);
    // Waits until the child ends; at the limit it is killed, and the answer is false.
    bool waitForExit(int limitMs = DefaultLimitMs);
    // Ends the child at once (SIGKILL) and waits until it has.
    void kill();

    bool running() const;
    // Ended by itself, with exitCode() as its status.
    bool exited() const;
    int exitCode() const;
    // Ended by a signal: it crashed, or was killed.
    bool killedBySignal() const;
    bool timedOut() const { return m_timedOut; }

    // What it printed so far.
    const QByteArray& standardOutput();
    const QByteArray& standardError();
    // How it ended and everything it printed, for a failure message.
    std::string report();

    // In a child a test started for itself: the home its parent made for it.
    static QString homeFromParent();
    // Forgets the calls of the test that ended (see startThisTest).
    static void resetForNextTest();

private:
    void collect();

    QProcess m_process;
    QList<std::pair<QString, QString>> m_settings;
    QStringList m_removed;
    QString m_home;
    QByteArray m_output;
    QByteArray m_errors;
    // What went wrong starting or waiting, for the report.
    std::string m_problem;
    bool m_started = false;
    bool m_timedOut = false;
};

} // namespace testsupport
