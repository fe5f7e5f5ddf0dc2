#pragma once

#include "grid/FileBrowserDataController.h"

// The file browser over the cloud documents folder, for saving an export there: the
// documents of the folder (the cloud store keeps no subfolders, so none are listed); the
// typed name goes to the browser's delegate, which saves the document of that name.
// Empty when the cloud folder cannot be made.
class CloudFileBrowserDataController : public FileBrowserDataController {
    Q_OBJECT
protected:
    std::shared_ptr<FileInfo> rootFolder() const override;
    QList<std::shared_ptr<FileInfo>> entriesOf(
        const std::shared_ptr<FileInfo>& folder) const override;
};
