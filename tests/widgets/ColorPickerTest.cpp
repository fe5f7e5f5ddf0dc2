#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "grid/OrietnationViewController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationItem.h"
#include "widgets/ColorPickerController.h"
#include "widgets/ColorPickerDelegate.h"
#include "widgets/GradientView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

struct Listener : ColorPickerDelegate {
    QStringList calls;
    void colorPickerSaved(ColorPickerController*) override { calls << "saved"; }
    void colorPickerCancelled(ColorPickerController*) override { calls << "cancelled"; }
};

struct ColorPicker : ScreenFixture {
    ColorPickerController* picker = nullptr;

    void show(const Color& color)
    {
        picker = new ColorPickerController(color, "Color Picker");
        navigation->pushViewController(picker, false);
        flush();
    }

    QStringList fields() const
    {
        return { picker->hueField()->text(), picker->saturationField()->text(),
            picker->brightnessField()->text(), picker->redField()->text(),
            picker->greenField()->text(), picker->blueField()->text(), picker->hexField()->text() };
    }

    // What a person types into the field, key by key.
    void type(TextField* field, const QString& text)
    {
        field->becomeFirstResponder();
        QTest::keyClicks(field->lineEdit(), text);
    }

    void paste(TextField* field, const QString& text)
    {
        field->becomeFirstResponder();
        QGuiApplication::clipboard()->setText(text);
        field->lineEdit()->paste();
    }

    // Where a point of the view is, in the main view.
    QPointF inMain(View* view, const QPointF& point)
    {
        return view->convertPointToView(point, picker->view());
    }
};

} // namespace

TEST(ColorConversions, HexToColorToHexIsTheIdentityForEveryValue)
{
    static const char digits[] = "0123456789ABCDEF";
    QString hex(6, QChar('0'));
    for (int value = 0; value < (1 << 24); ++value) {
        for (int i = 0; i < 6; ++i)
            hex[i] = QChar(digits[(value >> (20 - 4 * i)) & 15]);
        const RGBType rgb = ColorPickerController::rgbColorFromColor(
            ColorPickerController::colorFromHexValue(hex));
        const int back = (rgb.redValue << 16) | (rgb.greenValue << 8) | rgb.blueValue;
        if (back != value) {
            ADD_FAILURE() << hex.toStdString() << " came back as " << back;
            return;
        }
    }
    // The text form of the same values, on a sample across the range.
    for (int value = 0; value < (1 << 24); value += 4099) {
        const QString text = QString::asprintf("%06X", value);
        EXPECT_EQ(ColorPickerController::hexValueFromColor(
                      ColorPickerController::colorFromHexValue(text)),
            text);
    }
}

TEST(ColorConversions, HsvOfPrimariesSecondariesAndGreys)
{
    struct Case {
        Color color;
        int h, s, v;
    };
    const QList<Case> cases = {
        { Color::colorWithRed(1, 0, 0), 0, 100, 100 },
        { Color::colorWithRed(0, 1, 0), 120, 100, 100 },
        { Color::colorWithRed(0, 0, 1), 240, 100, 100 },
        { Color::colorWithRed(1, 1, 0), 60, 100, 100 },
        { Color::colorWithRed(0, 1, 1), 180, 100, 100 },
        { Color::colorWithRed(1, 0, 1), 300, 100, 100 },
        { Color::colorWithRed(0, 0, 0), 0, 0, 0 },
        { Color::colorWithRed(1, 1, 1), 0, 0, 100 },
        { Color::colorWithRed(0.5, 0.5, 0.5), 0, 0, 50 },
        // Half-way values round away from zero: 0.125 -> 12.5 -> 13.
        { Color::colorWithRed(0.125, 0.125, 0.125), 0, 0, 13 },
        // (0.5 - 0.25) * 60 / 0.75 = 20 degrees; 1 - 0.25 / 1 = 75 percent.
        { Color::colorWithRed(1, 0.5, 0.25), 20, 75, 100 },
        // Negative hue wraps: (0 - 0.2) * 60 / 0.8 = -15 -> 345.
        { Color::colorWithRed(1, 0.2, 0.4), 345, 80, 100 },
    };
    for (const Case& c : cases) {
        const HSVType hsv = ColorPickerController::hsvColorFromColor(c.color);
        EXPECT_EQ(hsv.hueValue, c.h);
        EXPECT_EQ(hsv.saturationValue, c.s);
        EXPECT_EQ(hsv.brightnessValue, c.v);
        EXPECT_DOUBLE_EQ(hsv.hue, c.h / 360.0);
        EXPECT_DOUBLE_EQ(hsv.saturation, c.s / 100.0);
        EXPECT_DOUBLE_EQ(hsv.brightness, c.v / 100.0);
    }
    const RGBType rgb = ColorPickerController::rgbColorFromColor(Color::colorWithRed(1, 0.5, 0.25));
    EXPECT_EQ(rgb.redValue, 255);
    EXPECT_EQ(rgb.greenValue, 127);
    EXPECT_EQ(rgb.blueValue, 63);
    EXPECT_EQ(ColorPickerController::hexValueFromRgbColor(rgb), "FF7F3F");
}

TEST(ColorConversions, HexChecks)
{
    EXPECT_TRUE(ColorPickerController::isValidHexValue(QString(" 00FFaa\n").toUpper()));
    EXPECT_TRUE(ColorPickerController::isValidHexValue("\t0A1B2C \n"));
    EXPECT_FALSE(ColorPickerController::isValidHexValue("0a1b2c"));
    EXPECT_FALSE(ColorPickerController::isValidHexValue("0A1B2"));
    EXPECT_FALSE(ColorPickerController::isValidHexValue("0A1B2G"));
    EXPECT_TRUE(ColorPickerController::stringIsValid("", "01"));
    EXPECT_FALSE(ColorPickerController::stringIsValid("012", "01"));
}

TEST(ColorConversions, AGreyIsReadAsItsWhiteLevelAndAPatternStartsBlack)
{
    const RGBType grey = ColorPickerController::rgbColorFromColor(Color::colorWithWhite(0.5, 0.25));
    EXPECT_EQ(grey.redValue, 127);
    EXPECT_EQ(grey.greenValue, 127);
    EXPECT_EQ(grey.blueValue, 127);
    EXPECT_EQ(ColorPickerController::hexValueFromColor(Color::colorWithWhite(1, 1)), "FFFFFF");

    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ColorPickerController picker(Color::colorWithPatternImage(image), "Pattern");
    double r = -1, g = -1, b = -1, a = -1;
    ASSERT_TRUE(picker.selectedColor().getRed(&r, &g, &b, &a));
    EXPECT_EQ(QList<double>({ r, g, b, a }), QList<double>({ 0, 0, 0, 1 }));
}

TEST_F(ColorPicker, PureRedFillsTheFieldsAndPlacesTheMarkers)
{
    show(Color::colorWithRed(1, 0, 0));
    EXPECT_EQ(fields(), QStringList({ "0", "100", "100", "255", "0", "0", "FF0000" }));
    const QRectF field = picker->hueSaturationView()->bounds();
    EXPECT_EQ(picker->crosshairSelector()->center(), QPointF(0, 0));
    EXPECT_EQ(picker->hueSaturationContainer()->frame(),
        QRectF(10, 123, 1024 - 20, picker->view()->bounds().height() - 20 - 37 - 123));
    EXPECT_EQ(field.size(), picker->hueSaturationContainer()->bounds().size());
    const QRectF strip = picker->brightnessView()->frame();
    EXPECT_EQ(picker->horizontalSelector()->center(), QPointF(strip.x(), strip.center().y()));
    EXPECT_EQ(picker->colorView()->backgroundColor(), QColor(255, 0, 0));
    EXPECT_EQ(picker->brightnessView()->colors().value(0), Color::colorWithRed(1, 0, 0));

    Listener listener;
    picker->setDelegate(&listener);
    picker->navigationItem()->leftBarButtonItem()->trigger();
    picker->navigationItem()->rightBarButtonItem()->trigger();
    EXPECT_EQ(listener.calls, QStringList({ "cancelled", "saved" }));
    save("colorpicker-red-tablet.png");
}

TEST_F(ColorPicker, AGreyHasNoHueAndDarkeningLosesTheHue)
{
    show(Color::colorWithWhite(0.5, 1));
    EXPECT_EQ(fields(), QStringList({ "0", "0", "50", "127", "127", "127", "7F7F7F" }));
    picker->setSelectedColor(Color::colorWithRed(0, 0, 1));
    const QRectF strip = picker->brightnessView()->frame();
    picker->touchesBegan(QPointF(strip.right() + 40, strip.center().y()));
    // Past the right end the brightness stays 0.
    picker->touchesBegan(QPointF(strip.right() - 1, strip.center().y()));
    picker->touchesMoved(QPointF(strip.right() + 40, strip.center().y()));
    picker->touchesEnded(QPointF(strip.right() + 40, strip.center().y()));
    EXPECT_EQ(picker->hsvColor().brightnessValue, 0);
    EXPECT_EQ(picker->movingView(), nullptr);
    picker->touchesBegan(QPointF(strip.left(), strip.center().y()));
    picker->touchesEnded(QPointF(strip.left(), strip.center().y()));
    EXPECT_EQ(picker->hsvColor().hueValue, 0);
    EXPECT_EQ(picker->hsvColor().saturationValue, 0);
    EXPECT_EQ(picker->hsvColor().brightnessValue, 100);
    save("colorpicker-grey-tablet.png");
}

TEST_F(ColorPicker, DraggingPastTheFieldsEdgesClampsHueAndSaturation)
{
    show(Color::colorWithRed(0, 0, 1));
    View* field = picker->hueSaturationView();
    GestureSynthesizer::press(picker->view(), inMain(field, QPointF(100, 100)));
    EXPECT_EQ(picker->movingView(), picker->crosshairSelector());
    GestureSynthesizer::move(inMain(field, QPointF(-50, -50)));
    GestureSynthesizer::release();
    EXPECT_EQ(picker->hsvColor().hueValue, 0);
    EXPECT_EQ(picker->hsvColor().saturationValue, 100);
    EXPECT_EQ(picker->crosshairSelector()->center(), QPointF(0, 0));
}

TEST_F(ColorPicker, AFieldOrStripOfNoSizeIgnoresTouches)
{
    show(Color::colorWithRed(0, 1, 0));
    picker->hueSaturationView()->setFrame(QRectF(0, 0, 0, 0));
    picker->touchesBegan(picker->hueSaturationContainer()->frame().center());
    picker->brightnessView()->setFrame(QRectF(10, 600, 0, 37));
    picker->touchesBegan(QPointF(10, 610));
    const HSVType hsv = picker->hsvColor();
    EXPECT_EQ(hsv.hueValue, 120);
    EXPECT_EQ(hsv.saturationValue, 100);
    EXPECT_EQ(hsv.brightnessValue, 100);
    EXPECT_EQ(fields(), QStringList({ "120", "100", "100", "0", "255", "0", "00FF00" }));
}

TEST_F(ColorPicker, TypedAndPastedValuesAreCheckedBeforeTheyGoIn)
{
    show(Color::colorWithRed(0, 0, 0));
    TextField* hex = picker->hexField();
    hex->becomeFirstResponder();
    hex->lineEdit()->selectAll();
    type(hex, "ab12");
    EXPECT_EQ(hex->text(), "AB12");
    type(hex, "g");
    EXPECT_EQ(hex->text(), "AB12");
    paste(hex, "c3");
    EXPECT_EQ(hex->text(), "AB12C3");
    type(hex, "0");
    EXPECT_EQ(hex->text(), "AB12C3");
    hex->resignFirstResponder();
    EXPECT_EQ(picker->entryField(), nullptr);
    EXPECT_EQ(fields().last(), "AB12C3");
    EXPECT_EQ(picker->redField()->text(), "171");

    hex->becomeFirstResponder();
    hex->lineEdit()->selectAll();
    paste(hex, "xyz");
    EXPECT_EQ(hex->text(), "AB12C3");

    struct Limit {
        TextField* field;
        QString refused;
        QString accepted;
    };
    const QList<Limit> limits
        = { { picker->hueField(), "361", "360" }, { picker->saturationField(), "101", "100" },
              { picker->brightnessField(), "101", "100" }, { picker->redField(), "256", "255" },
              { picker->greenField(), "256", "255" }, { picker->blueField(), "256", "255" } };
    for (const Limit& limit : limits) {
        limit.field->becomeFirstResponder();
        limit.field->lineEdit()->selectAll();
        QTest::keyClick(limit.field->lineEdit(), Qt::Key_Backspace);
        type(limit.field, limit.refused);
        EXPECT_EQ(limit.field->text(), limit.refused.left(2));
        limit.field->lineEdit()->selectAll();
        QTest::keyClick(limit.field->lineEdit(), Qt::Key_Backspace);
        type(limit.field, limit.accepted);
        EXPECT_EQ(limit.field->text(), limit.accepted);
        paste(limit.field, "1");
        EXPECT_EQ(limit.field->text(), limit.accepted);
        limit.field->resignFirstResponder();
    }
    // The hue, saturation and brightness fields made the last colour but one; the colour
    // fields the last.
    EXPECT_EQ(fields(), QStringList({ "0", "0", "100", "255", "255", "255", "FFFFFF" }));
}

TEST_F(ColorPicker, AnEmptyOrInvalidEntryRestoresTheDisplays)
{
    show(Color::colorWithRed(0, 0.5, 1));
    const QStringList before = fields();
    TextField* hex = picker->hexField();
    hex->becomeFirstResponder();
    hex->lineEdit()->selectAll();
    QTest::keyClick(hex->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(hex->text(), "");
    hex->resignFirstResponder();
    EXPECT_EQ(fields(), before);
    type(hex, "");
    hex->lineEdit()->selectAll();
    type(hex, "12");
    hex->resignFirstResponder();
    EXPECT_EQ(fields(), before);
    // A touch away from the field being edited only ends the editing.
    picker->hueField()->becomeFirstResponder();
    EXPECT_EQ(picker->entryField(), picker->hueField());
    picker->touchesBegan(picker->hueSaturationContainer()->frame().center());
    EXPECT_EQ(picker->entryField(), nullptr);
    EXPECT_EQ(picker->movingView(), nullptr);
    EXPECT_EQ(fields(), before);
}

TEST_F(ColorPicker, OnAPhoneItIsPushedAndFillsTheScreen)
{
    close();
    open("phone");
    show(Color::colorWithRed(1, 0, 0));
    const QRectF strip = picker->brightnessView()->frame();
    EXPECT_EQ(strip.width(), 375 - 20);
    EXPECT_EQ(strip.bottom(), picker->view()->bounds().height() - 10);
    save("colorpicker-red-phone.png");
    picker->setSelectedColor(Color::colorWithWhite(0.5, 1));
    save("colorpicker-grey-phone.png");
}

TEST_F(ColorPicker, TheStatusBarStaysAsTheOtherScreensHaveIt)
{
    close();
    open("phone");
    show(Color::colorWithRed(1, 0, 0));
    OrietnationViewController other;
    EXPECT_EQ(picker->prefersStatusBarHidden(), other.prefersStatusBarHidden());
    EXPECT_EQ(picker->preferredStatusBarStyle(), other.preferredStatusBarStyle());
}
