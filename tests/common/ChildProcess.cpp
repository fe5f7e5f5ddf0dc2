#include "common/ChildProcess.h"

#include "common/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace testsupport {

namespace {

// "<test>#<call>": the call of startThisTest the child is to run the body of.
const char kChildCallVariable[] = "KIVOTAB_TEST_CHILD";
const char kChildHomeVariable[] = "KIVOTAB_TEST_CHILD_HOME";
// What the parent's run of GoogleTest was told that its child must not follow: its share
// of a sharded run, its repetitions, its report file.
const char* const kParentRunVariables[] = { "GTEST_TOTAL_SHARDS", "GTEST_SHARD_INDEX",
    "GTEST_REPEAT", "GTEST_FILTER", "GTEST_OUTPUT", "GTEST_SHUFFLE" };
constexpr int StartLimitMs = 60000;
constexpr int KillLimitMs = 30000;
// A failure message keeps the end of what a child printed, where its trouble shows.
constexpr qsizetype ReportedBytes = 64 * 1024;

int callsInTest = 0;

QString runningTestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info)
        return {};
    return QString::fromUtf8(info->test_suite_name()) + "." + QString::fromUtf8(info->name());
}

std::string lastBytes(const QByteArray& bytes)
{
    if (bytes.size() <= ReportedBytes)
        return bytes.toStdString();
    return "[...]" + bytes.right(ReportedBytes).toStdString();
}

} // namespace

ChildProcess::ChildProcess()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

ChildProcess::~ChildProcess()
{
    kill();
}

void ChildProcess::setEnvironment(const QString& name, const QString& value)
{
    m_settings.append({ name, value });
}

void ChildProcess::setWorkingDirectory(const QString& folder)
{
    m_process.setWorkingDirectory(folder);
}

bool ChildProcess::start(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : m_removed)
        environment.remove(name);
    for (const auto& [name, value] : m_settings)
        environment.insert(name, value);
    m_process.setProcessEnvironment(environment);
    m_process.start(program, arguments);
    m_started = m_process.waitForStarted(StartLimitMs);
    if (m_started)
        return true;
    m_problem = "did not start: " + m_process.errorString().toStdString();
    kill();
    return false;
}

bool ChildProcess::startTests(const QString& filter)
{
    for (const char* name : kParentRunVariables)
        m_removed.append(QString::fromLatin1(name));
    return start(QCoreApplication::applicationFilePath(), { "--gtest_filter=" + filter });
}

bool ChildProcess::startThisTest(const std::function<int()>& body)
{
    const QString test = runningTestName();
    const QString call = test + "#" + QString::number(++callsInTest);
    const QString childCall = qEnvironmentVariable(kChildCallVariable);
    if (childCall == call) {
        // The child: the body in place of the call, then out before the test goes on. The
        // test's state is the parent's to tear down, and the home the parent's to remove.
        const int status = body();
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        _exit(status);
    }
    if (!childCall.isEmpty() || test.isEmpty()) {
        // A child runs only its own call's body, and starts no child of its own.
        m_problem = "not started: no test of this process starts children ("
            + childCall.toStdString() + ")";
        return false;
    }
    for (int number = 1;; ++number) {
        m_home = homePath() + "/child-" + QString::number(number);
        if (!QFileInfo::exists(m_home))
            break;
    }
    if (!QDir().mkpath(m_home)) {
        m_problem = "not started: no home " + m_home.toStdString();
        return false;
    }
    setEnvironment(kChildCallVariable, call);
    setEnvironment(kChildHomeVariable, m_home);
    return startTests(test);
}

void ChildProcess::write(const QByteArray& input)
{
    m_process.write(input);
}

void ChildProcess::closeInput()
{
    m_process.closeWriteChannel();
}

bool ChildProcess::waitForOutput(const QByteArray& text, int timeoutMs, int times)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        collect();
        if (m_output.count(text) >= times)
            return true;
        if (!running() || deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(int(qBound(qint64(1), deadline.remainingTime(), qint64(100))));
    }
}

bool ChildProcess::waitForExit(int limitMs)
{
    if (running() && !m_process.waitForFinished(limitMs)) {
        m_timedOut = true;
        m_problem = "still running after its limit of " + std::to_string(limitMs) + " ms: killed";
        kill();
        return false;
    }
    collect();
    return m_started;
}

void ChildProcess::kill()
{
    if (running()) {
        m_process.kill();
        if (!m_process.waitForFinished(KillLimitMs))
            m_problem += " (and still not ended " + std::to_string(KillLimitMs) + " ms after)";
    }
    collect();
}

bool ChildProcess::running() const
{
    return m_process.state() != QProcess::NotRunning;
}

bool ChildProcess::exited() const
{
    return m_started && !m_timedOut && !running() && m_process.exitStatus() == QProcess::NormalExit;
}

int ChildProcess::exitCode() const
{
    return exited() ? m_process.exitCode() : -1;
}

bool ChildProcess::killedBySignal() const
{
    return m_started && !running() && m_process.exitStatus() == QProcess::CrashExit;
}

const QByteArray& ChildProcess::standardOutput()
{
    collect();
    return m_output;
}

const QByteArray& ChildProcess::standardError()
{
    collect();
    return m_errors;
}

std::string ChildProcess::report()
{
    collect();
    std::string what = "child " + m_process.program().toStdString();
    for (const QString& argument : m_process.arguments())
        what += " " + argument.toStdString();
    what += ": ";
    if (!m_problem.empty())
        what += m_problem;
    else if (running())
        what += "still running";
    else if (m_process.exitStatus() == QProcess::CrashExit)
        what += "ended by signal " + std::to_string(m_process.exitCode());
    else
        what += "exited with status " + std::to_string(m_process.exitCode());
    return what + "\n--- its standard output ---\n" + lastBytes(m_output)
        + "\n--- its standard error ---\n" + lastBytes(m_errors) + "\n--- end of its output ---";
}

QString ChildProcess::homeFromParent()
{
    return qEnvironmentVariable(kChildHomeVariable);
}

void ChildProcess::resetForNextTest()
{
    callsInTest = 0;
}

void ChildProcess::collect()
{
    m_output += m_process.readAllStandardOutput();
    m_errors += m_process.readAllStandardError();
}

} // namespace testsupport
