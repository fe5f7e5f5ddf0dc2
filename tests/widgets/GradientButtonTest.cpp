#include "widgets/GradientButton.h"
#include "ScreenFixture.h"

#include <QImage>

using namespace platform::ui;

namespace {

using GradientButtons = ScreenFixture;

QColor pixel(GradientButton& button, int x, int y)
{
    button.setNeedsDisplay();
    const QImage image = button.grab().toImage();
    const double scale = image.devicePixelRatio();
    return image.pixelColor(int(x * scale), int(y * scale));
}

bool near(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST_F(GradientButtons, TheTitleContrastsWithTheColour)
{
    GradientButton button(QRectF(0, 0, 120, 44));
    button.setColor(Qt::white);
    EXPECT_EQ(button.currentTitleColor(), QColor(Qt::black));
    EXPECT_EQ(button.titleShadowColor(), QColor(255, 255, 255, 153));
    // A mean of 0.8 exactly is not light.
    button.setColor(QColor::fromRgbF(0.8, 0.8, 0.8));
    EXPECT_EQ(button.currentTitleColor(), QColor(Qt::white));
    EXPECT_EQ(button.titleShadowColor(), QColor(0, 0, 0, 153));
    button.setColor(QColor::fromRgbF(0.9, 0.75, 0.8));
    EXPECT_EQ(button.currentTitleColor(), QColor(Qt::black));
}

TEST_F(GradientButtons, PresetsAndColourSteps)
{
    EXPECT_EQ(GradientButton::presetColor(9), GradientButton::presetColor(1));
    EXPECT_DOUBLE_EQ(
        GradientButton::presetColor(1).greenF(), QColor::fromRgbF(0, double(0.33f), 0.8).greenF());
    EXPECT_TRUE(GradientButton::isLightColor(GradientButton::presetColor(0)));
    for (int type = 1; type <= 6; ++type)
        EXPECT_FALSE(GradientButton::isLightColor(GradientButton::presetColor(type))) << type;
    const QColor top = GradientButton::lightenColor(QColor::fromRgbF(0.95, 0.95, 0.95), 0.12f);
    EXPECT_EQ(top, QColor::fromRgbF(1, 1, 1));
    EXPECT_EQ(GradientButton::darkenColor(QColor::fromRgbF(0.03, 0.5, 1), 0.06f).redF(), 0.0);
    GradientButton button(QRectF(0, 0, 100, 40));
    EXPECT_EQ(button.color(), GradientButton::presetColor(1));
    button.setType(4);
    EXPECT_EQ(button.color(), GradientButton::presetColor(4));
}

TEST_F(GradientButtons, GradientEndsOutlineAndHighlight)
{
    auto* button = new GradientButton(QRectF(20, 400, 200, 60), screen->view());
    button->setType(3);
    button->show();
    const QColor color = GradientButton::presetColor(3);
    const QColor light = GradientButton::lightenColor(color, 0.12f);
    const QColor dark = GradientButton::darkenColor(color, 0.06f);
    // Clear of the title, below the glow.
    const QColor upper = pixel(*button, 10, 6);
    const QColor lower = pixel(*button, 10, 58);
    EXPECT_GT(upper.greenF(), lower.greenF());
    EXPECT_TRUE(near(lower, color, 6)) << lower.name().toStdString();
    EXPECT_TRUE(near(upper, light, 10)) << upper.name().toStdString();
    // The outline, at the middle of the left edge.
    EXPECT_TRUE(near(pixel(*button, 0, 30), dark, 40))
        << pixel(*button, 0, 30).name().toStdString();
    // The glow: lighter just inside the top edge than a little further down.
    EXPECT_GT(pixel(*button, 100, 2).greenF(), pixel(*button, 100, 7).greenF());

    button->setHighlighted(true);
    const QColor upperPressed = pixel(*button, 10, 6);
    const QColor lowerPressed = pixel(*button, 10, 54);
    EXPECT_LT(upperPressed.greenF(), lowerPressed.greenF());
    EXPECT_TRUE(near(upperPressed, color, 10)) << upperPressed.name().toStdString();
    // No glow while pressed.
    EXPECT_LE(pixel(*button, 100, 2).greenF(), pixel(*button, 100, 7).greenF() + 0.01);
}

TEST_F(GradientButtons, TheTitleIsDrawnInItsColour)
{
    auto* button = new GradientButton(QRectF(20, 400, 200, 60), screen->view());
    button->setType(6);
    button->setTitle("MMMMMMMM");
    button->setTitleFont(Font::boldSystem(30));
    button->show();
    // The brightest pixels across the middle row are the white title's.
    button->setNeedsDisplay();
    const QImage image = button->grab().toImage();
    const double scale = image.devicePixelRatio();
    double brightest = 0;
    for (int x = 40; x < 160; ++x) {
        const QColor c = image.pixelColor(int(x * scale), int(30 * scale));
        brightest = std::max(brightest, double(c.redF() + c.greenF() + c.blueF()) / 3);
    }
    EXPECT_GE(brightest, 0.8);
}
