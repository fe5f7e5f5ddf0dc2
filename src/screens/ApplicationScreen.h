#pragma once

#include "grid/ExportMenuHost.h"
#include "grid/FileBrowserScreenProtocol.h"
#include "grid/MainCollectionViewController.h"
#include "screens/ScreenHost.h"

#include <QPointer>

namespace platform::ui {
class Storyboard;
}

// The application's grid screen: the main grid screen that also serves what the
// application's data controllers and export menus ask of it (options lists, popups,
// screens opened with a chosen row, the file browsers), and that is itself the file
// browser's screen when a record opened as a screen names a file browser. The storyboard
// makes every grid screen of the application as one of these; the open and save dialogs
// are the grid's own file browsers, with their file-name field.
class ApplicationScreen : public MainCollectionViewController,
                          public ScreenHost,
                          public ExportMenuHost,
                          public FileBrowserScreenProtocol {
    Q_OBJECT
public:
    explicit ApplicationScreen(QObject* parent = nullptr);
    ~ApplicationScreen() override;

    // The grid screen and the file browser of the storyboard become this class.
    static void registerStoryboard(platform::ui::Storyboard& storyboard);

    // The link carries the row chosen for the screen being opened, when there is one.
    std::shared_ptr<Parent> createParent() override;

    // ScreenHost.
    void showHud() override { BaseViewController::showHud(); }
    void hideHud() override { BaseViewController::hideHud(); }
    void forceHideHud() override { BaseViewController::forceHideHud(); }
    void showScreen(const QString& screenId, const QString& segue, const QVariant& data) override;
    void showOptionsList(const OptionsList& list) override;
    void dismissPopup() override { BaseViewController::dismissPopup(); }
    void showPopup(const QString& popup, const QString& segue) override;
    void showScreenInPopup(const QString& screenId, const QSizeF& size) override;
    void showLocalFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupdir, const QString& title, FileBrowserProtocol* delegate) override;
    void showRowDetail(const QVariantMap& values) override;
    void setParentLink(std::shared_ptr<Parent> link) override
    {
        BaseViewController::setParentLink(std::move(link));
    }

    // ExportMenuHost.
    platform::ui::ViewController* hostViewController() override { return this; }
    QObject* hostDataController() override;
    void showListMenu(const QString& title, const QStringList& texts, const QStringList& images,
        const QSizeF& popupSize, std::function<void(qint64)> select) override;
    void dismissListMenu() override;
    void showCloudFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate) override;
    void refreshView() override { MainCollectionViewController::refreshView(); }

    // FileBrowserScreenProtocol.
    bool saveDialog() const override { return m_saveDialog; }
    void setSaveDialog(bool save) override { m_saveDialog = save; }
    FileBrowserProtocol* fileBrowserDelegate() const override { return m_fileDelegate; }
    void setFileBrowserDelegate(FileBrowserProtocol* delegate) override
    {
        m_fileDelegate = delegate;
    }
    QString fileName() const override { return m_defaultFileName; }
    QString defaultFileName() const override { return m_defaultFileName; }
    void setDefaultFileName(const QString& name) override { m_defaultFileName = name; }
    void setScreen(std::shared_ptr<ScreenData> record) override
    {
        BaseViewController::setScreen(std::move(record));
    }

    static const QString RowDetailForm; // "RowDetailViewController"

private:
    void showList(const std::shared_ptr<ScreenData>& record, const QStringList& texts,
        const QStringList& images, const QSizeF& popupSize, std::function<void(qint64)> select);

    QVariant m_pendingData;
    bool m_hasPendingData = false;
    bool m_saveDialog = false;
    FileBrowserProtocol* m_fileDelegate = nullptr;
    QString m_defaultFileName;
    QPointer<platform::ui::ViewController> m_listMenuUnder;
};
