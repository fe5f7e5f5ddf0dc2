#pragma once

#include "platform/ui/View.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

namespace platform::ui {

class ViewController;
class StatusBarView;

// What the application tells its delegate; every method is optional.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate();
    virtual bool didFinishLaunching() { return true; }
    virtual void willResignActive() {}
    virtual void didBecomeActive() {}
    virtual void didEnterBackground() {}
    virtual void willTerminate() {}
    virtual bool openURL(const QUrl&) { return false; }
};

// The one main window: the root view controller's view fills it, the status bar sits on
// top, and above everything an overlay level holds alerts, sheets and popovers, so a grab
// of the window is what a person sees. The overlay is shown only while it holds
// something, and then takes every touch outside its content.
class Window : public View {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);

    ViewController* rootViewController() const;
    void setRootViewController(ViewController* controller);
    View* overlayLevel() const { return m_overlay; }
    View* statusBar() const;
    // Top of the area the screens use (below the status bar when it shows).
    double statusBarInset() const;

    void layoutSubviews() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateOverlay();

    QPointer<ViewController> m_root;
    View* m_overlay = nullptr;
    StatusBarView* m_statusBar = nullptr;
};

// The application shell: the main window, its root controller, the delegate, the top-most
// presented controller, activation notifications and opening addresses on the desktop.
class Application : public QObject {
    Q_OBJECT
public:
    static Application& shared();

    ApplicationDelegate* delegate() const { return m_delegate; }
    void setDelegate(ApplicationDelegate* delegate) { m_delegate = delegate; }

    // The main window, made on first use at the device's screen size.
    Window* keyWindow();
    bool hasKeyWindow() const { return m_window != nullptr; }
    void makeKeyAndVisible();
    ViewController* rootViewController() const;
    void setRootViewController(ViewController* controller);
    // The controller on top: the root, then whatever it presents, and so on; for a
    // navigation controller, its visible controller.
    ViewController* topMostPresentedController() const;
    View* overlayLevel();

    // Applies the status-bar preferences of the top-most controller.
    void updateStatusBarAppearance();

    bool canOpenURL(const QUrl& url) const;
    bool openURL(const QUrl& url);
    // Tests: the addresses handed to the desktop instead of opening them.
    void setOpenURLHandler(std::function<bool(const QUrl&)> handler) { m_openHandler = std::move(handler); }

    // Tests: closes and forgets the main window and its controllers.
    void reset();

    static const QString WillResignActiveNotification;
    static const QString DidBecomeActiveNotification;
    static const QString WillTerminateNotification;

private:
    Application();
    void applicationStateChanged(Qt::ApplicationState state);

    ApplicationDelegate* m_delegate = nullptr;
    QPointer<Window> m_window;
    Qt::ApplicationState m_state = Qt::ApplicationActive;
    std::function<bool(const QUrl&)> m_openHandler;
};

} // namespace platform::ui
