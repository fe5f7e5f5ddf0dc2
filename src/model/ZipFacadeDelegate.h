#pragma once

#include <QString>

// What a ZipFacade tells its owner and asks it. Both are optional.
class ZipFacadeDelegate {
public:
    virtual ~ZipFacadeDelegate() = default;

    // One of the facade's error texts, when extracting or listing fails.
    virtual void ErrorMessage(const QString& message) { Q_UNUSED(message); }
    // Whether the existing file at the path may be replaced while extracting without
    // overwriting. Not answering keeps the file.
    virtual bool OverWriteOperation(const QString& path)
    {
        Q_UNUSED(path);
        return false;
    }
};
