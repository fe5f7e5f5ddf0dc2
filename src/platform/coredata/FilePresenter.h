#pragma once

#include "platform/Error.h"

#include <QUrl>

#include <functional>
#include <memory>

namespace platform::dispatch {
class SerialQueue;
}

namespace platform::coredata {

class FileVersion;

// An object that shows a file and wants to hear of what others do to it. Registered with
// FileCoordinator::addFilePresenter, it is told, on its own queue, of changes, deletions
// and new or resolved conflict versions made by other coordinators of this process (a
// deletion before it happens) and by other processes and machines (after the fact). Writes
// through a coordinator made with the presenter itself are not reported to it. Each
// callback's default does nothing (the deletion's calls the completion at once).
class FilePresenter {
public:
    virtual ~FilePresenter() = default;

    virtual QUrl presentedItemURL() const = 0;
    virtual std::shared_ptr<dispatch::SerialQueue> presentedItemOperationQueue() const = 0;

    // The item is being (or has been) deleted; call the completion when ready for it.
    virtual void accommodatePresentedItemDeletion(std::function<void(const Error&)> completion)
    {
        completion(Error());
    }
    virtual void presentedItemDidChange() { }
    virtual void presentedItemDidGainVersion(const FileVersion&) { }
    virtual void presentedItemDidLoseVersion(const FileVersion&) { }
    virtual void presentedItemDidResolveConflictVersion(const FileVersion&) { }
};

} // namespace platform::coredata
