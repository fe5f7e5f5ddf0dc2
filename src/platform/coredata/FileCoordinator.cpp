#include "platform/coredata/FileCoordinator.h"

#include "platform/Dispatch.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/FilePresenter.h"
#include "platform/coredata/FileVersion.h"
#include "platform/coredata/FolderWatch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::coredata {

namespace {

// What a presenter knows of its file. Small files (markers) are told apart by content:
// a machine that writes the same bytes again has changed nothing.
struct FileState {
    bool exists = false;
    qint64 size = -1;
    qint64 modified = 0;
    QByteArray digest;
    bool operator==(const FileState&) const = default;
};

constexpr qint64 DigestLimit = 64 * 1024;

FileState stateOf(const QString& path)
{
    FileState state;
    if (path.isEmpty())
        return state;
    const QFileInfo info(path);
    if (!info.exists())
        return state;
    state.exists = true;
    state.size = info.size();
    state.modified = info.lastModified().toMSecsSinceEpoch();
    if (info.isFile() && state.size <= DigestLimit) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            state.digest = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
    }
    return state;
}

bool isAtOrInside(const QString& path, const QString& folder)
{
    return !path.isEmpty() && (path == folder || path.startsWith(folder + '/'));
}

using Delivery = std::function<void(FilePresenter&)>;

struct Entry {
    std::shared_ptr<FilePresenter> presenter;
    std::shared_ptr<std::atomic<bool>> alive;
    QString path;
    FileState known; // what it has been told of
    FileState seen; // what it has read, written or been told of
    QList<FileVersion> versions;
};

struct Pending {
    std::shared_ptr<FilePresenter> presenter;
    std::shared_ptr<std::atomic<bool>> alive;
    Delivery delivery;
};

void deliver(const std::vector<Pending>& pending)
{
    for (const auto& item : pending) {
        auto run = [item] {
            if (item.alive->load())
                item.delivery(*item.presenter);
        };
        if (auto queue = item.presenter->presentedItemOperationQueue())
            queue->async(run);
        else
            dispatch::asyncGlobal(run);
    }
}

// The presenters of the process and the watch over their files.
class Registry {
public:
    static Registry& shared()
    {
        static Registry registry;
        return registry;
    }

    std::mutex mutex;
    std::vector<Entry> entries;

    // Coordinated accesses to one item (or to a folder and what it holds) take turns. A
    // thread inside an access may access the item again, and so may the presenters a
    // deletion is asking to make way.
    struct Access {
        QString path;
        std::thread::id owner;
        QList<const FilePresenter*> guests;
    };
    void beginAccess(const QString& path, const FilePresenter* presenter)
    {
        std::unique_lock lock(m_accessMutex);
        const auto self = std::this_thread::get_id();
        m_accessDone.wait(lock, [&] {
            for (const Access& busy : m_busy) {
                const bool overlaps
                    = isAtOrInside(path, busy.path) || isAtOrInside(busy.path, path);
                if (overlaps && busy.owner != self
                    && !(presenter && busy.guests.contains(presenter)))
                    return false;
            }
            return true;
        });
        m_busy.push_back({ path, self, {} });
    }
    void inviteGuests(const QString& path, const QList<const FilePresenter*>& guests)
    {
        std::lock_guard lock(m_accessMutex);
        for (Access& busy : m_busy) {
            if (busy.path == path && busy.owner == std::this_thread::get_id())
                busy.guests = guests;
        }
    }
    void endAccess(const QString& path)
    {
        {
            std::lock_guard lock(m_accessMutex);
            const auto self = std::this_thread::get_id();
            for (auto it = m_busy.begin(); it != m_busy.end(); ++it) {
                if (it->path == path && it->owner == self) {
                    m_busy.erase(it);
                    break;
                }
            }
        }
        m_accessDone.notify_all();
    }
    bool isBusy(const QString& path)
    {
        std::lock_guard lock(m_accessMutex);
        for (const Access& busy : m_busy) {
            if (isAtOrInside(path, busy.path))
                return true;
        }
        return false;
    }

    void add(const std::shared_ptr<FilePresenter>& presenter)
    {
        std::lock_guard lock(mutex);
        Entry entry;
        entry.presenter = presenter;
        entry.alive = std::make_shared<std::atomic<bool>>(true);
        const QUrl url = presenter->presentedItemURL();
        if (url.isLocalFile()) {
            entry.path = QDir::cleanPath(url.toLocalFile());
            entry.known = entry.seen = stateOf(entry.path);
            entry.versions = FileVersion::unresolvedConflictVersionsOfItemAtURL(url);
        }
        entries.push_back(std::move(entry));
        updateWatch();
    }

    void remove(const FilePresenter* presenter)
    {
        std::lock_guard lock(mutex);
        std::erase_if(entries, [presenter](const Entry& entry) {
            if (entry.presenter.get() != presenter)
                return false;
            entry.alive->store(false);
            return true;
        });
        updateWatch();
    }

    // Reports to each presenter what changed since it was last told.
    void scan()
    {
        std::vector<Pending> pending;
        {
            std::lock_guard lock(mutex);
            for (Entry& entry : entries) {
                // An item being accessed is looked at by the access itself when it ends.
                if (entry.path.isEmpty() || isBusy(entry.path))
                    continue;
                const FileState now = stateOf(entry.path);
                if (now != entry.known) {
                    if (entry.known.exists && !now.exists) {
                        pending.push_back({ entry.presenter, entry.alive, [](FilePresenter& p) {
                                               p.accommodatePresentedItemDeletion(
                                                   [](const Error&) {});
                                           } });
                    } else {
                        pending.push_back({ entry.presenter, entry.alive,
                            [](FilePresenter& p) { p.presentedItemDidChange(); } });
                    }
                    entry.known = entry.seen = now;
                }
                compareVersions(entry, pending);
            }
        }
        deliver(pending);
    }

    void scheduleScan()
    {
        if (m_scanScheduled.exchange(true))
            return;
        m_queue->async([this] {
            m_scanScheduled = false;
            scan();
        });
    }

    static void compareVersions(Entry& entry, std::vector<Pending>& pending)
    {
        const auto now
            = FileVersion::unresolvedConflictVersionsOfItemAtURL(QUrl::fromLocalFile(entry.path));
        for (const FileVersion& version : now) {
            if (!entry.versions.contains(version)) {
                pending.push_back({ entry.presenter, entry.alive,
                    [version](FilePresenter& p) { p.presentedItemDidGainVersion(version); } });
            }
        }
        for (const FileVersion& version : std::as_const(entry.versions)) {
            if (!now.contains(version)) {
                pending.push_back({ entry.presenter, entry.alive, [version](FilePresenter& p) {
                                       p.presentedItemDidResolveConflictVersion(version);
                                   } });
            }
        }
        entry.versions = now;
    }

private:
    Registry() = default;

    // Called with the mutex held.
    void updateWatch()
    {
        QStringList paths;
        for (const Entry& entry : entries) {
            if (entry.path.isEmpty())
                continue;
            paths << entry.path << QFileInfo(entry.path).absolutePath()
                  << FileVersion::conflictFolder(QUrl::fromLocalFile(entry.path));
        }
        paths.removeDuplicates();
        if (entries.empty()) {
            m_watch.reset();
        } else if (!m_watch) {
            m_watch = std::make_unique<FolderWatch>(
                paths, CloudContainer::pollInterval(), [this] { scheduleScan(); });
        } else {
            m_watch->setPaths(paths);
        }
    }

    std::unique_ptr<FolderWatch> m_watch;
    std::mutex m_accessMutex;
    std::condition_variable m_accessDone;
    std::vector<Access> m_busy;
    std::shared_ptr<dispatch::SerialQueue> m_queue
        = dispatch::SerialQueue::create(QStringLiteral("FilePresenterScanQueue"));
    std::atomic<bool> m_scanScheduled { false };
};

// One coordinated access's turn on its item, however the accessor ends.
class Turn {
public:
    Turn(Registry& registry, const QString& path, const FilePresenter* presenter)
        : m_registry(registry)
        , m_path(path)
    {
        m_registry.beginAccess(m_path, presenter);
    }
    ~Turn() { m_registry.endAccess(m_path); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

private:
    Registry& m_registry;
    QString m_path;
};

Error coordinationError(const QString& description, const QString& path = {})
{
    return makeError(PersistentStoreOperationError, description, path);
}

} // namespace

FileCoordinator::FileCoordinator(const FilePresenter* filePresenter)
    : m_presenter(filePresenter)
{
}

void FileCoordinator::addFilePresenter(const std::shared_ptr<FilePresenter>& presenter)
{
    if (presenter)
        Registry::shared().add(presenter);
}

void FileCoordinator::removeFilePresenter(const FilePresenter* presenter)
{
    Registry::shared().remove(presenter);
}

void FileCoordinator::lookAtPresentedItems()
{
    Registry::shared().scan();
}

bool FileCoordinator::coordinateReadingItemAtURL(
    const QUrl& url, const std::function<void(const QUrl&)>& reader, Error* error)
{
    if (!url.isLocalFile()) {
        report(error, coordinationError(QStringLiteral("There is no file to read.")));
        return false;
    }
    Registry& registry = Registry::shared();
    const QString path = QDir::cleanPath(url.toLocalFile());
    {
        Turn turn(registry, path, m_presenter);
        reader(url);
    }
    if (m_presenter) {
        std::lock_guard lock(registry.mutex);
        for (Entry& entry : registry.entries) {
            if (entry.presenter.get() == m_presenter && entry.path == path)
                entry.seen = stateOf(path);
        }
    }
    return true;
}

bool FileCoordinator::coordinateWritingItemAtURL(
    const QUrl& url, int options, const std::function<void(const QUrl&)>& writer, Error* error)
{
    if (!url.isLocalFile()) {
        report(error, coordinationError(QStringLiteral("There is no file to write.")));
        return false;
    }
    Registry& registry = Registry::shared();
    const QString path = QDir::cleanPath(url.toLocalFile());
    const bool deleting = options & WritingForDeleting;

    // The turn is taken before the presenters are asked, so that nothing else reaches the
    // item between their making way and the deletion.
    Turn turn(registry, path, m_presenter);
    if (deleting) {
        // The other presenters of the item make way first; the deletion waits for them.
        std::vector<Pending> others;
        QList<const FilePresenter*> guests;
        {
            std::lock_guard lock(registry.mutex);
            for (const Entry& entry : registry.entries) {
                if (entry.path == path && entry.presenter.get() != m_presenter) {
                    others.push_back({ entry.presenter, entry.alive, {} });
                    guests << entry.presenter.get();
                }
            }
        }
        registry.inviteGuests(path, guests);
        for (const auto& other : others) {
            std::promise<Error> answered;
            auto answer = answered.get_future();
            auto ask = [&answered, presenter = other.presenter] {
                presenter->accommodatePresentedItemDeletion(
                    [&answered](const Error& refusal) { answered.set_value(refusal); });
            };
            auto queue = other.presenter->presentedItemOperationQueue();
            if (!queue || queue->isCurrent())
                ask();
            else
                queue->async(ask);
            const Error refusal = answer.get();
            if (!refusal.isNull()) {
                report(error, refusal);
                return false;
            }
        }
    }

    FileState before;
    QByteArray unseenContent;
    QDateTime unseenDate;
    bool unseen = false;
    if ((options & WritingForMerging) && m_presenter) {
        std::lock_guard lock(registry.mutex);
        for (const Entry& entry : registry.entries) {
            if (entry.presenter.get() != m_presenter || entry.path != path)
                continue;
            before = stateOf(path);
            // Another machine wrote a version this one has not seen: the cloud keeps both.
            if (before.exists && before != entry.seen) {
                QFile file(path);
                if (file.open(QIODevice::ReadOnly)) {
                    unseen = true;
                    unseenContent = file.readAll();
                    unseenDate = QFileInfo(path).lastModified().toUTC();
                }
            }
        }
    }

    // The version kept goes where the write went: into the account the writer wrote to.
    const QVariant token = unseen ? CloudContainer::ubiquityIdentityToken() : QVariant();
    writer(url);

    std::vector<Pending> pending;
    {
        std::lock_guard lock(registry.mutex);
        if (unseen && stateOf(path).digest != before.digest)
            FileVersion::addConflictVersion(url, unseenContent, unseenDate, token);
        for (Entry& entry : registry.entries) {
            if (!isAtOrInside(entry.path, path))
                continue;
            const FileState now = stateOf(entry.path);
            if (!deleting && entry.path == path && entry.presenter.get() != m_presenter
                && now != entry.known) {
                pending.push_back({ entry.presenter, entry.alive,
                    [](FilePresenter& p) { p.presentedItemDidChange(); } });
            }
            // What the process does itself is never reported again after the fact.
            entry.known = entry.seen = now;
            Registry::compareVersions(entry, pending);
        }
    }
    deliver(pending);
    return true;
}

} // namespace platform::coredata
