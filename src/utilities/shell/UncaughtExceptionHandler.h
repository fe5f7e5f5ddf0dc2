#pragma once

#include "platform/Exception.h"
#include "platform/ui/AlertView.h"

#include <QStringList>

// The last resort. An exception nothing caught is shown in an alert with a short
// backtrace; the person may continue (the application goes on inside the alert's wait)
// or quit (the exception then ends the process). A fatal signal is written with its
// backtrace to the Documents folder's "debug.log" using only async-signal-safe calls, and
// the process then ends the signal's default way: after such a signal no code of ours can
// be trusted to show anything.
class UncaughtExceptionHandler : public platform::ui::AlertViewDelegate {
public:
    UncaughtExceptionHandler();
    ~UncaughtExceptionHandler() override;

    // Frames 4 to 8 of the current call stack, as symbol lines.
    static QStringList backtrace();
    // The whole current call stack, as symbol lines.
    static QStringList callStack();

    // Shows the exception and waits, on the main thread, for the person's choice; after
    // "Quit" rethrows it (or sends its signal) with the handlers removed.
    void handleException(const platform::Exception& exception);
    void alertViewClickedButtonAtIndex(platform::ui::AlertView* alert, int buttonIndex) override;
    // A hook before anything is shown; it does nothing.
    virtual void validateAndSaveCriticalApplicationData();

    bool dismissed() const { return m_dismissed; }

    static const QString AddressesKey; // "UncaughtExceptionHandlerAddressesKey"
    static const QString SignalKey; // "UncaughtExceptionHandlerSignalKey"
    static const QString SignalExceptionName; // "UncaughtExceptionHandlerSignalExceptionName"
    static constexpr int MaximumHandled = 10;

    // Tests: the handler answers its own alert with this button instead of waiting.
    static void setTestAnswer(int buttonIndex);

private:
    bool m_dismissed = false;
    bool m_answered = false;
};

// Installs the handlers: uncaught exceptions (terminate), then the signals abort,
// illegal instruction, segmentation fault, floating-point exception, bus error and
// broken pipe.
void installUncaughtExceptionHandler();
// What the handlers do; callable directly (tests, the event loop's last catch).
void handleUncaughtException(const platform::Exception& exception);
void handleSignal(int signalNumber);
// Failures handled so far in this run.
int handledFailureCount();
