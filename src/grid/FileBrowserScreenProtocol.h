#pragma once

#include <QString>

#include <memory>

class FileBrowserProtocol;
class Parent;
class ScreenData;

// A file-browser screen as its data controller sees it: whether it saves or opens, who
// hears the result, the typed file name, and, for a new level of folders, its link and
// record before it is shown. The file browsers of the application implement it beside
// GridScreenProtocol.
class FileBrowserScreenProtocol {
public:
    virtual ~FileBrowserScreenProtocol();

    virtual bool saveDialog() const = 0;
    virtual void setSaveDialog(bool save) = 0;
    // Not owned.
    virtual FileBrowserProtocol* fileBrowserDelegate() const = 0;
    virtual void setFileBrowserDelegate(FileBrowserProtocol* delegate) = 0;
    // The text of the file-name field.
    virtual QString fileName() const = 0;
    virtual QString defaultFileName() const = 0;
    virtual void setDefaultFileName(const QString& name) = 0;
    // The folder the browser opens in; empty for Documents.
    virtual QString startupDir() const { return {}; }
    virtual void setParentLink(std::shared_ptr<Parent> link) = 0;
    virtual void setScreen(std::shared_ptr<ScreenData> record) = 0;

    static const QString StoryboardIdentifier; // "FileBrowserViewController"
};
