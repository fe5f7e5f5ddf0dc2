#include "platform/coredata/FolderWatch.h"

#include "platform/Dispatch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <mutex>

namespace platform::coredata {

namespace {

// The Qt objects of one watch; they live on the main thread, where the event loop runs.
struct Host {
    QFileSystemWatcher watcher;
    QTimer timer;
};

} // namespace

struct FolderWatch::Shared {
    std::mutex mutex;
    Callback callback;
    QStringList paths;
    bool stopped = false;
    std::unique_ptr<Host> host; // touched on the main thread only

    void fire()
    {
        Callback call;
        {
            std::lock_guard lock(mutex);
            if (stopped)
                return;
            call = callback;
        }
        if (call)
            call();
    }

    // Main thread.
    void applyPaths()
    {
        if (!host)
            return;
        QStringList wanted;
        {
            std::lock_guard lock(mutex);
            wanted = paths;
        }
        const QStringList watched = host->watcher.files() + host->watcher.directories();
        QStringList gone;
        for (const QString& path : watched) {
            if (!wanted.contains(path))
                gone << path;
        }
        if (!gone.isEmpty())
            host->watcher.removePaths(gone);
        QStringList added;
        for (const QString& path : std::as_const(wanted)) {
            // A path deleted and made again is watched anew.
            if (QFileInfo::exists(path))
                added << path;
        }
        if (!added.isEmpty())
            host->watcher.addPaths(added);
    }
};

namespace {

void start(const std::shared_ptr<FolderWatch::Shared>& shared, int intervalMs)
{
    {
        std::lock_guard lock(shared->mutex);
        if (shared->stopped)
            return;
    }
    shared->host = std::make_unique<Host>();
    Host* host = shared->host.get();
    const std::weak_ptr<FolderWatch::Shared> weak = shared;
    auto changed = [weak] {
        if (auto alive = weak.lock()) {
            // A file replaced by rename drops out of the watch: watch its path again.
            alive->applyPaths();
            alive->fire();
        }
    };
    QObject::connect(&host->watcher, &QFileSystemWatcher::fileChanged, changed);
    QObject::connect(&host->watcher, &QFileSystemWatcher::directoryChanged, changed);
    if (intervalMs > 0) {
        QObject::connect(&host->timer, &QTimer::timeout, changed);
        host->timer.start(intervalMs);
    }
    shared->applyPaths();
}

} // namespace

FolderWatch::FolderWatch(const QStringList& paths, int intervalMs, Callback changed)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->callback = std::move(changed);
    m_shared->paths = paths;
    if (!QCoreApplication::instance())
        return;
    if (dispatch::isMainThread())
        start(m_shared, intervalMs);
    else
        dispatch::asyncMain([shared = m_shared, intervalMs] { start(shared, intervalMs); });
}

FolderWatch::~FolderWatch()
{
    stop();
}

void FolderWatch::setPaths(const QStringList& paths)
{
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->paths == paths)
            return;
        m_shared->paths = paths;
    }
    if (dispatch::isMainThread())
        m_shared->applyPaths();
    else
        dispatch::asyncMain([shared = m_shared] { shared->applyPaths(); });
}

void FolderWatch::stop()
{
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->stopped)
            return;
        m_shared->stopped = true;
        m_shared->callback = nullptr;
    }
    // The Qt objects go on the main thread, where they live; should the event loop never
    // run again, they go with the block when the application discards it.
    if (dispatch::isMainThread())
        m_shared->host.reset();
    else
        dispatch::asyncMain([shared = m_shared] { shared->host.reset(); });
}

} // namespace platform::coredata
