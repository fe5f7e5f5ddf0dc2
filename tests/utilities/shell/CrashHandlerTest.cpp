#include "common/TestSupport.h"
#include "platform/Folders.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/UncaughtExceptionHandler.h"

#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

QByteArray readLog()
{
    QFile file(DebugHelper::singleton().logFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CrashHandlerDeathTest, FatalSignalLeavesItsBacktraceInTheDebugLogAndEndsTheProcess)
{
    // A forked child shares this process's application home, so its log is ours to read.
    GTEST_FLAG_SET(death_test_style, "fast");
    DebugHelper::singleton().deleteLogFile();
    // The child installs the handlers and faults; no alert, no "Continue": it dies by
    // the signal itself.
    EXPECT_EXIT(
        {
            installUncaughtExceptionHandler();
            std::raise(SIGSEGV);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGSEGV), "Signal 11 was raised");
    const QByteArray log = readLog();
    EXPECT_TRUE(log.contains("Unhandled Crash: Signal 11 was raised.")) << log.toStdString();
    EXPECT_TRUE(log.contains("Stack Trace:"));
    // The backtrace names the frames that led to the signal.
    EXPECT_TRUE(log.contains("test_utilities")) << log.toStdString();
}

TEST(CrashHandlerDeathTest, UncaughtExceptionShowsTheAlertAndQuitEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            platform::ui::Animation::setInstant(true);
            platform::ui::Application::shared().makeKeyAndVisible();
            KivoAppDelegate::ApplicationDelegate()->currentPreferences()->setDebug(true);
            platform::ui::AlertView::setAutoResponder([](platform::ui::AlertView* alert) {
                // What the person reads before choosing "Quit".
                fprintf(stderr, "ALERT[%s] %s\n", qPrintable(alert->title()),
                    qPrintable(alert->message()));
                return std::optional<int>(0);
            });
            installUncaughtExceptionHandler();
            // Rethrown after "Quit" out of a place that lets nothing through, as the
            // terminate handler is: the process ends.
            []() noexcept {
                handleUncaughtException(platform::Exception("BadThing", "the reason"));
            }();
        },
        "ALERT\\[Unhandled exception\\] You can try to continue but the application may be "
        "unstable.*the reason");
}

TEST(CrashHandler, TenFailuresAreShownAndTheEleventhIsLeftAlone)
{
    platform::ui::Animation::setInstant(true);
    platform::ui::Application::shared().makeKeyAndVisible();
    int alerts = 0;
    platform::ui::AlertView::setAutoResponder([&](platform::ui::AlertView*) {
        ++alerts;
        return std::optional<int>();
    });
    // "Quit" each time: the exception comes back out of the handler.
    UncaughtExceptionHandler::setTestAnswer(0);
    for (int i = 1; i <= UncaughtExceptionHandler::MaximumHandled; ++i) {
        EXPECT_THROW(
            handleUncaughtException(platform::Exception("BadThing", "again")), platform::Exception);
        // The alert finishes after its handler is gone; it must not call back into it.
        testsupport::processEvents(20);
    }
    EXPECT_EQ(alerts, UncaughtExceptionHandler::MaximumHandled);
    EXPECT_NO_THROW(handleUncaughtException(platform::Exception("BadThing", "once more")));
    testsupport::processEvents(20);
    EXPECT_EQ(alerts, UncaughtExceptionHandler::MaximumHandled);
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().isEmpty());
    UncaughtExceptionHandler::setTestAnswer(-1);
    platform::ui::AlertView::setAutoResponder({});
}

TEST(DebugHelper, WritesOnlyWhileTheSettingIsOnAndAppendsToTheFile)
{
    auto& debug = DebugHelper::singleton();
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    debug.deleteLogFile();
    const int saved = ::dup(STDERR_FILENO);
    debug.logToFile();

    preferences->setDebug(false);
    debug.logMessage("hidden message");
    debug.logError(platform::Error::withDescription("D", 1, "hidden error"), false);
    preferences->setDebug(true);
    debug.logMessage(QString()); // nil: nothing
    debug.logMessage("shown message");
    debug.logError(platform::Error::withDescription("D", 2, "disk full"), true);
    debug.logException(platform::Exception("Name", "went wrong"), false);
    preferences->setDebug(false);

    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    const QByteArray log = readLog();
    EXPECT_FALSE(log.contains("hidden"));
    EXPECT_TRUE(log.contains("shown message"));
    EXPECT_TRUE(log.contains("Unhandled Crash: Error Domain=D Code=2 \"disk full\""));
    EXPECT_TRUE(log.contains("Crash: Name: went wrong"));
    EXPECT_TRUE(log.contains("Stack Trace:"));
    EXPECT_EQ(log.count('\n') >= 3, true);
}
