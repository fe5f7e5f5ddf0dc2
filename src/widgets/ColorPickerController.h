#pragma once

#include "platform/ui/DelegatePointer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "style/Color.h"
#include "widgets/ColorPickerDelegate.h"
#include "widgets/GradientView.h"
#include "widgets/HSVType.h"
#include "widgets/RGBType.h"

#include <QPointer>
#include <QString>

namespace platform::ui {
class ImageView;
class View;
} // namespace platform::ui

// Lets the user choose one opaque colour: by touching a hue/saturation field and a
// brightness strip, or by typing HSV, RGB or six-digit hexadecimal values. Every change
// shows in all three forms and in a swatch. Cancel and Save in the navigation bar go to
// the delegate, which closes the picker. It follows the window's turns (every
// orientation is allowed), moving its markers.
class ColorPickerController : public platform::ui::ViewController,
                              public platform::ui::TextFieldDelegate {
    Q_OBJECT
public:
    // A grey is read as its white level in all three channels; a colour with no red,
    // green and blue (a pattern) starts as opaque black.
    ColorPickerController(const Color& color, const QString& title, QObject* parent = nullptr);
    ~ColorPickerController() override;

    Color selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const Color& color);
    ColorPickerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ColorPickerDelegate* delegate) { m_delegate = delegate; }
    HSVType hsvColor() const { return m_hsvColor; }

    platform::ui::View* colorView() const { return m_colorView; }
    platform::ui::ImageView* hueSaturationView() const { return m_hueSaturationView; }
    GradientView* brightnessView() const { return m_brightnessView; }
    platform::ui::ImageView* horizontalSelector() const { return m_horizontalSelector; }
    platform::ui::ImageView* crosshairSelector() const { return m_crosshairSelector; }
    platform::ui::View* hueSaturationContainer() const { return m_container; }
    platform::ui::TextField* hueField() const { return m_hueField; }
    platform::ui::TextField* saturationField() const { return m_saturationField; }
    platform::ui::TextField* brightnessField() const { return m_brightnessField; }
    platform::ui::TextField* redField() const { return m_redField; }
    platform::ui::TextField* greenField() const { return m_greenField; }
    platform::ui::TextField* blueField() const { return m_blueField; }
    platform::ui::TextField* hexField() const { return m_hexField; }
    platform::ui::TextField* entryField() const { return m_entryField; }
    platform::ui::View* movingView() const { return m_movingView; }

    static RGBType rgbColorFromColor(const Color& color);
    static HSVType hsvColorFromRgbColor(const RGBType& rgb);
    static HSVType hsvColorFromColor(const Color& color);
    static QString hexValueFromRgbColor(const RGBType& rgb);
    static QString hexValueFromColor(const Color& color);
    static Color colorFromHexValue(const QString& hex);
    static bool isValidHexValue(const QString& hex);
    static bool stringIsValid(const QString& text, const QString& characterSet);

    static const QString HexadecimalCharacters; // "0123456789ABCDEF"
    static const QString DecimalCharacters; // "0123456789"

    void cancelButtonPressed();
    void saveButtonPressed();

    // As the system's other screens answer: shown on a device with a notch, otherwise as
    // the "statusbar" setting says; light content over a dark bar colour.
    bool prefersStatusBarHidden() const override;
    platform::ui::Device::StatusBarStyle preferredStatusBarStyle() const override;

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void setColorValues();
    void moveSelectors();

    // Touches in the main view's coordinates.
    void touchesBegan(const QPointF& point);
    void touchesMoved(const QPointF& point);
    void touchesEnded(const QPointF& point);

    bool textFieldShouldBeginEditing(platform::ui::TextField* field) override;
    void textFieldDidBeginEditing(platform::ui::TextField* field) override;
    bool textFieldShouldChangeCharactersInRange(platform::ui::TextField* field,
        const platform::ui::TextRange& range, const QString& replacement) override;
    bool textFieldShouldReturn(platform::ui::TextField* field) override;
    void textFieldDidEndEditing(platform::ui::TextField* field) override;

private:
    platform::ui::TextField* makeField(bool hex);
    void makeRowLabel(const QString& text);
    // Places the fields, the colour, the field of hues and the brightness strip inside
    // the part of the view the device's safe area leaves free.
    void layoutControls();
    // Whether the whole text the field would hold is acceptable.
    bool acceptable(platform::ui::TextField* field, const QString& text) const;
    void evaluateTouch(const QPointF& point);
    void updateHueSaturationWithPoint(const QPointF& point);
    void updateBrightnessWithPoint(const QPointF& point);

    Color m_selectedColor;
    QPointer<platform::ui::View> m_colorView;
    QPointer<platform::ui::ImageView> m_hueSaturationView;
    QPointer<GradientView> m_brightnessView;
    QPointer<platform::ui::ImageView> m_horizontalSelector;
    QPointer<platform::ui::ImageView> m_crosshairSelector;
    QPointer<platform::ui::View> m_container;
    QPointer<platform::ui::TextField> m_hueField;
    QPointer<platform::ui::TextField> m_saturationField;
    QPointer<platform::ui::TextField> m_brightnessField;
    QPointer<platform::ui::TextField> m_redField;
    QPointer<platform::ui::TextField> m_greenField;
    QPointer<platform::ui::TextField> m_blueField;
    QPointer<platform::ui::TextField> m_hexField;
    QList<QPointer<platform::ui::Label>> m_rowLabels;
    HSVType m_hsvColor;
    platform::ui::DelegatePointer<ColorPickerDelegate> m_delegate;
    QPointer<platform::ui::TextField> m_entryField;
    QPointer<platform::ui::View> m_movingView;
    QMetaObject::Connection m_orientationConnection;
};
