#include "platform/ui/Application.h"

#include "platform/Folders.h"
#include "platform/NotificationCenter.h"
#include "platform/Product.h"
#include "platform/ui/DesktopKeys.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QTime>
#include <QTimer>

namespace platform::ui {

const QString Application::InboxFolderName = QStringLiteral("Inbox");
const QString Application::WillResignActiveNotification
    = QStringLiteral("UIApplicationWillResignActiveNotification");
const QString Application::DidBecomeActiveNotification
    = QStringLiteral("UIApplicationDidBecomeActiveNotification");
const QString Application::WillTerminateNotification
    = QStringLiteral("UIApplicationWillTerminateNotification");

ApplicationDelegate::~ApplicationDelegate() = default;

Application& Application::shared()
{
    static Application* instance = new Application();
    return *instance;
}

Application::Application()
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this,
            &Application::applicationStateChanged);
}

Window* Application::keyWindow()
{
    if (!m_window) {
        auto* window = new Window();
        window->setWindowTitle(QGuiApplication::applicationDisplayName().isEmpty()
                ? QString::fromLatin1(Product::name)
                : QGuiApplication::applicationDisplayName());
        const QRectF screen = Device::current().screenBounds();
        window->setFrame(QRectF(0, 0, screen.width(), screen.height()));
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window = window;
        Device::current().setMainWindow(window);
        DesktopKeys::install(window);
    }
    return m_window;
}

void Application::makeKeyAndVisible()
{
    Window* window = keyWindow();
    const bool wasVisible = window->isVisible();
    window->show();
    window->layoutSubviews();
    if (!wasVisible) {
        if (ViewController* root = window->rootViewController()) {
            root->beginAppearanceTransition(true, false);
            root->endAppearanceTransition();
        }
    }
    updateStatusBarAppearance();
}

ViewController* Application::rootViewController() const
{
    return m_window ? m_window->rootViewController() : nullptr;
}

void Application::setRootViewController(ViewController* controller)
{
    keyWindow()->setRootViewController(controller);
    updateStatusBarAppearance();
}

ViewController* Application::topMostPresentedController() const
{
    // Down the presentations, through the top of each navigation stack on the way.
    ViewController* top = rootViewController();
    for (int guard = 0; top && guard < 64; ++guard) {
        if (ViewController* presented = top->presentedViewController()) {
            top = presented;
            continue;
        }
        auto* navigation = qobject_cast<NavigationController*>(top);
        ViewController* visible = navigation ? navigation->topViewController() : nullptr;
        if (!visible)
            break;
        top = visible;
    }
    return top;
}

View* Application::overlayLevel()
{
    return keyWindow()->overlayLevel();
}

void Application::updateStatusBarAppearance()
{
    ViewController* top = rootViewController();
    while (top && top->presentedViewController()
        && top->presentedViewController()->modalPresentationStyle()
            == ViewController::ModalPresentationStyle::FullScreen)
        top = top->presentedViewController();
    if (!top)
        return;
    Device::current().setStatusBarStyle(top->preferredStatusBarStyle());
    Device::current().setStatusBarHidden(top->prefersStatusBarHidden());
}

void Application::setApplicationIconBadgeNumber(int number)
{
    m_badgeNumber = std::max(0, number);
}

bool Application::handOverFile(const QString& path, QString* problem)
{
    const QFileInfo source(path);
    if (!source.isFile() || !source.isReadable()) {
        if (problem)
            *problem = QStringLiteral("“%1” is not a file that can be read.").arg(path);
        return false;
    }
    const QString inbox = Folders::documents() + '/' + InboxFolderName;
    if (!QDir().mkpath(inbox)) {
        if (problem)
            *problem = QStringLiteral("The folder “%1” could not be made.").arg(inbox);
        return false;
    }
    // A name already in the inbox gets a number, as the platform does: "name-1.ext".
    const QString base = source.completeBaseName();
    const QString suffix = source.suffix().isEmpty() ? QString() : '.' + source.suffix();
    QString target = inbox + '/' + source.fileName();
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = inbox + '/' + base + '-' + QString::number(n) + suffix;
    QFile file(path);
    if (!file.copy(target)) {
        if (problem)
            *problem = QStringLiteral("“%1” could not be copied: %2").arg(path, file.errorString());
        return false;
    }
    if (!m_delegate)
        return false;
    bool opened = false;
    guarded([&] { opened = m_delegate->openURL(QUrl::fromLocalFile(target)); });
    return opened;
}

bool Application::canOpenURL(const QUrl& url) const
{
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto") || scheme == QLatin1String("file"))
        return true;
    const auto known = m_schemeHandled.constFind(scheme);
    if (known != m_schemeHandled.constEnd())
        return known.value();
    QString handler;
    if (m_schemeQuery) {
        handler = m_schemeQuery(scheme);
    } else {
        // The desktop names the program for the scheme; no answer within 2 s is a no.
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
            { QStringLiteral("query"), QStringLiteral("default"),
                QStringLiteral("x-scheme-handler/") + scheme });
        if (query.waitForFinished(2000) && query.exitStatus() == QProcess::NormalExit
            && query.exitCode() == 0)
            handler = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
        else
            query.kill();
    }
    const bool handled = !handler.isEmpty();
    m_schemeHandled.insert(scheme, handled);
    return handled;
}

void Application::setSchemeHandlerQuery(std::function<QString(const QString& scheme)> query)
{
    m_schemeQuery = std::move(query);
    m_schemeHandled.clear();
}

bool Application::openURL(const QUrl& url)
{
    if (!canOpenURL(url))
        return false;
    if (m_openHandler)
        return m_openHandler(url);
    return QDesktopServices::openUrl(url);
}

void Application::reset()
{
    if (m_window) {
        Device::current().setMainWindow(nullptr);
        delete m_window.data();
    }
}

void Application::applicationStateChanged(Qt::ApplicationState state)
{
    const Qt::ApplicationState previous = m_state;
    m_state = state;
    if (previous == Qt::ApplicationActive && state != Qt::ApplicationActive) {
        if (m_delegate)
            guarded([&] { m_delegate->willResignActive(); });
        NotificationCenter::defaultCenter().post(WillResignActiveNotification);
    } else if (previous != Qt::ApplicationActive && state == Qt::ApplicationActive) {
        if (m_delegate)
            guarded([&] { m_delegate->didBecomeActive(); });
        NotificationCenter::defaultCenter().post(DidBecomeActiveNotification);
    }
}

} // namespace platform::ui
