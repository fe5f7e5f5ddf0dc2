#pragma once

#include "platform/ui/Device.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <functional>

namespace platform::ui {

class BarButtonItem;
class NavigationController;
class NavigationItem;
class StoryboardSegue;
class View;

// A screen's controller. Its view is made on first access by loadView (subclasses run
// code before and after the base loadView), then viewDidLoad runs. Containers send the
// appearance calls (will/did appear, will/did disappear) in the platform's order; every
// call runs guarded, so an exception in one is shown and does not reach the loop.
class ViewController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
public:
    enum class ModalPresentationStyle { FullScreen = 0, PageSheet = 1, FormSheet = 2 };
    using Completion = std::function<void()>;

    explicit ViewController(QObject* parent = nullptr);
    ~ViewController() override;

    View* view();
    bool isViewLoaded() const;
    // Replaces the view (loadView overrides call this).
    void setView(View* view);

    virtual void loadView();
    virtual void viewDidLoad();
    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);
    virtual void viewWillLayoutSubviews();
    virtual void viewDidLayoutSubviews();

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    NavigationItem* navigationItem();
    QList<BarButtonItem*> toolbarItems() const;
    void setToolbarItems(const QList<BarButtonItem*>& items, bool animated = false);

    // The navigation controller this controller (or a parent of it) is on.
    NavigationController* navigationController() const;
    void setNavigationController(NavigationController* controller);
    ViewController* parentViewController() const { return m_parentController; }
    QList<ViewController*> childViewControllers() const;
    void addChildViewController(ViewController* child);
    void removeFromParentViewController();

    // Modal presentation. The presented controller's view covers the window (form and
    // page sheets: a centred panel on a tablet); the completion runs after the animation.
    void presentViewController(
        ViewController* controller, bool animated, Completion completion = {});
    // Dismisses what this controller presents, or, when it presents nothing, itself;
    // a controller inside a container passes the call on to the container.
    void dismissViewController(bool animated, Completion completion = {});
    ViewController* presentedViewController() const { return m_presented; }
    ViewController* presentingViewController() const { return m_presenting; }
    ModalPresentationStyle modalPresentationStyle() const { return m_modalStyle; }
    void setModalPresentationStyle(ModalPresentationStyle style) { m_modalStyle = style; }
    QSizeF preferredContentSize() const { return m_preferredSize; }
    void setPreferredContentSize(const QSizeF& size) { m_preferredSize = size; }

    virtual Device::StatusBarStyle preferredStatusBarStyle() const;
    virtual bool prefersStatusBarHidden() const;
    // Asks the application to apply the top controller's status-bar preferences.
    void setNeedsStatusBarAppearanceUpdate();

    // The storyboard stand-in: the identifier this controller was registered under, and
    // named segues (see Storyboard).
    QString storyboardIdentifier() const { return m_storyboardIdentifier; }
    void setStoryboardIdentifier(const QString& identifier) { m_storyboardIdentifier = identifier; }
    void performSegueWithIdentifier(const QString& identifier, QObject* sender);
    virtual void prepareForSegue(StoryboardSegue& segue, QObject* sender);

    // Appearance transitions (containers call these).
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    bool isAppeared() const { return m_appearance == Appearance::Appeared; }

    // True while a container owns this controller (it deletes it when done with it).
    bool ownedByContainer() const { return m_ownedByContainer; }
    void setOwnedByContainer(bool owned) { m_ownedByContainer = owned; }

signals:
    void titleChanged(const QString& title);
    void toolbarItemsChanged();

protected:
    // Called when a presentation this controller started has ended.
    void finishDismissal(ViewController* presented, bool animated, Completion completion);

private:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    QPointer<View> m_view;
    bool m_loading = false;
    QString m_title;
    NavigationItem* m_navigationItem = nullptr;
    QList<QPointer<BarButtonItem>> m_toolbarItems;
    QPointer<NavigationController> m_navigationController;
    QPointer<ViewController> m_parentController;
    QList<QPointer<ViewController>> m_children;
    QPointer<ViewController> m_presented;
    QPointer<ViewController> m_presenting;
    QPointer<View> m_presentationHost;
    ModalPresentationStyle m_modalStyle = ModalPresentationStyle::FullScreen;
    QSizeF m_preferredSize;
    QString m_storyboardIdentifier;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_ownedByContainer = false;
};

} // namespace platform::ui
