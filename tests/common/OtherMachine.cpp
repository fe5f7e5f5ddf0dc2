#include "common/OtherMachine.h"

#include "common/TestSupport.h"

#include <QStringList>

#include <iostream>
#include <mutex>
#include <thread>

namespace testsupport {

namespace {

// What the other machine says starts with this, apart from the rest it prints.
const QString Said = QStringLiteral("@other ");
const QString Quit = QStringLiteral("quit");

void say(const QString& line)
{
    // One line: what went wrong may span several.
    QString flat = line;
    flat.replace('\n', QStringLiteral(" | "));
    std::cout << (Said + flat).toStdString() << std::endl;
}

// The lines the parent writes, read on a thread of their own.
class Commands {
public:
    Commands()
        : m_thread([this] {
            std::string line;
            while (std::getline(std::cin, line)) {
                std::lock_guard lock(m_mutex);
                m_lines << QString::fromStdString(line);
                if (line == Quit.toStdString())
                    return;
            }
            std::lock_guard lock(m_mutex);
            m_ended = true;
        })
    {
    }
    ~Commands() { m_thread.join(); }
    QStringList take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, {});
    }
    // The parent closed its end without saying quit (it ended).
    bool ended()
    {
        std::lock_guard lock(m_mutex);
        return m_ended && m_lines.isEmpty();
    }

private:
    std::mutex m_mutex;
    QStringList m_lines;
    bool m_ended = false;
    std::thread m_thread;
};

} // namespace

bool OtherMachine::isOtherMachine()
{
    return !ChildProcess::homeFromParent().isEmpty();
}

void OtherMachine::addStep(const QString& name, Step step)
{
    m_steps.insert(name, std::move(step));
}

void OtherMachine::setEnvironment(const QString& name, const QString& value)
{
    m_process.setEnvironment(name, value);
}

bool OtherMachine::start(const std::function<QString()>& ready, int timeoutMs)
{
    m_started = m_process.startThisTest([this, ready] { return follow(ready); });
    if (!m_started)
        return false;
    const QString line = awaitLine(Said + "ready", timeoutMs);
    if (line.isNull())
        return m_started = false;
    m_ready = line.mid(Said.size() + QStringLiteral("ready ").size());
    return true;
}

bool OtherMachine::startOnCloud(
    const QString& cloudFolder, const std::function<QString()>& storeUUID)
{
    setEnvironment(QStringLiteral("KIVOTAB_CLOUD"), cloudFolder);
    return start(storeUUID) && readyAnswer() == storeUUID();
}

::testing::AssertionResult OtherMachine::runStep(const QString& name, const QString& argument)
{
    const QString problem = run(name, argument);
    if (problem.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the other machine's step " << name.toStdString() << " "
                                         << argument.toStdString() << ": " << problem.toStdString();
}

QString OtherMachine::run(const QString& name, const QString& argument, int timeoutMs)
{
    if (!m_started)
        return QStringLiteral("the other machine is not running");
    m_process.write((QStringLiteral("step %1 %2\n").arg(name, argument)).toUtf8());
    const QString line = awaitLine(Said + "end " + name + ' ', timeoutMs);
    if (line.isNull())
        return QStringLiteral("no end of step %1: %2")
            .arg(name, QString::fromStdString(m_process.report()));
    const QString answer = line.mid(Said.size() + QStringLiteral("end %1 ").arg(name).size());
    return answer == QStringLiteral("ok") ? QString() : answer;
}

bool OtherMachine::quit()
{
    if (!m_started)
        return false;
    m_started = false;
    m_process.write((Quit + '\n').toUtf8());
    m_process.closeInput();
    return m_process.waitForExit() && m_process.exited() && m_process.exitCode() == 0;
}

QString OtherMachine::awaitLine(const QString& start, int timeoutMs)
{
    QString found;
    waitUntil(
        [&] {
            const QByteArray& output = m_process.standardOutput();
            qsizetype from = m_read;
            for (qsizetype end; (end = output.indexOf('\n', from)) >= 0; from = end + 1) {
                const QString line = QString::fromUtf8(output.mid(from, end - from));
                if (line.startsWith(start)) {
                    found = line;
                    m_read = end + 1;
                    return true;
                }
            }
            return !m_process.running();
        },
        timeoutMs);
    return found;
}

int OtherMachine::follow(const std::function<QString()>& ready)
{
    say("ready " + ready());
    Commands commands;
    int failed = 0;
    for (bool running = true; running && !commands.ended();) {
        processEvents(10);
        for (const QString& command : commands.take()) {
            if (command == Quit) {
                running = false;
                break;
            }
            const QString name = command.section(' ', 1, 1);
            const QString argument = command.section(' ', 2);
            const auto step = m_steps.constFind(name);
            QString problem
                = step == m_steps.cend() ? QStringLiteral("no step named %1").arg(name) : QString();
            if (problem.isEmpty()) {
                try {
                    problem = (*step)(argument);
                } catch (const std::exception& exception) {
                    problem = QStringLiteral("raised: %1").arg(QString::fromUtf8(exception.what()));
                }
            }
            failed += !problem.isEmpty();
            say(QStringLiteral("end %1 %2").arg(name, problem.isEmpty() ? "ok" : problem));
        }
    }
    return failed == 0 ? 0 : 1;
}

} // namespace testsupport
