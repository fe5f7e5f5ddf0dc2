#pragma once

#include <memory>

class FileInfo;

namespace platform::ui {
class ViewController;
}

// Told by a file browser what the person chose: the file to open, or the new entry to
// save under. The browser is closed first: popped back to the screen that opened it, or
// its popup dismissed; a delegate that is neither a screen nor a data controller closes
// it itself with one of the two optional dismissPopup calls (each announced by its
// respondsTo...).
class FileBrowserProtocol {
public:
    virtual ~FileBrowserProtocol();

    virtual void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& file, platform::ui::ViewController* sender)
        = 0;

    virtual bool respondsToDismissPopupSender() const { return false; }
    virtual void dismissPopup(platform::ui::ViewController* sender);
    virtual bool respondsToDismissPopup() const { return false; }
    virtual void dismissPopup();
};
