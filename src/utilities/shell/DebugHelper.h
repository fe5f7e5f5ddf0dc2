#pragma once

#include "platform/Error.h"

#include <QString>

#include <exception>

// The debug log: errors, exceptions and messages go to the process's log (its error
// stream) while the "debug" setting is on; logToFile sends that stream into "debug.log"
// in the Documents folder, which the preferences screen can mail.
class DebugHelper {
public:
    static DebugHelper& singleton();

    // "Unhandled Crash: %@" (unhandled) or "Crash: %@"; a null error logs nothing.
    void logError(const platform::Error& error, bool unhandled);
    // The same for an exception, then "Stack Trace: %@" with its call stack.
    void logException(const std::exception& exception, bool unhandled);
    // The message as it stands; a null text logs nothing.
    void logMessage(const QString& message);

    // Documents/"debug.log".
    QString logFile() const;
    // Reopens the error stream on logFile, appending.
    void logToFile();
    // Removes logFile; a failure is not reported.
    void deleteLogFile();
    // Empties logFile where it is: the error stream may still be writing into it, and a
    // removed file would take everything written after into the void. A failure is not
    // reported.
    void clearLogFile();

    // Writes one line to the process's log whatever the setting (the crash handler).
    static void writeToLog(const QString& text);

    static const QString LogFileName; // "debug.log"

private:
    DebugHelper() = default;
    bool debugOn() const;
};
