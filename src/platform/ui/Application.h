#pragma once

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUrl>

namespace platform::ui {

class ViewController;

// What the application tells its delegate; every method is optional.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate();
    virtual bool didFinishLaunching() { return true; }
    virtual void willResignActive() { }
    virtual void didBecomeActive() { }
    virtual void didEnterBackground() { }
    virtual void willTerminate() { }
    virtual bool openURL(const QUrl&) { return false; }
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
    // The interface orientations the window may take, as bits (1 << orientation number);
    // all four by default.
    unsigned supportedInterfaceOrientations() const { return m_supportedOrientations; }
    void setSupportedInterfaceOrientations(unsigned mask) { m_supportedOrientations = mask; }

    // The number on the application's icon; 0 shows none.
    int applicationIconBadgeNumber() const { return m_badgeNumber; }
    void setApplicationIconBadgeNumber(int number);

    // Hands a file to the application the way the platform hands over one that another
    // application opens in it: a copy goes into Documents/"Inbox" (numbered when the name
    // is taken) and the delegate is asked to open the copy. False, with the reason, when
    // the file cannot be copied; the delegate's answer otherwise.
    bool handOverFile(const QString& path, QString* problem = nullptr);
    static const QString InboxFolderName; // "Inbox"

    // Web, mail and file addresses; another scheme only when the desktop names a program
    // for it (xdg-mime), asked once per scheme.
    bool canOpenURL(const QUrl& url) const;
    // Tests: answers the desktop's question for a scheme (the handler's name, or empty).
    void setSchemeHandlerQuery(std::function<QString(const QString& scheme)> query);
    [[nodiscard]] bool openURL(const QUrl& url);
    // Tests: the addresses handed to the desktop instead of opening them.
    void setOpenURLHandler(std::function<bool(const QUrl&)> handler)
    {
        m_openHandler = std::move(handler);
    }

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
    int m_badgeNumber = 0;
    std::function<bool(const QUrl&)> m_openHandler;
    std::function<QString(const QString&)> m_schemeQuery;
    mutable QHash<QString, bool> m_schemeHandled;
    unsigned m_supportedOrientations = 30;
};

} // namespace platform::ui
