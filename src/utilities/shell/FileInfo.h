#pragma once

#include <QString>

#include <memory>

// A node of the file-browser tree: an entry's name, whether it is a folder, the node of
// the folder above (null at the top) and the absolute path.
class FileInfo {
public:
    QString name;
    bool isDir = false;
    std::shared_ptr<FileInfo> parent;
    QString fullName;
};
