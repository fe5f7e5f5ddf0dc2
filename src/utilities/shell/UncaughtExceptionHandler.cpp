#include "utilities/shell/UncaughtExceptionHandler.h"

#include "platform/Dispatch.h"
#include "platform/Folders.h"
#include "platform/StringFormat.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <atomic>
#include <csignal>
#include <cstring>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <typeinfo>
#include <unistd.h>

const QString UncaughtExceptionHandler::AddressesKey
    = QStringLiteral("UncaughtExceptionHandlerAddressesKey");
const QString UncaughtExceptionHandler::SignalKey
    = QStringLiteral("UncaughtExceptionHandlerSignalKey");
const QString UncaughtExceptionHandler::SignalExceptionName
    = QStringLiteral("UncaughtExceptionHandlerSignalExceptionName");

namespace {

const QString kAlertTitle = QStringLiteral("Unhandled exception");
const QString kAlertMessage = QStringLiteral("You can try to continue but the application may be "
                                             "unstable.\n\nDebug details follow:\n%@\n%@");
const QString kQuit = QStringLiteral("Quit");
const QString kContinue = QStringLiteral("Continue");
const QString kSignalReason = QStringLiteral("Signal %1 was raised.");

constexpr int kSignals[] = { SIGABRT, SIGILL, SIGSEGV, SIGFPE, SIGBUS, SIGPIPE };
constexpr int kSkippedFrames = 4;
constexpr int kShownFrames = 5;
constexpr int kMaxFrames = 128;

std::atomic<int> g_handled { 0 };
// Made when the handlers are installed: nothing may be computed in a signal handler.
char g_logPath[4096] = { 0 };
int g_testAnswer = -1;

// Async-signal-safe output helpers.
void writeText(int fd, const char* text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

void writeNumber(int fd, long value)
{
    char buffer[24];
    int i = int(sizeof(buffer)) - 1;
    buffer[i] = '\0';
    const bool negative = value < 0;
    unsigned long v
        = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        buffer[--i] = char('0' + v % 10);
        v /= 10;
    } while (v > 0 && i > 1);
    if (negative)
        buffer[--i] = '-';
    writeText(fd, buffer + i);
}

void writeCrash(int fd, int signalNumber, void* const* frames, int count)
{
    writeText(fd, "Unhandled Crash: Signal ");
    writeNumber(fd, signalNumber);
    writeText(fd, " was raised. (process ");
    writeNumber(fd, long(::getpid()));
    writeText(fd, ")\nStack Trace:\n");
    backtrace_symbols_fd(frames, count, fd);
    writeText(fd, "\n");
}

void restoreDefaults()
{
    std::set_terminate(nullptr);
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
}

void signalHandler(int signalNumber)
{
    handleSignal(signalNumber);
}

void terminateHandler()
{
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const platform::Exception& exception) {
            handleUncaughtException(exception);
        } catch (const std::exception& exception) {
            handleUncaughtException(
                platform::Exception(QString::fromLatin1(typeid(exception).name()),
                    QString::fromUtf8(exception.what())));
        } catch (...) {
            handleUncaughtException(platform::Exception(
                platform::Exception::Generic, QStringLiteral("Unknown exception")));
        }
    }
    restoreDefaults();
    std::abort();
}

QString describeArray(const QStringList& lines)
{
    // The way the platform prints an array of texts.
    if (lines.isEmpty())
        return QStringLiteral("(\n)");
    return QStringLiteral("(\n    \"%1\"\n)").arg(lines.join("\",\n    \""));
}

} // namespace

UncaughtExceptionHandler::UncaughtExceptionHandler() = default;
UncaughtExceptionHandler::~UncaughtExceptionHandler() = default;

QStringList UncaughtExceptionHandler::callStack()
{
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    QStringList lines;
    char** symbols = ::backtrace_symbols(frames, count);
    if (!symbols)
        return lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("%1   %2").arg(i, -3).arg(QString::fromLocal8Bit(symbols[i])));
    std::free(symbols);
    return lines;
}

QStringList UncaughtExceptionHandler::backtrace()
{
    return callStack().mid(kSkippedFrames, kShownFrames);
}

void UncaughtExceptionHandler::validateAndSaveCriticalApplicationData()
{
}

void UncaughtExceptionHandler::setTestAnswer(int buttonIndex)
{
    g_testAnswer = buttonIndex;
}

void UncaughtExceptionHandler::alertViewClickedButtonAtIndex(
    platform::ui::AlertView*, int buttonIndex)
{
    m_answered = true;
    if (buttonIndex == 0)
        m_dismissed = true;
}

void UncaughtExceptionHandler::handleException(const platform::Exception& exception)
{
    validateAndSaveCriticalApplicationData();
    DebugHelper::singleton().logException(exception, true);

    const QString message
        = platform::formatObjects(LocalizedStrings::getLocalizedString(kAlertMessage),
            { exception.reason(),
                describeArray(exception.userInfo().value(AddressesKey).toStringList()) });
    QPointer<platform::ui::AlertView> alert
        = new platform::ui::AlertView(LocalizedStrings::getLocalizedString(kAlertTitle), message,
            this, LocalizedStrings::getLocalizedString(kQuit),
            { LocalizedStrings::getLocalizedString(kContinue) });
    alert->show();
    if (g_testAnswer >= 0)
        alert->clickButtonAtIndex(g_testAnswer);

    // The one wait of the application: it keeps running in here until "Quit". After
    // "Continue" the loop goes on serving the application; when the application quits
    // meanwhile, the process ends here.
    QEventLoop loop;
    while (!m_dismissed) {
        if (!QCoreApplication::instance())
            break;
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        if (QCoreApplication::closingDown()) {
            std::fflush(nullptr);
            ::_exit(0);
        }
    }
    if (alert) {
        // The alert finishes after this handler is gone: it must not call back into it.
        alert->setDelegate(nullptr);
        alert->dismissWithClickedButtonIndex(0, false);
    }

    restoreDefaults();
    if (exception.name() == SignalExceptionName) {
        std::raise(exception.userInfo().value(SignalKey).toInt());
        return;
    }
    throw exception;
}

void installUncaughtExceptionHandler()
{
    const QByteArray path
        = (platform::Folders::documents() + "/" + DebugHelper::LogFileName).toLocal8Bit();
    std::strncpy(g_logPath, path.constData(), sizeof(g_logPath) - 1);
    // The first backtrace loads the unwinder, which may allocate: do it now, not in a
    // signal handler.
    void* frames[4];
    ::backtrace(frames, 4);

    std::set_terminate(terminateHandler);
    for (int s : kSignals) {
        struct sigaction action;
        std::memset(&action, 0, sizeof(action));
        action.sa_handler = signalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_NODEFER;
        sigaction(s, &action, nullptr);
    }
}

void handleUncaughtException(const platform::Exception& exception)
{
    if (g_handled.fetch_add(1) + 1 > UncaughtExceptionHandler::MaximumHandled)
        return;
    QVariantMap userInfo = exception.userInfo();
    userInfo.insert(UncaughtExceptionHandler::AddressesKey, UncaughtExceptionHandler::backtrace());
    const platform::Exception withTrace(exception.name(), exception.reason(), userInfo);
    auto run = [withTrace] {
        UncaughtExceptionHandler handler;
        handler.handleException(withTrace);
    };
    if (platform::dispatch::isMainThread() || !QCoreApplication::instance())
        run();
    else
        platform::dispatch::syncMain(run);
}

void handleSignal(int signalNumber)
{
    // Async-signal-safe only: no allocation, no locks, no Qt.
    if (g_handled.fetch_add(1) + 1 > UncaughtExceptionHandler::MaximumHandled) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    writeCrash(STDERR_FILENO, signalNumber, frames, count);
    if (g_logPath[0] != '\0') {
        const int fd = ::open(g_logPath, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            writeCrash(fd, signalNumber, frames, count);
            ::close(fd);
        }
    }
    restoreDefaults();
    std::raise(signalNumber);
}

int handledFailureCount()
{
    return g_handled.load();
}
