#pragma once

#include "grid/ColumnTableDataController.h"
#include "grid/TableDataController.h"

#include <QList>
#include <QStringList>

#include <memory>

class FileInfo;
class FileBrowserProtocol;
class FileBrowserScreenProtocol;

// The data controller of the open and save file browser over Documents: one row per
// entry of a folder (FileInfo records), each folder level its own browser screen pushed
// on the stack. It makes folders (through the folder form), deletes entries, and ends the
// browser with the tapped file (open) or with a new entry of the typed name (save),
// closing every level at once and telling the browser's delegate. Its screen must be a
// main grid screen that also adopts FileBrowserScreenProtocol. Main thread.
class FileBrowserDataController : public TableDataController, public ColumnTableDataController {
    Q_OBJECT
public:
    // The folder of the breadcrumb link's entry, or at the top the browser's start folder
    // (a folder inside Documents, given as a path from Documents or as a full path), or
    // Documents when it names none.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // "adbuiltin" for a folder, "workitems" for a file.
    QString getDynamicImage(qint64 index) override;
    // The column view: one column of names, 200 points wide.
    QList<double> columnWidths() const override;
    QStringList columnHeaders() const override;
    QStringList columnValues(qint64 index) override;
    // Folders and files have their own images in the column table too.
    bool respondsToGetDynamicImage() const override { return true; }
    void searchData(const QString& text) override;

    // A new folder entry in the folder shown, in the folder form.
    void addRow() override;
    // The folder form's Save: makes the folder; the form closes (afterSave) when it was
    // made. A name that is empty or not one plain name is refused.
    bool saveRow(const QVariant& row, QObject* form);
    bool saveRow(const QVariant& row) override;
    // Removes the selected entry from disk, a folder with everything in it.
    bool deleteRow() override;
    // A swiped tile offers delete only: an entry has no edit form.
    qint8 tilesButtons() override { return 1; }
    // A folder opens as a new browser level; a file ends the browser with it, or, in a
    // browser no one waits on, opens in the preview.
    void tapOnDisclosure(qint64 index) override;
    // Ends a save browser with a new entry of the typed name in the folder shown. The
    // name must be one plain name ("Invalid File Name." otherwise).
    void saveTouched(platform::ui::Control* sender) override;
    // Closes the browser back to the screen that opened it and tells the delegate.
    void closeFileBrowse(const std::shared_ptr<FileInfo>& entry);
    // Closes the browser the same way, choosing nothing: the delegate is not told.
    void cancelFileBrowse();

    static const QString FolderImage; // "adbuiltin"
    static const QString FileImage; // "workitems"
    static constexpr double NameColumnWidth = 200;

protected:
    // The folder the browser starts in and never leaves: Documents here.
    virtual std::shared_ptr<FileInfo> rootFolder() const;
    // The entries a level lists; every entry here.
    virtual QList<std::shared_ptr<FileInfo>> entriesOf(
        const std::shared_ptr<FileInfo>& folder) const;

private:
    std::shared_ptr<FileInfo> entryAt(qint64 index) const;
    // The folder this level shows: the link's entry, or the browser's start folder.
    std::shared_ptr<FileInfo> shownFolder() const;
    // The browser's start folder when it names a folder inside the root, else the root.
    std::shared_ptr<FileInfo> startFolder() const;
    FileBrowserScreenProtocol* browser() const;
    // Closes every level of the browser back to its opener; answers the delegate, or null
    // when there is none (and nothing is closed).
    FileBrowserProtocol* closeBrowser();
};
