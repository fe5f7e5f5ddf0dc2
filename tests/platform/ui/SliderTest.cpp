#include "platform/ui/Slider.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/SwipeGestureRecognizer.h"

#include <gtest/gtest.h>

#include <limits>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

TEST(Slider, DraggingReportsEachChangeOrOnlyTheLastWhenNotContinuous)
{
    Animation::setInstant(true);
    View root(QRectF(0, 0, 300, 100));
    root.show();
    auto* slider = new Slider(QRectF(10, 10, 228, 31), &root);
    slider->setMinimumValue(0);
    slider->setMaximumValue(200);
    QList<float> values;
    slider->addTarget([&](Control*) { values << slider->value(); }, ControlEventValueChanged);
    // The track runs from 14 to 214 inside the slider: one point per unit.
    slider->setValue(50);
    EXPECT_TRUE(values.isEmpty());
    EXPECT_EQ(slider->thumbRect().center().x(), 64);

    // Taken by the thumb, it keeps under the mouse where it was grabbed.
    GestureSynthesizer::drag(slider, QPointF(66, 15), QPointF(126, 15), 3);
    EXPECT_EQ(values, QList<float>({ 70, 90, 110 }));
    // A click on the track brings the thumb there; beyond the ends it stops at them.
    GestureSynthesizer::tap(slider, QPointF(200, 15));
    EXPECT_EQ(values.last(), 186);
    GestureSynthesizer::drag(slider, QPointF(200, 15), QPointF(290, 15), 2);
    EXPECT_EQ(slider->value(), 200);

    values.clear();
    slider->setContinuous(false);
    GestureSynthesizer::drag(slider, QPointF(214, 15), QPointF(114, 15), 4);
    EXPECT_EQ(values, QList<float>({ 100 }));
    // Values set in code stay within the range and are not reported.
    slider->setValue(-5);
    EXPECT_EQ(slider->value(), 0);
    slider->setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(values.size(), 1);
}

TEST(Slider, KeepsItsDragInsideAViewThatRecognisesSwipes)
{
    View root(QRectF(0, 0, 300, 100));
    root.show();
    auto* cell = new View(QRectF(0, 0, 300, 100), &root);
    int swipes = 0;
    auto* swipe = new SwipeGestureRecognizer([&](GestureRecognizer*) { ++swipes; });
    swipe->setDirection(SwipeGestureRecognizer::Left | SwipeGestureRecognizer::Right);
    cell->addGestureRecognizer(swipe);
    auto* slider = new Slider(QRectF(10, 10, 228, 31), cell);
    GestureSynthesizer::swipe(slider, SwipeGestureRecognizer::Right, QPointF(14, 15), 120, 0.1);
    EXPECT_EQ(swipes, 0);
    EXPECT_GT(slider->value(), 0.5f);
    GestureSynthesizer::swipe(cell, SwipeGestureRecognizer::Right, QPointF(20, 80), 120, 0.1);
    EXPECT_EQ(swipes, 1);
}

TEST(ProgressView, FillsItsShareOfTheTrack)
{
    Animation::setInstant(true);
    ProgressView progress;
    progress.setFrame(QRectF(0, 0, 100, 2));
    progress.setProgressTintColor(Qt::blue);
    progress.setTrackTintColor(Qt::gray);
    progress.setProgress(1.7f);
    EXPECT_EQ(progress.progress(), 1.0f);
    progress.setProgress(0.25f, true);
    testsupport::processEvents(10);
    const QImage shot = progress.snapshot();
    const double scale = shot.width() / 100.0;
    EXPECT_EQ(shot.pixelColor(int(10 * scale), 0), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(int(60 * scale), 0), QColor(Qt::gray));
}

TEST(ActivityIndicatorView, ShowsOnlyWhileAnimatingUnlessToldOtherwise)
{
    View root(QRectF(0, 0, 100, 100));
    auto* spinner = new ActivityIndicatorView(ActivityIndicatorView::Style::Gray, &root);
    EXPECT_EQ(spinner->frame().size(), QSizeF(20, 20));
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_FALSE(spinner->isHidden());
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    spinner->setHidesWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden());
    ActivityIndicatorView large(ActivityIndicatorView::Style::WhiteLarge);
    EXPECT_EQ(large.frame().size(), QSizeF(37, 37));
}
