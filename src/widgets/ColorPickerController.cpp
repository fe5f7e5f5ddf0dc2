#include "widgets/ColorPickerController.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/ColorPickerDelegate.h"
#include "widgets/GradientView.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

using namespace platform::ui;

const QString ColorPickerController::HexadecimalCharacters = QStringLiteral("0123456789ABCDEF");
const QString ColorPickerController::DecimalCharacters = QStringLiteral("0123456789");

namespace {

constexpr double kMargin = 10;
constexpr double kStripHeight = 37;
constexpr double kFieldTop = 123;

// The picker's main view: its touches go to the picker.
class TouchView : public View {
public:
    TouchView(ColorPickerController* picker, const QRectF& frame)
        : View(frame)
        , m_picker(picker)
    {
    }

protected:
    void touchesBegan(const QPointF& point, QMouseEvent* event) override
    {
        event->accept();
        if (m_picker)
            m_picker->touchesBegan(point);
    }
    void touchesMoved(const QPointF& point, QMouseEvent* event) override
    {
        event->accept();
        if (m_picker)
            m_picker->touchesMoved(point);
    }
    void touchesEnded(const QPointF& point, QMouseEvent* event) override
    {
        event->accept();
        if (m_picker)
            m_picker->touchesEnded(point);
    }

private:
    QPointer<ColorPickerController> m_picker;
};

// Rounded as the platform rounds a single-precision value: half away from zero.
int roundSingle(double value)
{
    return int(std::roundf(float(value)));
}

Color startingColor(const Color& color)
{
    double r = 0;
    double g = 0;
    double b = 0;
    if (!color.getRed(&r, &g, &b, nullptr))
        return Color::colorWithRed(0, 0, 0, 1);
    return color;
}

} // namespace

ColorPickerController::ColorPickerController(
    const Color& color, const QString& title, QObject* parent)
    : ViewController(parent)
    , m_selectedColor(startingColor(color))
{
    navigationItem()->setTitle(title);
    setTitle(title);
    m_orientationConnection = connect(&Device::current(), &Device::orientationChanged, this,
        [this](Orientation) { moveSelectors(); });
}

ColorPickerController::~ColorPickerController()
{
    disconnect(m_orientationConnection);
}

RGBType ColorPickerController::rgbColorFromColor(const Color& color)
{
    RGBType rgb;
    double r = 0;
    double g = 0;
    double b = 0;
    // A grey answers its white level in all three channels.
    if (!color.getRed(&r, &g, &b, nullptr))
        return rgb;
    rgb.red = r;
    rgb.green = g;
    rgb.blue = b;
    rgb.redValue = int32_t(r * 255);
    rgb.greenValue = int32_t(g * 255);
    rgb.blueValue = int32_t(b * 255);
    return rgb;
}

HSVType ColorPickerController::hsvColorFromRgbColor(const RGBType& rgb)
{
    const double r = rgb.red;
    const double g = rgb.green;
    const double b = rgb.blue;
    const double max = std::max({ r, g, b });
    const double min = std::min({ r, g, b });
    HSVType hsv;
    if (max != min) {
        const double d = max - min;
        if (max == r) {
            hsv.hueValue = roundSingle((g - b) * 60 / d);
            if (hsv.hueValue < 0)
                hsv.hueValue += 360;
        } else if (max == g) {
            hsv.hueValue = roundSingle((b - r) * 60 / d + 120);
        } else {
            hsv.hueValue = roundSingle((r - g) * 60 / d + 240);
        }
    }
    hsv.saturationValue = max == 0 ? 0 : roundSingle((1 - min / max) * 100);
    hsv.brightnessValue = roundSingle(max * 100);
    hsv.hue = hsv.hueValue / 360.0;
    hsv.saturation = hsv.saturationValue / 100.0;
    hsv.brightness = hsv.brightnessValue / 100.0;
    return hsv;
}

HSVType ColorPickerController::hsvColorFromColor(const Color& color)
{
    return hsvColorFromRgbColor(rgbColorFromColor(color));
}

QString ColorPickerController::hexValueFromRgbColor(const RGBType& rgb)
{
    return QString::asprintf(
        "%02X%02X%02X", unsigned(rgb.redValue), unsigned(rgb.greenValue), unsigned(rgb.blueValue));
}

QString ColorPickerController::hexValueFromColor(const Color& color)
{
    return hexValueFromRgbColor(rgbColorFromColor(color));
}

Color ColorPickerController::colorFromHexValue(const QString& hex)
{
    auto channel = [&hex](int from) { return hex.mid(from, 2).toInt(nullptr, 16) / 255.0; };
    return Color::colorWithRed(channel(0), channel(2), channel(4), 1.0);
}

bool ColorPickerController::isValidHexValue(const QString& hex)
{
    const QString trimmed = hex.trimmed();
    return trimmed.size() == 6 && stringIsValid(trimmed, HexadecimalCharacters);
}

bool ColorPickerController::stringIsValid(const QString& text, const QString& characterSet)
{
    for (const QChar c : text)
        if (!characterSet.contains(c))
            return false;
    return true;
}

void ColorPickerController::setSelectedColor(const Color& color)
{
    m_selectedColor = color;
    setColorValues();
}

bool ColorPickerController::prefersStatusBarHidden() const
{
    if (DeviceHelper::isIPHONENOTCH())
        return false;
    KivoAppDelegate* application = KivoAppDelegate::ApplicationDelegate();
    Preferences* preferences = application ? application->currentPreferences() : nullptr;
    return !(preferences && preferences->statusbar());
}

Device::StatusBarStyle ColorPickerController::preferredStatusBarStyle() const
{
    const Theme* style = Theme::current();
    const double luminance = style ? UIColor_Expanded::luminance(style->toolbarColor()) : 0.0;
    return luminance > Theme::LightThreshold ? Device::StatusBarStyle::Default
                                             : Device::StatusBarStyle::LightContent;
}

void ColorPickerController::cancelButtonPressed()
{
    if (ColorPickerDelegate* delegate = m_delegate.get())
        delegate->colorPickerCancelled(this);
}

void ColorPickerController::saveButtonPressed()
{
    if (ColorPickerDelegate* delegate = m_delegate.get())
        delegate->colorPickerSaved(this);
}

TextField* ColorPickerController::makeField(bool hex)
{
    auto* field = new TextField(QRectF());
    field->setTextAlignment(Qt::AlignCenter);
    // Three digits fit the narrow fields, as they do in the platform's font.
    field->setFont(Font::system(14));
    field->setBorderStyle(TextField::BorderStyle::Line);
    field->setBackgroundColor(Qt::white);
    field->setAutocorrectionType(TextInputTraits::AutocorrectionType::No);
    field->setReturnKeyType(TextInputTraits::ReturnKeyType::Done);
    field->setDelegate(this);
    field->setAutoresizingMask(AutoresizingNone);
    if (hex) {
        field->setKeyboardType(TextInputTraits::KeyboardType::ASCIICapable);
        field->setAutocapitalizationType(TextInputTraits::AutocapitalizationType::AllCharacters);
    } else {
        field->setKeyboardType(TextInputTraits::KeyboardType::NumbersAndPunctuation);
    }
    view()->addSubview(field);
    return field;
}

void ColorPickerController::makeRowLabel(const QString& text)
{
    auto* label = new Label(QRectF());
    label->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBackgroundColor(Qt::transparent);
    label->setFont(Font::system(17));
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(0.5);
    label->setText(LocalizedStrings::getLocalizedString(text));
    view()->addSubview(label);
    m_rowLabels.append(label);
}

void ColorPickerController::loadView()
{
    QRectF bounds = Device::current().screenBounds();
    ViewController* host
        = parentViewController() ? parentViewController() : (ViewController*)navigationController();
    if (host && host->isViewLoaded() && !host->view()->bounds().isEmpty())
        bounds = host->view()->bounds();
    auto* main = new TouchView(this, QRectF(0, 0, bounds.width(), bounds.height()));
    main->setBackgroundColor(QColor::fromRgbF(0.9, 0.9, 0.9, 1));
    main->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setView(main);

    QPointer<ColorPickerController> self(this);
    navigationItem()->setLeftBarButtonItem(new BarButtonItem(
        BarButtonItem::SystemItem::Cancel,
        [self](BarButtonItem*) {
            if (self)
                self->cancelButtonPressed();
        },
        this));
    navigationItem()->setRightBarButtonItem(new BarButtonItem(
        BarButtonItem::SystemItem::Save,
        [self](BarButtonItem*) {
            if (self)
                self->saveButtonPressed();
        },
        this));

    makeRowLabel(QStringLiteral("HSV"));
    m_hueField = makeField(false);
    m_saturationField = makeField(false);
    m_brightnessField = makeField(false);
    makeRowLabel(QStringLiteral("RGB"));
    m_redField = makeField(false);
    m_greenField = makeField(false);
    m_blueField = makeField(false);
    makeRowLabel(QStringLiteral("HEX"));
    m_hexField = makeField(true);

    m_colorView = new View(QRectF());
    m_colorView->layer()->setCornerRadius(5);
    main->addSubview(m_colorView);

    m_brightnessView = new GradientView(QRectF());
    m_brightnessView->setColors({ m_selectedColor, Color::colorWithRed(0, 0, 0, 1) });
    main->addSubview(m_brightnessView);
    const Image marker = Image::named(QStringLiteral("HorizontalSelector.png"));
    m_horizontalSelector = new ImageView(marker);
    m_horizontalSelector->setUserInteractionEnabled(false);
    main->addSubview(m_horizontalSelector);

    m_container = new View(QRectF());
    m_container->setBackgroundColor(Qt::black);
    m_container->setAutoresizesSubviews(true);
    m_container->setClipsToBounds(true);
    main->addSubview(m_container);
    m_hueSaturationView = new ImageView(Image::named(QStringLiteral("HueSaturationGradient.png")));
    m_hueSaturationView->setContentMode(ImageView::ContentMode::ScaleToFill);
    m_hueSaturationView->setAutoresizingMask(
        AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    m_container->addSubview(m_hueSaturationView);
    const Image crosshair = Image::named(QStringLiteral("CrosshairSelector.png"));
    m_crosshairSelector = new ImageView(crosshair);
    m_crosshairSelector->setFrame(QRectF(QPointF(0, 0), crosshair.size()));
    m_crosshairSelector->setUserInteractionEnabled(false);
    m_container->addSubview(m_crosshairSelector);

    // The picker sizes itself to its parent: it starts there, and follows.
    layoutControls();
    setColorValues();
    moveSelectors();
}

void ColorPickerController::layoutControls()
{
    if (!isViewLoaded() || !m_container)
        return;
    // The background reaches the screen's edges; what is touched or read keeps clear of
    // a notch and of the home indicator's strip.
    const QRectF area = view()->bounds().marginsRemoved(SafeArea::restingInsets(view()));
    const double x = area.left();
    const double y = area.top();
    const double w = std::max(area.width(), 175.0 + kMargin);
    const double h = area.height();
    const QList<QList<TextField*>> rows = { { m_hueField, m_saturationField, m_brightnessField },
        { m_redField, m_greenField, m_blueField }, { m_hexField } };
    for (int row = 0; row < rows.size(); ++row) {
        const double top = y + 10 + 36 * row;
        if (Label* label = m_rowLabels.value(row))
            label->setFrame(QRectF(x + kMargin, top + 5, 35, 21));
        for (int column = 0; column < rows.at(row).size(); ++column) {
            const double width = row == 2 ? 75 : 35;
            rows.at(row).at(column)->setFrame(QRectF(x + 50 + 40 * column, top, width, 31));
        }
    }
    m_colorView->setFrame(QRectF(x + 175, y + 10, w - kMargin - 175, 103));
    m_brightnessView->setFrame(
        QRectF(x + kMargin, y + h - kMargin - kStripHeight, w - 2 * kMargin, kStripHeight));
    m_container->setFrame(QRectF(x + kMargin, y + kFieldTop, w - 2 * kMargin,
        std::max(0.0, h - 2 * kMargin - kStripHeight - kFieldTop)));
    m_hueSaturationView->setFrame(m_container->bounds());
}

void ColorPickerController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    moveSelectors();
}

void ColorPickerController::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    layoutControls();
    moveSelectors();
}

void ColorPickerController::setColorValues()
{
    if (!isViewLoaded() || !m_colorView)
        return;
    m_colorView->setBackgroundColor(m_selectedColor.toQColor());
    const RGBType rgb = rgbColorFromColor(m_selectedColor);
    m_redField->setText(QString::asprintf("%i", rgb.redValue));
    m_greenField->setText(QString::asprintf("%i", rgb.greenValue));
    m_blueField->setText(QString::asprintf("%i", rgb.blueValue));
    m_hexField->setText(hexValueFromRgbColor(rgb));
    m_hsvColor = hsvColorFromRgbColor(rgb);
    m_hueField->setText(QString::asprintf("%i", m_hsvColor.hueValue));
    m_saturationField->setText(QString::asprintf("%i", m_hsvColor.saturationValue));
    m_brightnessField->setText(QString::asprintf("%i", m_hsvColor.brightnessValue));
    m_brightnessView->setColors(
        { Color::colorWithHue(m_hsvColor.hue, m_hsvColor.saturation, 1.0, 1.0),
            Color::colorWithRed(0, 0, 0, 1) });
    m_hueSaturationView->setAlpha(m_hsvColor.brightness);
}

void ColorPickerController::moveSelectors()
{
    if (!isViewLoaded() || !m_hueSaturationView)
        return;
    const QRectF field = m_hueSaturationView->bounds();
    m_crosshairSelector->setCenter(
        QPointF(m_hsvColor.hue * field.width(), (1 - m_hsvColor.saturation) * field.height()));
    const QRectF strip = m_brightnessView->frame();
    m_horizontalSelector->setCenter(QPointF(
        strip.x() + (1 - m_hsvColor.brightness) * strip.width(), strip.y() + strip.height() * 0.5));
}

void ColorPickerController::touchesBegan(const QPointF& point)
{
    if (m_entryField) {
        // A touch away from the field being edited only ends its editing.
        if (!m_entryField->frame().contains(point))
            m_entryField->resignFirstResponder();
        return;
    }
    if (m_container && m_container->frame().contains(point)) {
        m_movingView = m_crosshairSelector;
        updateHueSaturationWithPoint(point);
    } else if (m_brightnessView && m_brightnessView->frame().contains(point)) {
        m_movingView = m_horizontalSelector;
        updateBrightnessWithPoint(point);
    } else {
        return;
    }
    moveSelectors();
}

void ColorPickerController::evaluateTouch(const QPointF& point)
{
    if (!m_movingView)
        return;
    if (m_movingView == m_crosshairSelector)
        updateHueSaturationWithPoint(point);
    else if (m_movingView == m_horizontalSelector)
        updateBrightnessWithPoint(point);
    moveSelectors();
}

void ColorPickerController::touchesMoved(const QPointF& point)
{
    evaluateTouch(point);
}

void ColorPickerController::touchesEnded(const QPointF& point)
{
    evaluateTouch(point);
    m_movingView = nullptr;
}

void ColorPickerController::updateHueSaturationWithPoint(const QPointF& point)
{
    const QRectF bounds = m_hueSaturationView->bounds();
    // A field of no size gives no colour.
    if (bounds.width() <= 0 || bounds.height() <= 0)
        return;
    const QPointF p = m_hueSaturationView->convertPointFromView(point, view());
    const double hue = std::clamp(p.x() / bounds.width(), 0.0, 1.0);
    const double saturation = std::clamp((bounds.height() - p.y()) / bounds.height(), 0.0, 1.0);
    setSelectedColor(Color::colorWithHue(hue, saturation, m_hsvColor.brightness, 1.0));
}

void ColorPickerController::updateBrightnessWithPoint(const QPointF& point)
{
    const double width = m_brightnessView->bounds().width();
    if (width <= 0 || m_brightnessView->bounds().height() <= 0)
        return;
    const double x = m_brightnessView->convertPointFromView(point, view()).x();
    const double brightness = std::clamp((width - x) / width, 0.0, 1.0);
    setSelectedColor(Color::colorWithHue(m_hsvColor.hue, m_hsvColor.saturation, brightness, 1.0));
}

bool ColorPickerController::textFieldShouldBeginEditing(TextField*)
{
    return true;
}

void ColorPickerController::textFieldDidBeginEditing(TextField* field)
{
    m_entryField = field;
}

bool ColorPickerController::acceptable(TextField* field, const QString& text) const
{
    if (text.isEmpty())
        return true;
    if (field == m_hexField)
        return text.size() < 7 && stringIsValid(text, HexadecimalCharacters);
    if (text.size() >= 4 || !stringIsValid(text, DecimalCharacters))
        return false;
    const int value = text.toInt();
    if (field == m_hueField)
        return value <= 360;
    if (field == m_saturationField || field == m_brightnessField)
        return value <= 100;
    return value <= 255;
}

bool ColorPickerController::textFieldShouldChangeCharactersInRange(
    TextField* field, const TextRange& range, const QString& replacement)
{
    const QString before = field->text();
    if (range.location < 0 || range.end() > before.size())
        return false;
    if (field == m_hexField) {
        // Letters come in as capitals, as the capitals keyboard types them.
        const QString upper = replacement.toUpper();
        const QString text = QString(before).replace(range.location, range.length, upper);
        if (!acceptable(field, text))
            return false;
        if (upper == replacement)
            return true;
        field->setText(text);
        field->setSelectedRange(TextRange { range.location + int(upper.size()), 0 });
        return false;
    }
    return acceptable(field, QString(before).replace(range.location, range.length, replacement));
}

bool ColorPickerController::textFieldShouldReturn(TextField* field)
{
    field->resignFirstResponder();
    return false;
}

void ColorPickerController::textFieldDidEndEditing(TextField* field)
{
    m_entryField = nullptr;
    if (field->text().isEmpty()) {
        setColorValues();
        return;
    }
    if (field == m_hexField) {
        if (isValidHexValue(field->text())) {
            setSelectedColor(colorFromHexValue(field->text().trimmed()));
            moveSelectors();
        } else {
            setColorValues();
        }
    } else if (field == m_redField || field == m_greenField || field == m_blueField) {
        setSelectedColor(Color::colorWithRed(m_redField->text().toInt() / 255.0,
            m_greenField->text().toInt() / 255.0, m_blueField->text().toInt() / 255.0, 1.0));
        moveSelectors();
    } else {
        setSelectedColor(Color::colorWithHue(m_hueField->text().toInt() / 360.0,
            m_saturationField->text().toInt() / 100.0, m_brightnessField->text().toInt() / 100.0,
            1.0));
        moveSelectors();
    }
}
