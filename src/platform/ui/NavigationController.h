#pragma once

#include "platform/ui/ViewController.h"

#include <QColor>
#include <QFont>

namespace platform::ui {

class NavigationBar;
class Toolbar;

// A stack of view controllers under a navigation bar, with an optional bottom toolbar
// that shows the top controller's toolbar items. Appearance calls follow the platform:
// during a push the new controller is already on the stack when the covered one gets
// viewWillDisappear; during a pop the popped one is already off it. Controllers pushed
// without a Qt parent are owned by the navigation controller and deleted once popped.
class NavigationController : public ViewController {
    Q_OBJECT
public:
    explicit NavigationController(QObject* parent = nullptr);
    explicit NavigationController(ViewController* root, QObject* parent = nullptr);
    ~NavigationController() override;

    QList<ViewController*> viewControllers() const;
    void setViewControllers(const QList<ViewController*>& controllers, bool animated = false);
    ViewController* topViewController() const;
    // The top controller, or the controller it presents.
    ViewController* visibleViewController() const;

    void pushViewController(ViewController* controller, bool animated);
    ViewController* popViewController(bool animated);
    QList<ViewController*> popToRootViewController(bool animated);
    QList<ViewController*> popToViewController(ViewController* controller, bool animated);

    NavigationBar* navigationBar();
    bool isNavigationBarHidden() const { return m_barHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    Toolbar* toolbar();
    bool isToolbarHidden() const { return m_toolbarHidden; }
    void setToolbarHidden(bool hidden, bool animated = false);

    // The area the top controller's view fills.
    QRectF contentFrame();

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    Device::StatusBarStyle preferredStatusBarStyle() const override;
    bool prefersStatusBarHidden() const override;

    static constexpr double BarHeight = 44.0;
    static constexpr double ToolbarHeight = 44.0;

signals:
    void stackChanged();

private:
    void layoutChildren();
    void refreshBars();
    void transition(ViewController* from, ViewController* to, bool push, bool animated,
        QList<ViewController*> removed);
    void release(const QList<ViewController*>& removed);
    void adopt(ViewController* controller);
    double topInset() const;

    QList<QPointer<ViewController>> m_stack;
    NavigationBar* m_bar = nullptr;
    Toolbar* m_toolbar = nullptr;
    View* m_content = nullptr;
    bool m_barHidden = false;
    bool m_toolbarHidden = true;
    QPointer<ViewController> m_observedTop;
};

} // namespace platform::ui
