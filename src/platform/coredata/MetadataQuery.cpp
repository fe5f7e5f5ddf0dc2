#include "platform/coredata/MetadataQuery.h"

#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/FolderWatch.h"

#include <QDirIterator>
#include <QFileInfo>

#include <mutex>

namespace platform::coredata {

const QString MetadataQuery::DidFinishGatheringNotification
    = QStringLiteral("NSMetadataQueryDidFinishGatheringNotification");
const QString MetadataQuery::DidUpdateNotification
    = QStringLiteral("NSMetadataQueryDidUpdateNotification");
const QString MetadataQuery::UbiquitousDataScope
    = QStringLiteral("NSMetadataQueryUbiquitousDataScope");
const QString MetadataQuery::ItemFSNameKey = QStringLiteral("kMDItemFSName");
const QString MetadataQuery::ItemURLKey = QStringLiteral("kMDItemURL");

namespace {

struct Result {
    QString path;
    qint64 modified = 0;
    qint64 size = 0;
    bool operator==(const Result&) const = default;
};

} // namespace

struct MetadataQuery::Shared {
    const MetadataQuery* owner = nullptr;
    mutable std::mutex mutex;
    QStringList scopes { UbiquitousDataScope };
    QString name;
    bool started = false;
    bool gathered = false;
    int disabled = 0;
    bool updatePending = false;
    QList<Result> results;
    std::unique_ptr<FolderWatch> watch;
    std::shared_ptr<dispatch::SerialQueue> queue
        = dispatch::SerialQueue::create(QStringLiteral("MetadataQueryQueue"));

    QStringList folders() const
    {
        QStringList list;
        for (const QString& scope : scopes)
            list << (scope == UbiquitousDataScope ? CloudContainer::rootPath() : scope);
        return list;
    }

    void scan()
    {
        QStringList roots;
        QString wanted;
        {
            std::lock_guard lock(mutex);
            if (!started)
                return;
            roots = folders();
            wanted = name;
        }
        QList<Result> found;
        for (const QString& root : std::as_const(roots)) {
            // Hidden folders (kept versions) are not searched.
            QDirIterator it(root, { wanted }, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo info(it.next());
                if (info.fileName() == wanted) {
                    found.append({ info.absoluteFilePath(), info.lastModified().toMSecsSinceEpoch(),
                        info.size() });
                }
            }
        }
        QString post;
        {
            std::lock_guard lock(mutex);
            if (!started)
                return;
            if (!gathered) {
                gathered = true;
                results = found;
                post = DidFinishGatheringNotification;
            } else if (found != results) {
                results = found;
                if (disabled > 0)
                    updatePending = true;
                else
                    post = DidUpdateNotification;
            }
        }
        if (!post.isEmpty())
            NotificationCenter::defaultCenter().post(post, owner);
    }
};

MetadataQuery::MetadataQuery()
    : m_shared(std::make_shared<Shared>())
{
    m_shared->owner = this;
}

MetadataQuery::~MetadataQuery()
{
    stop();
}

void MetadataQuery::setSearchScopes(const QStringList& scopes)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->scopes = scopes;
}

void MetadataQuery::setFileNamePredicate(const QString& name)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->name = name;
}

bool MetadataQuery::start()
{
    std::lock_guard lock(m_shared->mutex);
    if (m_shared->started)
        return false;
    m_shared->started = true;
    m_shared->gathered = false;
    const std::weak_ptr<Shared> weak = m_shared;
    auto scanSoon = [weak] {
        if (auto shared = weak.lock())
            shared->queue->async([weak] {
                if (auto alive = weak.lock())
                    alive->scan();
            });
    };
    m_shared->watch = std::make_unique<FolderWatch>(
        m_shared->folders(), CloudContainer::pollInterval(), scanSoon);
    scanSoon();
    return true;
}

void MetadataQuery::stop()
{
    std::unique_ptr<FolderWatch> watch;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->started = false;
        watch = std::move(m_shared->watch);
    }
}

bool MetadataQuery::isStarted() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->started;
}

void MetadataQuery::disableUpdates()
{
    std::lock_guard lock(m_shared->mutex);
    ++m_shared->disabled;
}

void MetadataQuery::enableUpdates()
{
    bool post = false;
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->disabled > 0 && --m_shared->disabled == 0 && m_shared->updatePending) {
            m_shared->updatePending = false;
            post = m_shared->started;
        }
    }
    if (post)
        NotificationCenter::defaultCenter().post(DidUpdateNotification, this);
}

int MetadataQuery::resultCount() const
{
    std::lock_guard lock(m_shared->mutex);
    return int(m_shared->results.size());
}

QVariant MetadataQuery::valueOfAttribute(int index, const QString& attribute) const
{
    std::lock_guard lock(m_shared->mutex);
    if (index < 0 || index >= m_shared->results.size())
        return {};
    const QString& path = m_shared->results.at(index).path;
    if (attribute == ItemURLKey)
        return QUrl::fromLocalFile(path);
    if (attribute == ItemFSNameKey)
        return QFileInfo(path).fileName();
    return {};
}

} // namespace platform::coredata
