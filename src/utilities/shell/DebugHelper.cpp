#include "utilities/shell/DebugHelper.h"

#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/Product.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/shell/UncaughtExceptionHandler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

const QString DebugHelper::LogFileName = QStringLiteral("debug.log");

namespace {
std::mutex g_logMutex;
} // namespace

DebugHelper& DebugHelper::singleton()
{
    static DebugHelper instance;
    return instance;
}

bool DebugHelper::debugOn() const
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    Preferences* preferences = delegate ? delegate->currentPreferences() : nullptr;
    return preferences && preferences->debug();
}

void DebugHelper::writeToLog(const QString& text)
{
    // The platform log's line: time, process name and id, then the text.
    const QString line = QStringLiteral("%1 %2[%3] %4\n")
                             .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz"),
                                 QCoreApplication::applicationName().isEmpty()
                                     ? QString::fromLatin1(Product::name)
                                     : QCoreApplication::applicationName())
                             .arg(getpid())
                             .arg(text);
    const QByteArray bytes = line.toUtf8();
    std::lock_guard lock(g_logMutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void DebugHelper::logError(const platform::Error& error, bool unhandled)
{
    if (error.isNull() || !debugOn())
        return;
    const QString described = QStringLiteral("Error Domain=%1 Code=%2 \"%3\"")
                                  .arg(error.domain())
                                  .arg(error.code())
                                  .arg(error.localizedDescription());
    writeToLog((unhandled ? QStringLiteral("Unhandled Crash: %1") : QStringLiteral("Crash: %1"))
                   .arg(described));
}

void DebugHelper::logException(const std::exception& exception, bool unhandled)
{
    if (!debugOn())
        return;
    QString described = QString::fromUtf8(exception.what());
    QStringList stack;
    if (auto* platformException = dynamic_cast<const platform::Exception*>(&exception)) {
        described = platformException->name() + ": " + platformException->reason();
        stack = platformException->userInfo()
                    .value(UncaughtExceptionHandler::AddressesKey)
                    .toStringList();
    }
    // Our exceptions carry no throw-site stack; the handler's backtrace or the present
    // one stands in for it.
    if (stack.isEmpty())
        stack = UncaughtExceptionHandler::callStack();
    writeToLog((unhandled ? QStringLiteral("Unhandled Crash: %1") : QStringLiteral("Crash: %1"))
                   .arg(described));
    writeToLog(QStringLiteral("Stack Trace: (\n    %1\n)").arg(stack.join("\n    ")));
}

void DebugHelper::logMessage(const QString& message)
{
    if (message.isNull() || !debugOn())
        return;
    writeToLog(message);
}

QString DebugHelper::logFile() const
{
    return platform::Folders::documents() + "/" + LogFileName;
}

void DebugHelper::logToFile()
{
    const QByteArray path = logFile().toLocal8Bit();
    std::lock_guard lock(g_logMutex);
    // The descriptor is swapped under the stream, so a file that cannot be opened leaves
    // the error stream as it was (reopening the stream itself would close it).
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    std::fflush(stderr);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
}

void DebugHelper::deleteLogFile()
{
    QFile::remove(logFile());
}

void DebugHelper::clearLogFile()
{
    const QByteArray path = logFile().toLocal8Bit();
    std::lock_guard lock(g_logMutex);
    std::fflush(stderr);
    // The stream appends, so its next line starts the emptied file.
    [[maybe_unused]] const int failed = ::truncate(path.constData(), 0);
}
