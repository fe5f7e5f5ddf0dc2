#include "platform/ui/Device.h"

#include "platform/NotificationCenter.h"
#include "platform/Product.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QWidget>
#include <QtDebug>

namespace platform::ui {

const QString Device::WillChangeOrientationNotification
    = QStringLiteral("UIApplicationWillChangeStatusBarOrientationNotification");
const QString Device::OrientationUserInfoKey
    = QStringLiteral("UIApplicationStatusBarOrientationUserInfoKey");
const QString Device::OrientationDidChangeNotification
    = QStringLiteral("UIDeviceOrientationDidChangeNotification");

const QString Device::StatusBarDidChangeNotification
    = QStringLiteral("UIApplicationDidChangeStatusBarFrameNotification");

const QList<DeviceModel>& Device::models()
{
    static const QList<DeviceModel> list = {
        { "tablet", Idiom::Pad, 768, 1024, "iPad7,5", { 0, 20, 0, 0 } },
        { "tablet-pro", Idiom::Pad, 1024, 1366, "iPad8,5", { 0, 24, 0, 20 } },
        { "phone", Idiom::Phone, 375, 667, "iPhone10,1", { 0, 20, 0, 0 } },
        { "phone-se", Idiom::Phone, 320, 568, "iPhone8,4", { 0, 20, 0, 0 } },
        { "phone-plus", Idiom::Phone, 414, 736, "iPhone10,2", { 0, 20, 0, 0 } },
        { "phone-x", Idiom::Phone, 375, 812, "iPhone10,3", { 0, 44, 0, 34 } },
        { "phone-xsmax", Idiom::Phone, 414, 896, "iPhone11,6", { 0, 44, 0, 34 } },
    };
    return list;
}

Device& Device::current()
{
    static Device* device = new Device();
    return *device;
}

Device::Device()
{
    m_model = models().first();
    const QString wanted = qEnvironmentVariable("KIVOTAB_DEVICE", "tablet").trimmed().toLower();
    if (!selectModel(wanted)) {
        qWarning().noquote() << QStringLiteral("Unknown device \"%1\" in KIVOTAB_DEVICE: the %2 "
                                               "stands in.")
                                    .arg(wanted, m_model.name);
    }
}

bool Device::selectModel(const QString& name)
{
    for (const auto& candidate : models()) {
        if (candidate.name == name) {
            m_model = candidate;
            // Tablets open on their side, as they sit on a desk; phones upright.
            m_orientation = candidate.idiom == Idiom::Pad ? Orientation::LandscapeLeft
                                                          : Orientation::Portrait;
            m_lastReported = m_orientation;
            return true;
        }
    }
    return false;
}

QString Device::name() const
{
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QString::fromLatin1(Product::name) : host;
}

double Device::systemMajorVersion() const
{
    return m_systemVersion.section('.', 0, 0).toDouble();
}

void Device::setSystemVersion(const QString& version, double foundationVersion)
{
    m_systemVersion = version;
    m_foundationVersion = foundationVersion;
}

QRectF Device::screenBounds() const
{
    if (m_window && m_window->width() > 0 && m_window->height() > 0)
        return QRectF(0, 0, m_window->width(), m_window->height());
    const bool landscape = m_orientation == Orientation::LandscapeLeft
        || m_orientation == Orientation::LandscapeRight;
    return landscape ? QRectF(0, 0, m_model.height, m_model.width)
                     : QRectF(0, 0, m_model.width, m_model.height);
}

Orientation Device::orientation() const
{
    if (m_window && m_window->width() > 0 && m_window->height() > 0) {
        if (m_window->width() > m_window->height())
            return m_orientation == Orientation::LandscapeRight ? Orientation::LandscapeRight
                                                                : Orientation::LandscapeLeft;
        return m_orientation == Orientation::PortraitUpsideDown ? Orientation::PortraitUpsideDown
                                                                : Orientation::Portrait;
    }
    return m_orientation;
}

bool Device::isPortrait() const
{
    const auto o = orientation();
    return o == Orientation::Portrait || o == Orientation::PortraitUpsideDown;
}

void Device::setOrientation(Orientation orientation)
{
    m_orientation = orientation;
    if (m_window) {
        const bool landscape = orientation == Orientation::LandscapeLeft
            || orientation == Orientation::LandscapeRight;
        const double w = landscape ? m_model.height : m_model.width;
        const double h = landscape ? m_model.width : m_model.height;
        m_window->resize(int(w), int(h));
    }
    noteOrientation();
}

QMarginsF Device::safeAreaInsets() const
{
    const QMarginsF p = m_model.safeArea;
    if (isPortrait())
        return p;
    // On a notched phone lying on its side, the notch moves to a side and the status
    // bar goes away.
    if (p.top() > 20)
        return QMarginsF(p.top(), 0, p.top(), 21);
    return QMarginsF(0, 0, 0, 0);
}

double Device::scale() const
{
    if (auto* screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 1.0;
}

void Device::setStatusBarStyle(StatusBarStyle style)
{
    if (m_statusBarStyle == style)
        return;
    m_statusBarStyle = style;
    emit statusBarChanged();
    NotificationCenter::defaultCenter().post(StatusBarDidChangeNotification, this);
}

void Device::setStatusBarHidden(bool hidden)
{
    if (m_statusBarHidden == hidden)
        return;
    m_statusBarHidden = hidden;
    emit statusBarChanged();
    NotificationCenter::defaultCenter().post(StatusBarDidChangeNotification, this);
}

void Device::setNetworkActivityIndicatorVisible(bool visible)
{
    if (m_networkActivity == visible)
        return;
    m_networkActivity = visible;
    emit statusBarChanged();
}

void Device::beginIgnoringInteractionEvents()
{
    if (++m_ignoring == 1)
        applyIgnoring();
}

void Device::endIgnoringInteractionEvents()
{
    // More ends than begins are harmless, as on the platform.
    if (m_ignoring == 0)
        return;
    if (--m_ignoring == 0)
        applyIgnoring();
}

void Device::applyIgnoring()
{
    if (m_window)
        m_window->setAttribute(Qt::WA_TransparentForMouseEvents, m_ignoring > 0);
    emit interactionChanged(m_ignoring > 0);
}

void Device::setMainWindow(QWidget* window)
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    // The window decides the orientation from now on; later turns are measured from it.
    m_lastReported = orientation();
    if (m_window) {
        m_window->installEventFilter(this);
        m_window->setAttribute(Qt::WA_TransparentForMouseEvents, m_ignoring > 0);
    }
}

bool Device::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        noteOrientation();
    return QObject::eventFilter(watched, event);
}

void Device::noteOrientation()
{
    const Orientation now = orientation();
    if (now == m_lastReported)
        return;
    m_lastReported = now;
    NotificationCenter::defaultCenter().post(WillChangeOrientationNotification, this,
        QVariantMap { { OrientationUserInfoKey, int(now) } });
    emit orientationChanged(now);
    NotificationCenter::defaultCenter().post(OrientationDidChangeNotification, this);
}

} // namespace platform::ui
