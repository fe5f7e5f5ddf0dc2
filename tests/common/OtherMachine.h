#pragma once

#include "common/ChildProcess.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>
#include <string>

namespace testsupport {

// A second machine beside the test's own: the running test again in a child process with
// a home of its own (ChildProcess::startThisTest), which runs the test's set-up and body up
// to start() and from there takes the steps the test asks of it, one at a time, in the
// order asked. Between steps, and while a step waits, its event loop runs, so what reaches
// it meanwhile (imports, reloads) is taken in as on a running machine.
//
// The test names every step before it calls start(), in both processes alike, and changes
// nothing its machines share before that: the child does all the test did up to there.
class OtherMachine {
public:
    // A step, with the argument the test gave it: answers an empty text when it went well,
    // else what went wrong. It may wait (testsupport::waitUntil), never block.
    using Step = std::function<QString(const QString& argument)>;

    // How long the test waits for a step at most: every step bounds its own waits well
    // inside it.
    static constexpr int StepLimitMs = 120000;

    OtherMachine() = default;
    OtherMachine(const OtherMachine&) = delete;
    OtherMachine& operator=(const OtherMachine&) = delete;

    // Whether this process is the other machine of a test.
    static bool isOtherMachine();

    void addStep(const QString& name, Step step);
    void setEnvironment(const QString& name, const QString& value);

    // Starts the other machine. There, `ready` runs first and its answer comes back (say,
    // which store it loaded): readyAnswer(). False, with the reason in report(), when it did
    // not start or never said it was ready. In the child this call never returns.
    bool start(const std::function<QString()>& ready, int timeoutMs = StepLimitMs);
    QString readyAnswer() const { return m_ready; }
    // Starts it on the cloud folder given: true once it has loaded the store `storeUUID`
    // names, asked there and here alike.
    bool startOnCloud(const QString& cloudFolder, const std::function<QString()>& storeUUID);

    // Runs the step there: an empty text when it went well, else what went wrong there or
    // how the machine ended.
    QString run(const QString& name, const QString& argument = {}, int timeoutMs = StepLimitMs);
    // The same as a test's assertion: its failure names the step and what went wrong.
    ::testing::AssertionResult runStep(const QString& name, const QString& argument = {});

    // Tells it to end: true when it ended by itself, having taken every step asked.
    bool quit();
    bool started() const { return m_started; }
    // How it ended, if it has, and all it printed.
    std::string report() { return m_process.report(); }

private:
    // The child's side: says it is ready, then follows the steps until told to quit.
    int follow(const std::function<QString()>& ready);
    // The first line after what was read so far that starts with the text; empty when
    // none came within the time or the machine ended.
    QString awaitLine(const QString& start, int timeoutMs);

    ChildProcess m_process;
    QMap<QString, Step> m_steps;
    QString m_ready;
    qsizetype m_read = 0;
    bool m_started = false;
};

} // namespace testsupport
