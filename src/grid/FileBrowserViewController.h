#pragma once

#include "grid/FileBrowserScreenProtocol.h"
#include "grid/MainCollectionViewController.h"
#include "platform/ui/TextField.h"

#include <QPointer>

class FileBrowserProtocol;

namespace platform::ui {
class BarButtonItem;
class Label;
class Storyboard;
} // namespace platform::ui

// A file browser: a main grid screen over a folder's entries that either opens a file or
// saves under a name typed in its file-name field. A save dialog shows the field in its
// navigation bar with the save button on the right (Return in the field saves too) and,
// where there is no back button (the first level, in a popup), Cancel on the left. Inside
// a folder the folder's name shows above the field, since the field takes the title's place.
// Whoever opens it sets the dialog's fields before showing it, and may show the same
// browser again with new ones.
class FileBrowserViewController : public MainCollectionViewController,
                                  public FileBrowserScreenProtocol,
                                  public platform::ui::TextFieldDelegate {
    Q_OBJECT
public:
    explicit FileBrowserViewController(QObject* parent = nullptr);
    ~FileBrowserViewController() override;

    // The browser under its storyboard identifier.
    static void registerStoryboard(platform::ui::Storyboard& storyboard);

    bool saveDialog() const override { return m_saveDialog; }
    void setSaveDialog(bool save) override;
    // The new default name is also what the file-name field offers from now on.
    QString defaultFileName() const override { return m_defaultFileName; }
    void setDefaultFileName(const QString& name) override;
    // The text of the file-name field.
    QString fileName() const override;
    platform::ui::TextField* fileNameField() const { return m_fileName; }
    // The folder's name over the field of a save dialog's folder level; null elsewhere.
    platform::ui::Label* folderNameLabel();
    // The file type the dialog is for ("csv", "xls" ...).
    QString type() const { return m_type; }
    void setType(const QString& type) { m_type = type; }
    QString startupDir() const override { return m_startupDir; }
    void setStartupDir(const QString& folder) { m_startupDir = folder; }
    // Not owned; a delegate that is a QObject is forgotten when it goes.
    FileBrowserProtocol* fileBrowserDelegate() const override;
    void setFileBrowserDelegate(FileBrowserProtocol* delegate) override;
    void setParentLink(std::shared_ptr<Parent> link) override;
    void setScreen(std::shared_ptr<ScreenData> record) override;

    // A save dialog's record gets the save button in the navigation bar.
    void initProperties() override;
    void viewDidLoad() override;
    void customViewWillAppear() override;
    bool textFieldShouldReturn(platform::ui::TextField* field) override;
    // The Cancel of a save dialog's first level; null when none shows.
    platform::ui::BarButtonItem* cancelItem();

    // The field is at least this wide, and wider for a longer default name; the bar gives
    // it what room it has, and a name that does not fit then is shown smaller.
    static constexpr double FileNameWidth = 220;
    static constexpr double FileNameHeight = 28;
    static constexpr double FileNameMinimumFontSize = 12;
    // At a folder level the bar holds the folder's name over a lower field.
    static constexpr double FolderTitleHeight = 44;
    static constexpr double FolderNameTop = 5;
    static constexpr double FolderNameHeight = 14;
    static constexpr quint32 SaveButton = 31;

private:
    // The field shows in the navigation bar only in a save dialog.
    void showFileNameField();
    void showCancelItem();
    // A level below the dialog's first: a folder the person went into.
    bool isFolderLevel();

    bool m_saveDialog = false;
    QString m_defaultFileName;
    QString m_type;
    QString m_startupDir;
    FileBrowserProtocol* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    bool m_delegateIsObject = false;
    QPointer<platform::ui::TextField> m_fileName;
    // The field under the folder's name, at a folder level.
    QPointer<platform::ui::View> m_folderTitle;
    QPointer<platform::ui::BarButtonItem> m_cancel;
};
