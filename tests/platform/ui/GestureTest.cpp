#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/ui/Button.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

using namespace platform::ui;
using testsupport::GestureSynthesizer;
using State = GestureRecognizer::State;

namespace {

// A window-sized root with a card inside it and a label-like child on the card, so that
// touches start on a subview of the view that recognises.
struct Scene {
    View root { QRectF(0, 0, 400, 400) };
    View* card = new View(QRectF(50, 50, 300, 200), &root);
    View* child = new View(QRectF(20, 20, 100, 40), card);

    Scene() { root.show(); }
};

// Records every call of a recogniser's action with its state.
struct Recorder {
    QList<State> states;
    QList<QPointF> locations;
    QList<QPointF> translations;

    GestureRecognizer::Action action(QWidget* in)
    {
        return [this, in](GestureRecognizer* recognizer) {
            states << recognizer->state();
            locations << recognizer->locationInView(in);
            if (auto* pan = qobject_cast<PanGestureRecognizer*>(recognizer))
                translations << pan->translationInView(in);
        };
    }
};

struct GestureDelegate : GestureRecognizerDelegate {
    std::function<bool(GestureRecognizer*)> shouldBegin;
    bool simultaneous = false;
    bool gestureRecognizerShouldBegin(GestureRecognizer* r) override
    {
        return shouldBegin ? shouldBegin(r) : true;
    }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWith(
        GestureRecognizer*, GestureRecognizer*) override
    {
        return simultaneous;
    }
};

} // namespace

TEST(Gestures, TapIsRecognisedOnReleaseAndFailsWhenTheTouchWanders)
{
    Scene scene;
    Recorder taps;
    auto* tap = new TapGestureRecognizer(taps.action(scene.card));
    scene.card->addGestureRecognizer(tap);
    EXPECT_EQ(tap->view(), scene.card);
    EXPECT_EQ(scene.card->gestureRecognizers(), QList<GestureRecognizer*>({ tap }));

    // On the child: the card's recogniser sees it, in the card's coordinates.
    GestureSynthesizer::tap(scene.child, QPointF(10, 5));
    EXPECT_EQ(taps.states, QList<State>({ State::Ended }));
    EXPECT_EQ(taps.locations, QList<QPointF>({ QPointF(30, 25) }));
    EXPECT_EQ(tap->state(), State::Possible);

    // A press that wanders off is no tap; outside the card nothing is seen at all.
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(40, 10));
    GestureSynthesizer::tap(&scene.root, QPointF(5, 5));
    EXPECT_EQ(taps.states.size(), 1);
}

TEST(Gestures, QuickHorizontalDragsAndTrackpadScrollsSwipeInTheirDirection)
{
    Scene scene;
    Recorder left;
    Recorder right;
    auto* swipeLeft = new SwipeGestureRecognizer(left.action(scene.card));
    swipeLeft->setDirection(SwipeGestureRecognizer::Left);
    auto* swipeRight = new SwipeGestureRecognizer(right.action(scene.card));
    scene.card->addGestureRecognizer(swipeLeft);
    scene.card->addGestureRecognizer(swipeRight);
    // Both look at every touch; only one can be recognised per touch.
    swipeRight->setDelegate(nullptr);

    GestureSynthesizer::swipe(scene.card, SwipeGestureRecognizer::Left, QPointF(200, 100));
    EXPECT_EQ(left.states, QList<State>({ State::Ended }));
    EXPECT_TRUE(right.states.isEmpty());
    EXPECT_EQ(swipeLeft->recognizedDirection(), unsigned(SwipeGestureRecognizer::Left));

    GestureSynthesizer::swipe(scene.child, SwipeGestureRecognizer::Right, QPointF(10, 10));
    EXPECT_EQ(right.states, QList<State>({ State::Ended }));
    EXPECT_EQ(left.states.size(), 1);

    // Too slow, too steep, or too short: no swipe.
    GestureSynthesizer::swipe(
        scene.card, SwipeGestureRecognizer::Right, QPointF(20, 100), 100, 2.0);
    GestureSynthesizer::drag(scene.card, QPointF(20, 20), QPointF(90, 120), 6, 0.1);
    GestureSynthesizer::swipe(scene.card, SwipeGestureRecognizer::Left, QPointF(200, 100), 25);
    EXPECT_EQ(left.states.size(), 1);
    EXPECT_EQ(right.states.size(), 1);

    // Two fingers on a trackpad, sideways; a vertical scroll is not a swipe.
    GestureSynthesizer::trackpadSwipe(scene.child, SwipeGestureRecognizer::Left);
    EXPECT_EQ(left.states.size(), 2);
    GestureSynthesizer::trackpadSwipe(scene.card, SwipeGestureRecognizer::Right);
    EXPECT_EQ(right.states.size(), 2);
    GestureSynthesizer::trackpadSwipe(scene.card, SwipeGestureRecognizer::Down);
    EXPECT_EQ(left.states.size() + right.states.size(), 4);
}

TEST(Gestures, LongPressThenPanReportStatesLocationAndTranslationInOrder)
{
    Scene scene;
    Recorder presses;
    Recorder pans;
    auto* press = new LongPressGestureRecognizer(presses.action(scene.card));
    auto* pan = new PanGestureRecognizer(pans.action(scene.card));
    // As a reorderable grid does it: the pan begins only once something was picked up,
    // and both run together.
    bool pickedUp = false;
    press->addTarget([&](GestureRecognizer* r) {
        if (r->state() == State::Began)
            pickedUp = true;
    });
    GestureDelegate delegate;
    delegate.simultaneous = true;
    delegate.shouldBegin = [&](GestureRecognizer* r) { return r != pan || pickedUp; };
    press->setDelegate(&delegate);
    pan->setDelegate(&delegate);
    scene.card->addGestureRecognizer(press);
    scene.card->addGestureRecognizer(pan);

    GestureSynthesizer::longPressDrag(scene.card, QPointF(40, 40), QPointF(140, 90), 5);
    ASSERT_GE(presses.states.size(), 3);
    EXPECT_EQ(presses.states.first(), State::Began);
    EXPECT_EQ(presses.states.last(), State::Ended);
    for (int i = 1; i + 1 < presses.states.size(); ++i)
        EXPECT_EQ(presses.states[i], State::Changed);
    EXPECT_EQ(presses.locations.first(), QPointF(40, 40));
    EXPECT_EQ(presses.locations.last(), QPointF(140, 90));

    ASSERT_GE(pans.states.size(), 3);
    EXPECT_EQ(pans.states.first(), State::Began);
    EXPECT_EQ(pans.states.last(), State::Ended);
    for (int i = 1; i + 1 < pans.states.size(); ++i)
        EXPECT_EQ(pans.states[i], State::Changed);
    EXPECT_EQ(pans.translations.last(), QPointF(100, 50));
    EXPECT_EQ(pans.locations.last(), QPointF(140, 90));
    EXPECT_EQ(press->state(), State::Possible);
    EXPECT_EQ(pan->state(), State::Possible);

    // Without the hold the pan may not begin, and the long press fails on the movement.
    presses.states.clear();
    pans.states.clear();
    pickedUp = false;
    GestureSynthesizer::drag(scene.card, QPointF(40, 40), QPointF(140, 90), 5, 0.2);
    EXPECT_TRUE(presses.states.isEmpty());
    EXPECT_TRUE(pans.states.isEmpty());

    // Let go before the minimum duration: nothing.
    GestureSynthesizer::longPress(scene.card, QPointF(40, 40), 0.2);
    EXPECT_TRUE(presses.states.isEmpty());
    // Held still long enough: began and ended.
    GestureSynthesizer::longPress(scene.card, QPointF(40, 40), 0.7);
    EXPECT_EQ(presses.states, QList<State>({ State::Began, State::Ended }));
}

TEST(Gestures, LongPressBeginsByItsTimerWhileTheMouseRests)
{
    Scene scene;
    Recorder presses;
    auto* press = new LongPressGestureRecognizer(presses.action(scene.card));
    press->setMinimumPressDuration(0.05);
    scene.card->addGestureRecognizer(press);
    GestureSynthesizer::press(scene.card, QPointF(30, 30));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !presses.states.isEmpty(); }, 2000));
    EXPECT_EQ(presses.states, QList<State>({ State::Began }));
    GestureSynthesizer::release();
    EXPECT_EQ(presses.states, QList<State>({ State::Began, State::Ended }));
}

TEST(Gestures, DisablingCancelsARunningGestureAndEnablingBringsItBack)
{
    Scene scene;
    Recorder pans;
    auto* pan = new PanGestureRecognizer(pans.action(scene.card));
    scene.card->addGestureRecognizer(pan);
    int changes = 0;
    pan->addTarget([&](GestureRecognizer* r) {
        if (r->state() == State::Changed && ++changes == 2)
            r->setEnabled(false);
    });
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(200, 10), 8);
    EXPECT_EQ(pans.states,
        QList<State>({ State::Began, State::Changed, State::Changed, State::Cancelled }));
    EXPECT_EQ(pan->state(), State::Possible);

    // Disabled, it sees nothing; enabled again, it works as before.
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(200, 10), 4);
    EXPECT_EQ(pans.states.size(), 4);
    pan->setEnabled(true);
    pans.states.clear();
    changes = 10;
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(200, 10), 4);
    EXPECT_EQ(pans.states.first(), State::Began);
    EXPECT_EQ(pans.states.last(), State::Ended);

    // Taken off its view while running: cancelled as well, and handed back.
    pans.states.clear();
    std::unique_ptr<GestureRecognizer> removed;
    pan->addTarget([&](GestureRecognizer* r) {
        if (r->state() == State::Changed && !removed) {
            scene.card->removeGestureRecognizer(r);
            removed.reset(r);
        }
    });
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(200, 10), 4);
    EXPECT_EQ(pans.states, QList<State>({ State::Began, State::Changed, State::Cancelled }));
    EXPECT_EQ(removed->view(), nullptr);
}

TEST(Gestures, RequireToFailWaitsForTheOtherAndLosesWhenItSucceeds)
{
    Scene scene;
    Recorder taps;
    Recorder presses;
    auto* tap = new TapGestureRecognizer(taps.action(scene.card));
    auto* press = new LongPressGestureRecognizer(presses.action(scene.card));
    tap->requireGestureRecognizerToFail(press);
    EXPECT_EQ(tap->requiredToFail(), QList<GestureRecognizer*>({ press }));
    // Added in this order, the tap asks first; it waits for the long press to fail.
    scene.card->addGestureRecognizer(tap);
    scene.card->addGestureRecognizer(press);

    GestureSynthesizer::tap(scene.card);
    EXPECT_EQ(taps.states, QList<State>({ State::Ended }));
    EXPECT_TRUE(presses.states.isEmpty());

    GestureSynthesizer::longPress(scene.card);
    EXPECT_EQ(taps.states.size(), 1);
    EXPECT_EQ(presses.states, QList<State>({ State::Began, State::Ended }));
}

TEST(Gestures, FirstToRecogniseWinsUnlessBothMayRunAndShouldBeginCanRefuse)
{
    Scene scene;
    Recorder inner;
    Recorder outer;
    auto* childPan = new PanGestureRecognizer(inner.action(scene.child));
    auto* cardPan = new PanGestureRecognizer(outer.action(scene.card));
    scene.child->addGestureRecognizer(childPan);
    scene.card->addGestureRecognizer(cardPan);

    // The deeper view's recogniser hears first and wins.
    GestureSynthesizer::drag(scene.child, QPointF(10, 10), QPointF(80, 10), 4);
    EXPECT_FALSE(inner.states.isEmpty());
    EXPECT_TRUE(outer.states.isEmpty());

    // Allowed together, both run.
    GestureDelegate together;
    together.simultaneous = true;
    childPan->setDelegate(&together);
    inner.states.clear();
    GestureSynthesizer::drag(scene.child, QPointF(10, 10), QPointF(80, 10), 4);
    EXPECT_EQ(inner.states.last(), State::Ended);
    EXPECT_EQ(outer.states.last(), State::Ended);

    // A refusal to begin hands the touch to the other.
    GestureDelegate refusing;
    refusing.shouldBegin = [](GestureRecognizer*) { return false; };
    childPan->setDelegate(&refusing);
    inner.states.clear();
    outer.states.clear();
    GestureSynthesizer::drag(scene.child, QPointF(10, 10), QPointF(80, 10), 4);
    EXPECT_TRUE(inner.states.isEmpty());
    EXPECT_EQ(outer.states.first(), State::Began);
}

TEST(Gestures, ButtonsKeepTheirClicksAndARecognisedGestureCancelsThem)
{
    Scene scene;
    auto* button = new Button(QRectF(10, 10, 60, 30), scene.card);
    int clicks = 0;
    int cancels = 0;
    button->addTarget([&](Control*) { ++clicks; }, ControlEventTouchUpInside);
    button->addTarget([&](Control*) { ++cancels; }, ControlEventTouchCancel);
    Recorder taps;
    Recorder presses;
    scene.card->addGestureRecognizer(new TapGestureRecognizer(taps.action(scene.card)));
    scene.card->addGestureRecognizer(new LongPressGestureRecognizer(presses.action(scene.card)));

    // A click on the button is the button's, not the card's tap.
    GestureSynthesizer::tap(button);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(taps.states.isEmpty());

    // A long press over the button takes the touch: the button lets go without firing.
    GestureSynthesizer::longPress(button);
    EXPECT_EQ(presses.states, QList<State>({ State::Began, State::Ended }));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(button->isHighlighted());
}

TEST(Gestures, ARecogniserDeletedInItsOwnActionLeavesTheTouchAlone)
{
    Scene scene;
    QPointer<PanGestureRecognizer> pan = new PanGestureRecognizer();
    pan->addTarget([&](GestureRecognizer* r) {
        if (r->state() == State::Changed)
            r->deleteLater();
    });
    scene.card->addGestureRecognizer(pan);
    GestureSynthesizer::drag(scene.card, QPointF(10, 10), QPointF(120, 10), 6);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pan.isNull());
    // The next touch starts clean.
    Recorder taps;
    scene.card->addGestureRecognizer(new TapGestureRecognizer(taps.action(scene.card)));
    GestureSynthesizer::tap(scene.card);
    EXPECT_EQ(taps.states, QList<State>({ State::Ended }));
}

TEST(Gestures, ATapBetweenPixelsOnASubviewIsOneTouch)
{
    // Qt rebuilds the position of a press it hands on to the parents from whole points;
    // the recognisers must still see one touch, not a second one that cancels the first.
    Scene scene;
    Recorder taps;
    auto* tap = new TapGestureRecognizer(taps.action(scene.child));
    auto* button = new View(QRectF(30, 10, 25, 25), scene.child);
    button->addGestureRecognizer(tap);
    auto* swipe = new SwipeGestureRecognizer();
    scene.card->addGestureRecognizer(swipe);
    GestureSynthesizer::tap(button, QPointF(12.5, 12.5));
    EXPECT_EQ(taps.states, QList<State> { State::Ended });
}
