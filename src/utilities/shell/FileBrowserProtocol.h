#pragma once

#include <memory>

class FileInfo;

namespace platform::ui {
class ViewController;
}

// Told by a file browser which file the user picked (open) or named (save); the browser
// screen comes along as the sender. Main thread.
class FileBrowserProtocol {
public:
    virtual ~FileBrowserProtocol() = default;
    virtual void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& entry, platform::ui::ViewController* sender)
        = 0;
};
