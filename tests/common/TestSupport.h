#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace testsupport {

// Runs the Qt event loop until the condition holds or the timeout passes; true when it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Spins the event loop for the given time so queued main-queue work runs.
void processEvents(int ms = 0);

// Runs an outside program (openssl, unzip, ...) with the given input; returns its
// standard output, and its exit code through `exitCode` (-1 when it did not start, or was
// killed at its time limit, which fails the test with what it printed).
QByteArray runTool(const QString& program, const QStringList& arguments,
    const QByteArray& input = {}, int* exitCode = nullptr);

// A path under the build folder's test-output directory, for screenshots and files a
// person may want to look at after the run.
QString outputPath(const QString& fileName);

// The application home of the running test (a fresh temporary folder per test).
QString homePath();

// Forgets what the process keeps between tests (settings, the application delegate's
// store stack, the window, caches), so the next test starts as a fresh process would.
void resetSharedState();

// Runs every file of a fuzz target's checked-in corpus folder through the target's input
// function, so every input it found stays harmless.
void replayCorpus(const QString& folder, const std::function<void(const uint8_t*, size_t)>& run);

} // namespace testsupport
