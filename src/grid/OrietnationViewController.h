#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/ViewController.h"

class Theme;

// The base of the system's own screens: it follows the device's orientation, takes the
// current style when its view loads and answers the status-bar questions from the
// settings and the bar colour.
class OrietnationViewController : public platform::ui::ViewController {
    Q_OBJECT
public:
    // Device orientations beyond the four interface ones, numbered as the platform
    // numbers them; they never change the screen.
    enum DeviceOrientation { UnknownOrientation = 0, FaceUp = 5, FaceDown = 6 };
    // The notification's user-info key that carries a device orientation; without it the
    // interface orientation of the device facade counts.
    static const QString DeviceOrientationKey; // "UIDeviceOrientation"

    explicit OrietnationViewController(QObject* parent = nullptr);
    ~OrietnationViewController() override;

    // The last orientation seen (interface orientation numbers).
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation) { m_orientation = orientation; }
    // The application-wide style, taken when the view loads.
    Theme* currentStyle() const;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void addObservers();
    void removeObservers();
    // Unknown, face up and face down are ignored, as is the orientation already stored;
    // any other change calls orientationChanged.
    void deviceOrientationDidChange(int deviceOrientation);
    // Stores the device's orientation; subclasses lay their views out again.
    virtual void orientationChanged();
    bool isPortrait() const;

    bool shouldAutorotate() const { return true; }
    // All four orientations.
    unsigned supportedInterfaceOrientations() const { return 30; }

    // Shown on a device with a notch; otherwise as the "statusbar" setting says.
    bool prefersStatusBarHidden() const override;
    // Light content over a dark bar colour (luminance 0.8 or less), dark over a light one.
    platform::ui::Device::StatusBarStyle preferredStatusBarStyle() const override;

private:
    int m_orientation = 0;
    platform::NotificationCenter::Token m_orientationToken = 0;
};
