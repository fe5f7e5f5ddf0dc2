#pragma once

#include <QMarginsF>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <QWidget>

namespace platform::ui {

enum class Idiom { Phone, Pad };

// Interface orientations, numbered as the platform numbers them.
enum class Orientation {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,
    LandscapeRight = 4
};

// One device the application can present itself as. The window stands for the screen,
// so these facts only seed the window size and the facts a desktop does not have.
struct DeviceModel {
    QString name; // value of KIVOTAB_DEVICE that selects it
    Idiom idiom;
    double width; // portrait points
    double height;
    QString machine; // machine identifier, e.g. "iPhone10,1"
    QMarginsF safeArea; // portrait safe-area insets (left, top, right, bottom)
};

// The device facade: idiom, screen, orientation, system version and safe area, from the
// selected model and the main window. Tests switch models and orientation freely.
class Device : public QObject {
    Q_OBJECT
public:
    static Device& current();
    static const QList<DeviceModel>& models();

    // Selects a model by name ("tablet", "phone", ...); unknown names leave it unchanged.
    [[nodiscard]] bool selectModel(const QString& name);
    const DeviceModel& model() const { return m_model; }

    Idiom idiom() const { return m_model.idiom; }
    bool isPhone() const { return m_model.idiom == Idiom::Phone; }
    bool isPad() const { return m_model.idiom == Idiom::Pad; }

    QString machine() const { return m_model.machine; }
    QString name() const;
    QString systemName() const { return QStringLiteral("Linux"); }
    QString systemVersion() const { return m_systemVersion; }
    double systemMajorVersion() const;
    // The Foundation framework's version number the system would report.
    double foundationVersion() const { return m_foundationVersion; }
    void setSystemVersion(const QString& version, double foundationVersion);
    bool multitaskingSupported() const { return true; }

    // The screen: the main window's bounds when there is one, else the model's size.
    QRectF screenBounds() const;
    Orientation orientation() const;
    bool isPortrait() const;
    // Turns the screen (and the main window, when there is one) to the orientation.
    void setOrientation(Orientation orientation);

    QMarginsF safeAreaInsets() const;
    double statusBarHeight() const { return 20.0; }
    double scale() const;

    // The status bar the application shows above its screens.
    enum class StatusBarStyle { Default = 0, LightContent = 1 };
    StatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    void setStatusBarStyle(StatusBarStyle style);
    bool statusBarHidden() const { return m_statusBarHidden; }
    void setStatusBarHidden(bool hidden);
    // A notch is configured for the model, not detected: the safe area says it.
    bool hasNotch() const { return m_model.safeArea.top() > 20.0; }

    bool networkActivityIndicatorVisible() const { return m_networkActivity; }
    void setNetworkActivityIndicatorVisible(bool visible);
    // Counted: touches come back when every begin has been ended.
    void beginIgnoringInteractionEvents();
    void endIgnoringInteractionEvents();
    bool isIgnoringInteractionEvents() const { return m_ignoring > 0; }

    void setMainWindow(QWidget* window);
    QWidget* mainWindow() const { return m_window; }

    // Posted when the window's aspect turns, before the screens are laid out for it; the
    // user info carries the new orientation under OrientationUserInfoKey.
    static const QString WillChangeOrientationNotification;
    static const QString OrientationUserInfoKey;
    // Posted through the notification center when the orientation changes.
    static const QString OrientationDidChangeNotification;
    // Posted when the status bar's style or visibility changes.
    static const QString StatusBarDidChangeNotification;

signals:
    void orientationChanged(platform::ui::Orientation orientation);
    void statusBarChanged();
    void interactionChanged(bool ignoring);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Device();
    void noteOrientation();
    void applyIgnoring();

    DeviceModel m_model;
    Orientation m_orientation = Orientation::Portrait;
    Orientation m_lastReported = Orientation::Portrait;
    QPointer<QWidget> m_window;
    QString m_systemVersion = QStringLiteral("17.0");
    double m_foundationVersion = 1953.1;
    StatusBarStyle m_statusBarStyle = StatusBarStyle::Default;
    bool m_statusBarHidden = false;
    bool m_networkActivity = false;
    int m_ignoring = 0;
};

} // namespace platform::ui
