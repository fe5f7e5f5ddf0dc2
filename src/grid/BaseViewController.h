#pragma once

#include "grid/OrietnationViewController.h"
#include "platform/Error.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/MailComposeViewController.h"
#include "utilities/shell/BaseViewControllerProtocol.h"
#include "utilities/shell/CloudStoreProtocol.h"
#include "utilities/shell/HudProtocol.h"
#include "widgets/KeyboardControls.h"
#include "widgets/PopoverControllerDelegate.h"
#include "widgets/SimplePopoverControllerDelegate.h"

#include <QByteArray>
#include <QPointer>
#include <QSizeF>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

class BaseDataController;
class FileBrowserProtocol;
class Parent;
class PopoverController;
class ProgressHUD;
class ScreenData;
class SimplePopupViewController;
class ToolBar;

namespace platform::ui {
class Control;
class NavigationController;
class View;
} // namespace platform::ui

// What every screen of the system shares: it turns its screen record into a working
// screen (the data controller made from the record, the bottom and top toolbars from its
// button sets, shown again at every appearance), hands the breadcrumb to the child screen
// a segue opens, counts the requests for its progress overlay, opens detail forms, hosts
// one popover and one popup, saves files and passes the cloud store's notices on to its
// data controller. Grid screens and forms derive from it.
class BaseViewController : public OrietnationViewController,
                           public BaseViewControllerProtocol,
                           public HudProtocol,
                           public CloudStoreProtocol,
                           public PopoverControllerDelegate,
                           public SimplePopoverControllerDelegate,
                           public KeyboardControlsDelegate,
                           public platform::ui::MailComposeViewControllerDelegate {
    Q_OBJECT
public:
    // Called once a save has ended, before its message shows; a null error when it worked.
    using SaveCompletion = std::function<void(const platform::Error& error)>;

    explicit BaseViewController(QObject* parent = nullptr);
    ~BaseViewController() override;

    // The record this screen shows, set by whoever opens the screen before its view loads.
    std::shared_ptr<ScreenData> screen() const { return m_screen; }
    void setScreen(std::shared_ptr<ScreenData> screen) { m_screen = std::move(screen); }
    // The breadcrumb link of the screen that opened this one; null at the root.
    std::shared_ptr<Parent> parentLink() const { return m_parent; }
    void setParentLink(std::shared_ptr<Parent> link) { m_parent = std::move(link); }
    // Made from the record by initProperties; null when the record names none.
    std::shared_ptr<BaseDataController> dataController() const { return m_dataController; }
    ToolBar* toolBar() const { return m_toolBar.get(); }
    // Null when the record has no top buttons.
    ToolBar* toptoolBar() const { return m_toptoolBar.get(); }
    // The overlay shown now, or null.
    ProgressHUD* HUD() const;
    // Requests counted for the overlay.
    quint64 hudCount() const;
    // Set by refreshView: the screen reloads when it next comes into view.
    bool refresh() const { return m_refresh; }
    void setRefresh(bool refresh) { m_refresh = refresh; }
    PopoverController* popupController() const;
    SimplePopupViewController* simplepopupController() const;
    // The screen that opened this one (held weakly).
    platform::ui::ViewController* callingViewController() const;
    void setCallingViewController(platform::ui::ViewController* controller);
    // Set when the screen comes back from the file preview: the toolbar shows a little later.
    bool popFromKivoPreview() const { return m_popFromKivoPreview; }
    void setPopFromKivoPreview(bool value) { m_popFromKivoPreview = value; }

    // Life cycle.
    void loadView() override;
    // Makes the data controller and the toolbars from the record. Subclasses call it first.
    virtual void initProperties();
    void viewWillAppear(bool animated) override;
    // Shows the toolbars; runs at every appearance.
    virtual void customViewWillAppear();
    // The child's breadcrumb link and record, built from this screen's record.
    void prepareForSegue(platform::ui::StoryboardSegue& segue, QObject* sender) override;

    // The counted overlay, from any thread: each start is ended by one completion, and the
    // overlay shows while the count is above zero. The work runs on the main queue.
    void requestStarted();
    // An error in the response is shown once the count has been updated.
    void requestCompleted(const platform::Error& error = {});
    void showHud() override;
    void hideHud() override;
    // Takes the overlay down at once, whatever the count.
    void forceHideHud();

    void refreshView() override;
    void setBackGround() override;
    void ShowToolBar() override;
    void showTopBar() override;

    // Opens the detail form of that class (a name in DetailFormRegistry) for the row (an
    // invalid row: a form without a record), titled when a title is given: pushed on a
    // phone or with push, else in a popover without arrow from the top centre. The form's
    // root is built off the main thread, its screen on it.
    void ShowDetail(
        const QVariant& row, const QString& detailType, const QString& title, bool push = false);

    // One popover at a time: a new one closes the current one first. Without an anchor
    // view it opens from (centre x of this view, 20).
    void showPopupController(platform::ui::ViewController* content, const QSizeF& contentSize,
        unsigned arrowDirection, platform::ui::View* fromView, bool doneButton, qint32 tint = 2,
        bool border = true);
    // A popup shown while another is up leaves that one open; it stays this screen's to
    // close.
    void showSimplePopupcontroller(platform::ui::ViewController* content, const QSizeF& contentSize,
        const QPointF& fromPoint, bool withBorder);
    // Closes the popover, then every popup this screen has up.
    Q_INVOKABLE void dismissPopup();
    // The same; the completion runs once the popover has gone (at once without one).
    void dismissPopup(std::function<void()> completion);
    void popoverControllerDidDismissPopover(PopoverController* controller) override;
    void SimplePopoverControllerDidDismissPopover(SimplePopupViewController* controller) override;

    // Saves the data: locally at the path (written to a temporary name and renamed into
    // place), or as the cloud document of that name. A failed save shows its error and no
    // success. With the view option the success alert offers to open the file (tag 1000,
    // 1001 for the cloud) and tells the delegate; otherwise a plain message says so.
    void saveFile(const QString& fileName, const QByteArray& data, bool iCloud, bool viewOption,
        platform::ui::AlertViewDelegate* delegate, SaveCompletion completion = {});
    // View option on, the data controller as the alert's delegate.
    void saveFile(const QString& fileName, const QByteArray& data, bool iCloud,
        SaveCompletion completion = {});
    void saveDataToCloud(const QByteArray& data, const QString& fileName, bool viewOption,
        platform::ui::AlertViewDelegate* delegate, SaveCompletion completion = {});

    // The file browsers, to open a file or (save) to choose where one goes; the delegate
    // hears the choice. Pushed on a phone, in a 400 x 800 popup on a tablet. A browser is
    // kept and shown again for the same kind of dialog and type: the local and remote
    // browsers share one, the cloud browser has its own. Each showing takes the new
    // name, start folder, title and delegate.
    void showFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate);
    void showLocalFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate);
    void showCloudFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate);
    // The browsers kept now (null when none): the screen the storyboard makes under the
    // file browser's identifier.
    platform::ui::ViewController* fileBrowser() const;
    platform::ui::ViewController* cloudFileBrowser() const;
    static constexpr double FileBrowserWidth = 400;
    static constexpr double FileBrowserHeight = 800;

    // Whether the toolbar button sits in the navigation bar rather than the bottom bar.
    bool isButtonInTopBar(platform::ui::View* button);
    // Whether the controller is on the navigation stack of the application's current screen.
    static bool isInNavigationStack(platform::ui::ViewController* controller);
    // False while a child covers this screen; true once it has left the stack.
    bool disappearedOnPop();
    // Goes back to the screen of that id on the stack, or to the root.
    void poptoscreen(const QString& screenId);

    void cloudStoreUnloaded() override;
    void cloudStoreLoaded() override;
    void mailComposeControllerDidFinish(platform::ui::MailComposeViewController* controller,
        platform::ui::MailComposeResult result, const platform::Error& error) override;

    // Alert tags of the save-success alert: a local file, a cloud document.
    static constexpr int SavedLocallyTag = 1000;
    static constexpr int SavedToCloudTag = 1001;
    // Arrow direction bits: none.
    static constexpr unsigned NoArrow = 16;

    // The screen's text inputs in Previous/Next order; none in the base. When there are
    // some, viewDidLoad gives them a keyboard bar with this screen as its delegate.
    virtual QList<platform::ui::View*> getTextFields();
    KeyboardControls* keyboardControls() const { return m_keyboardControls; }
    void viewDidLoad() override;
    // An input of the bar's list began editing: it becomes the bar's active input.
    void textFieldDidBeginEditing(platform::ui::View* field);
    void keyboardControlsPreviousNextPressed(
        KeyboardControls* controls, int direction, platform::ui::View* activeTextField) override;
    void keyboardControlsDonePressed(KeyboardControls* controls) override;

protected:
    void setDataController(std::shared_ptr<BaseDataController> controller);

private:
    void startRequest();
    void completeRequest(const platform::Error& error);
    void setBarsInteraction(bool enabled);
    void showSaveSuccess(bool viewOption, platform::ui::AlertViewDelegate* delegate, int tag);
    void presentDetail(BaseViewController* form, const QVariant& row, bool push);
    // One of the two kept browsers, shown for the dialog.
    struct FileBrowserSlot {
        QPointer<platform::ui::ViewController> browser;
        QPointer<platform::ui::NavigationController> navigation;
        bool saveDialog = false;
        QString type;
    };
    void openFileBrowser(FileBrowserSlot& slot, const QString& screenId, bool save,
        const QString& defaultFileName, const QString& type, const QString& startupDir,
        const QString& title, FileBrowserProtocol* delegate);

    std::shared_ptr<ScreenData> m_screen;
    std::shared_ptr<Parent> m_parent;
    std::shared_ptr<BaseDataController> m_dataController;
    std::unique_ptr<ToolBar> m_toolBar;
    std::unique_ptr<ToolBar> m_toptoolBar;
    QPointer<ProgressHUD> m_hud;
    mutable std::mutex m_hudLock;
    quint64 m_hudCount = 0;
    bool m_refresh = false;
    QPointer<PopoverController> m_popupController;
    QPointer<SimplePopupViewController> m_simplepopupController;
    // Every popup up, the last shown last.
    QList<QPointer<SimplePopupViewController>> m_simplepopups;
    QPointer<KeyboardControls> m_keyboardControls;
    QList<platform::NotificationCenter::Token> m_editingTokens;
    FileBrowserSlot m_fileBrowser;
    FileBrowserSlot m_cloudFileBrowser;
    QPointer<platform::ui::ViewController> m_callingViewController;
    bool m_popFromKivoPreview = false;
};
