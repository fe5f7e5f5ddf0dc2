#pragma once

#include <QStringList>

#include <functional>
#include <memory>

namespace platform::coredata {

// Tells when files or folders may have changed: at once where the system reports changes,
// and at a fixed interval in any case, since a folder shared from another machine reports
// nothing of what that machine writes. The callback runs on the main thread (it should
// hand its work on); it is never called once stop() has returned on the main thread, and
// at most once more when stop() returns on another.
class FolderWatch {
public:
    using Callback = std::function<void()>;

    // intervalMs 0 or less: no periodic look.
    FolderWatch(const QStringList& paths, int intervalMs, Callback changed);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches these paths from now on (paths that do not exist are skipped).
    void setPaths(const QStringList& paths);
    void stop();

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace platform::coredata
