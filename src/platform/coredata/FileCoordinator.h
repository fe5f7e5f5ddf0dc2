#pragma once

#include "platform/Error.h"

#include <QUrl>

#include <functional>
#include <memory>

namespace platform::coredata {

class FilePresenter;

// Reads and writes files so that their presenters hear of it (see FilePresenter). A
// coordinator made with a presenter does not report its own accesses to that presenter,
// and a write with WritingForMerging over a version of the file that the presenter has not
// seen keeps that version as a conflict version (see FileVersion), as the cloud does when
// two machines write one file at once.
class FileCoordinator {
public:
    enum WritingOption {
        WritingForDeleting = 1,
        WritingForMerging = 2,
    };

    // The presenter (not owned) is only compared with the registered ones.
    explicit FileCoordinator(const FilePresenter* filePresenter = nullptr);

    static void addFilePresenter(const std::shared_ptr<FilePresenter>& presenter);
    static void removeFilePresenter(const FilePresenter* presenter);
    // Looks at the presented files now rather than at the next change or poll (tests).
    static void lookAtPresentedItems();

    // Calls the accessor with the URL to use. False, with the error, when the access could
    // not be coordinated (no URL, a presenter refused a deletion); the accessor then did
    // not run.
    bool coordinateReadingItemAtURL(
        const QUrl& url, const std::function<void(const QUrl&)>& reader, Error* error = nullptr);
    bool coordinateWritingItemAtURL(const QUrl& url, int options,
        const std::function<void(const QUrl&)>& writer, Error* error = nullptr);

private:
    const FilePresenter* m_presenter;
};

} // namespace platform::coredata
