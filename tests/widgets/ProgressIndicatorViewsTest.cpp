#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ui/Font.h"
#include "platform/ui/Layer.h"
#include "widgets/HUDBackgroundView.h"
#include "widgets/HUDBarProgressView.h"
#include "widgets/HUDRoundProgressView.h"
#include "widgets/ProgressHUDRoundedButton.h"

#include <QPainter>
#include <gtest/gtest.h>

using platform::ui::View;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// The view drawn over black, as a person would see it.
QImage drawn(View& view)
{
    QImage image(view.bounds().size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    view.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    return image;
}

bool isRed(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool isGreen(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
}

bool isBlack(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.red() < 30 && c.green() < 30 && c.blue() < 30;
}

std::string expectNilColorFailure(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Exception& exception) {
        return (exception.name() + ": " + exception.reason()).toStdString();
    }
    return "no failure";
}

} // namespace

// The ring is 37 points: the outline lies between radii 16.5 and 18.5, the thick arc of
// the progress between 14.5 and 18.5. Points 15 from the centre are on the arc only.
TEST(HUDRoundProgressView, DrawsTheOutlineAloneAtZeroAndTheWholeArcAtOne)
{
    HUDRoundProgressView view;
    EXPECT_EQ(view.frame(), QRectF(0, 0, 37, 37));
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(37, 37));
    view.setProgressTintColor(kRed);

    QImage empty = drawn(view);
    EXPECT_TRUE(isRed(empty, 18, 1)); // the outline at the top
    EXPECT_TRUE(isRed(empty, 1, 18));
    EXPECT_TRUE(isBlack(empty, 18, 3)); // inside the outline: no arc yet
    EXPECT_TRUE(isBlack(empty, 33, 18));
    EXPECT_TRUE(isBlack(empty, 18, 18));

    view.setProgress(0.25f); // the top right quarter, clockwise from the top
    QImage quarter = drawn(view);
    EXPECT_TRUE(isRed(quarter, 29, 7));
    EXPECT_TRUE(isBlack(quarter, 29, 29));
    EXPECT_TRUE(isBlack(quarter, 7, 7));

    view.setProgress(1.0f);
    QImage full = drawn(view);
    for (const QPoint p : { QPoint(18, 3), QPoint(33, 18), QPoint(18, 33), QPoint(3, 18) })
        EXPECT_TRUE(isRed(full, p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_TRUE(isBlack(full, 18, 18));
}

TEST(HUDRoundProgressView, AnnularShowsOnlyTheFaintRingAtZeroAndTheProgressRingOverIt)
{
    HUDRoundProgressView view;
    view.setAnnular(true);
    view.setProgressTintColor(kRed);
    view.setBackgroundTintColor(kGreen);

    QImage empty = drawn(view);
    EXPECT_TRUE(isGreen(empty, 18, 1));
    EXPECT_TRUE(isGreen(empty, 35, 18));
    EXPECT_TRUE(isGreen(empty, 18, 35));
    EXPECT_TRUE(isBlack(empty, 18, 4));
    bool anyRed = false;
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            anyRed |= isRed(empty, x, y);
    EXPECT_FALSE(anyRed);

    view.setProgress(0.5f); // the right half
    QImage half = drawn(view);
    EXPECT_TRUE(isRed(half, 35, 18));
    EXPECT_TRUE(isGreen(half, 1, 18));

    view.setProgress(1.0f);
    QImage full = drawn(view);
    for (const QPoint p : { QPoint(18, 1), QPoint(35, 18), QPoint(18, 35), QPoint(1, 18) })
        EXPECT_TRUE(isRed(full, p.x(), p.y())) << p.x() << "," << p.y();
}

// A bar 120 × 20: the fill's caps have radius 6 about x = 10 and x = 110.
TEST(HUDBarProgressView, FillsTheWholeLeftCapThenUpToTheProgressThenTheRightCap)
{
    HUDBarProgressView view;
    EXPECT_EQ(view.frame(), QRectF(0, 0, 120, 20));
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(120, 10));
    view.setLineColor(kBlue);
    view.setProgressColor(kRed);

    QImage empty = drawn(view);
    EXPECT_TRUE(isBlack(empty, 8, 10));
    EXPECT_TRUE(isBlack(empty, 60, 10));
    EXPECT_EQ(empty.pixelColor(60, 2).blue(), 255); // the outline

    // 5 % is 6 points, inside the left cap: the cap is drawn whole, up to x = 10.
    view.setProgress(0.05f);
    QImage cap = drawn(view);
    EXPECT_TRUE(isRed(cap, 8, 10));
    EXPECT_TRUE(isRed(cap, 9, 10));
    EXPECT_TRUE(isBlack(cap, 12, 10));
    EXPECT_TRUE(isBlack(cap, 5, 5)); // rounded, not square

    view.setProgress(0.5f);
    QImage half = drawn(view);
    EXPECT_TRUE(isRed(half, 58, 10));
    EXPECT_TRUE(isRed(half, 30, 5));
    EXPECT_TRUE(isBlack(half, 62, 10));

    view.setProgress(1.0f);
    QImage full = drawn(view);
    for (int x : { 8, 60, 110, 114 })
        EXPECT_TRUE(isRed(full, x, 10)) << x;
    EXPECT_TRUE(isRed(full, 110, 6));
    EXPECT_TRUE(isRed(full, 110, 14));
}

TEST(HUDViews, NilColoursAreProgrammingErrors)
{
    const std::string expected = "NSInternalInconsistencyException: The color should not be nil.";
    HUDRoundProgressView round;
    HUDBarProgressView bar;
    HUDBackgroundView background;
    EXPECT_EQ(expectNilColorFailure([&] { round.setProgressTintColor(QColor()); }), expected);
    EXPECT_EQ(expectNilColorFailure([&] { round.setBackgroundTintColor(QColor()); }), expected);
    EXPECT_EQ(expectNilColorFailure([&] { bar.setProgressColor(QColor()); }), expected);
    EXPECT_EQ(expectNilColorFailure([&] { bar.setProgressRemainingColor(QColor()); }), expected);
    EXPECT_EQ(expectNilColorFailure([&] { background.setColor(QColor()); }), expected);
    bar.setLineColor(QColor()); // a plain store
    EXPECT_FALSE(bar.lineColor().isValid());
}

TEST(HUDBackgroundView, BlurStyleKeepsATranslucentViewBelowAndTheSolidStyleDropsIt)
{
    HUDBackgroundView view(QRectF(0, 0, 100, 60));
    EXPECT_EQ(view.style(), HUDBackgroundView::Blur);
    EXPECT_EQ(view.blurEffectStyle(), HUDBackgroundView::Light);
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(0, 0));
    ASSERT_NE(view.effectView(), nullptr);
    EXPECT_EQ(view.subviews().first(), view.effectView());
    EXPECT_EQ(view.effectView()->frame(), view.bounds());
    EXPECT_LT(view.effectView()->backgroundColor().alpha(), 255);
    EXPECT_EQ(view.backgroundColor(), QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.6f));

    view.setStyle(HUDBackgroundView::SolidColor);
    EXPECT_EQ(view.effectView(), nullptr);
    EXPECT_TRUE(view.subviews().isEmpty());
    view.setColor(kBlue);
    EXPECT_EQ(view.backgroundColor(), kBlue);
    view.setStyle(HUDBackgroundView::Blur);
    ASSERT_NE(view.effectView(), nullptr);
    EXPECT_EQ(view.backgroundColor(), kBlue);
}

TEST(ProgressHUDRoundedButton, TakesNoRoomUntilItHasAnActionThenItsTitlePlusTwenty)
{
    ProgressHUDRoundedButton button;
    button.setTitle("Cancel");
    button.setTitleFont(platform::ui::Font::boldSystem(12));
    EXPECT_EQ(button.intrinsicContentSize(), QSizeF(0, 0));
    button.addTarget([](platform::ui::Control*) {}, platform::ui::ControlEventTouchUpInside);
    const QSizeF title = button.sizeThatFits(QSizeF());
    ASSERT_GT(title.width(), 0);
    EXPECT_EQ(button.intrinsicContentSize(), QSizeF(title.width() + 20, title.height()));

    // A capsule outlined in the title colour, tinted while pressed.
    EXPECT_EQ(button.layer()->borderWidth(), 1.0);
    button.setFrame(QRectF(0, 0, 80, 25));
    button.layoutIfNeeded();
    EXPECT_EQ(button.layer()->cornerRadius(), 13.0);
    button.setTitleColor(kRed);
    EXPECT_EQ(button.layer()->borderColor(), kRed);
    button.setHighlighted(true);
    EXPECT_EQ(button.backgroundColor().rgb(), kRed.rgb());
    EXPECT_NEAR(button.backgroundColor().alphaF(), 0.1, 0.01);
    button.setHighlighted(false);
    EXPECT_EQ(button.backgroundColor().alpha(), 0);
}
