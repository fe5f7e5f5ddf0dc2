#include "bridge/CloudFileBrowserDataController.h"

#include "bridge/iCloud.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"

#include <QUrl>

std::shared_ptr<FileInfo> CloudFileBrowserDataController::rootFolder() const
{
    const QUrl documents = iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL();
    if (documents.isEmpty())
        return nullptr;
    auto folder = std::make_shared<FileInfo>();
    folder->name = iCloud::DocumentsFolder;
    folder->isDir = true;
    folder->fullName = documents.toLocalFile();
    return folder;
}

QList<std::shared_ptr<FileInfo>> CloudFileBrowserDataController::entriesOf(
    const std::shared_ptr<FileInfo>& folder) const
{
    QList<std::shared_ptr<FileInfo>> documents = FileManager::getChilds(folder);
    documents.removeIf([](const std::shared_ptr<FileInfo>& entry) { return entry->isDir; });
    return documents;
}
