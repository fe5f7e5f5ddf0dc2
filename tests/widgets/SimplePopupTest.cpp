#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "utilities/shell/SelectiveBorder.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/SimplePopoverControllerDelegate.h"
#include "widgets/SimplePopupViewController.h"

#include <QPointer>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

// Keeps the popup it showed last, as a screen does, and forgets it when it closes.
struct PopupOwner : QObject, SimplePopoverControllerDelegate {
    QPointer<SimplePopupViewController> simplepopupController;
    QList<QPointer<SimplePopupViewController>> closed;

    SimplePopupViewController* show(const QSizeF& size, const QPointF& point, bool parented = true)
    {
        auto* popup = new SimplePopupViewController(
            new ViewController(), size, true, parented ? this : nullptr);
        simplepopupController = popup;
        popup->setDelegate(this);
        popup->presentPopoverFromPoint(point);
        return popup;
    }
    void SimplePopoverControllerDidDismissPopover(SimplePopupViewController* popup) override
    {
        closed << popup;
        if (popup == simplepopupController)
            simplepopupController = nullptr;
    }
};

struct Popups : ScreenFixture {
    void pressDone(SimplePopupViewController* popup)
    {
        BarButtonItem* done
            = popup->contentViewController()->navigationItem()->rightBarButtonItem();
        ASSERT_NE(done, nullptr);
        EXPECT_EQ(done->systemItem(), BarButtonItem::SystemItem::Done);
        done->trigger();
    }
};

} // namespace

TEST_F(Popups, PlacedAtThePointCentredForTheOriginAndMovedLeftToFit)
{
    PopupOwner owner;
    SimplePopupViewController* centred = owner.show(QSizeF(400, 300), QPointF(0, 0));
    EXPECT_EQ(centred->view()->parentWidget(), rootView());
    EXPECT_EQ(centred->view()->frame(), QRectF(0, 0, 1024, 768));
    EXPECT_EQ(centred->containerView()->frame(), QRectF(312, 234, 400, 300));
    EXPECT_EQ(centred->contentViewController()->view()->frame(), QRectF(0, 0, 400, 300));
    centred->dismissPopoverAnimated(false);

    SimplePopupViewController* placed = owner.show(QSizeF(200, 100), QPointF(100, 50));
    EXPECT_EQ(placed->containerView()->frame(), QRectF(100, 50, 200, 100));
    placed->dismissPopoverAnimated(false);

    // In a window 400 wide, a popup at x = 300 and 200 wide moves to x = 200.
    Application::shared().keyWindow()->setFrame(QRectF(0, 0, 400, 700));
    flush();
    SimplePopupViewController* right = owner.show(QSizeF(200, 100), QPointF(300, 40));
    EXPECT_EQ(right->containerView()->frame(), QRectF(200, 40, 200, 100));
    // One that would overflow the bottom edge moves up until it fits the window, its
    // buttons on screen.
    right->dismissPopoverAnimated(false);
    SimplePopupViewController* low = owner.show(QSizeF(200, 300), QPointF(50, 600));
    EXPECT_EQ(low->containerView()->frame(), QRectF(50, 400, 200, 300));
    low->dismissPopoverAnimated(false);
    // As tall as the window: from its top.
    SimplePopupViewController* tall = owner.show(QSizeF(200, 700), QPointF(50, 200));
    EXPECT_EQ(tall->containerView()->frame(), QRectF(50, 0, 200, 700));
    tall->dismissPopoverAnimated(false);
}

TEST_F(Popups, TooLargeContentIsCutToTheWindowLessAMarginOnATablet)
{
    PopupOwner owner;
    SimplePopupViewController* popup = owner.show(QSizeF(1100, 900), QPointF(0, 0));
    EXPECT_EQ(popup->containerView()->frame().size(), QSizeF(1004, 708));
    popup->dismissPopoverAnimated(false);

    close();
    open("phone");
    PopupOwner phoneOwner;
    SimplePopupViewController* onPhone = phoneOwner.show(QSizeF(500, 900), QPointF(0, 0));
    EXPECT_EQ(onPhone->containerView()->frame(), QRectF(0, 0, 375, 667));
    onPhone->dismissPopoverAnimated(false);
}

TEST_F(Popups, TheBorderIsTheBarColourFivePointsWideWithAShadow)
{
    PopupOwner owner;
    SimplePopupViewController* popup = owner.show(QSizeF(400, 300), QPointF(0, 0));
    View* container = popup->containerView();
    EXPECT_EQ(SelectiveBorder::selectiveBorderFlag(container), 15u);
    EXPECT_EQ(SelectiveBorder::selectiveBordersWidth(container), 5.0f);
    EXPECT_EQ(SelectiveBorder::selectiveBordersColor(container),
        Theme::current()->toolbarColor().toQColor());
    EXPECT_EQ(container->layer()->shadowOpacity(), 0.7);
    EXPECT_EQ(container->layer()->shadowOffset(), QPointF(-3, 3));
    popup->dismissPopoverAnimated(false);
}

// A filter-like screen on its navigation stack, 500 × 500 from (0, 0) with the border, as
// the grid screens open their filter and sort screens on a tablet.
TEST_F(Popups, ScreenshotOfAScreenInAPopup)
{
    auto* filter = new ViewController();
    filter->setTitle("Filter");
    View* body = filter->view();
    body->setFrame(QRectF(0, 0, 500, 456));
    body->setBackgroundColor(QColor(239, 239, 244));
    const QStringList conditions
        = { "Name contains \"knife\"", "Quantity > 1", "Location = Kitchen" };
    for (int i = 0; i < conditions.size(); ++i) {
        auto* row = new Label(QRectF(0, 20 + i * 45, 500, 44), body);
        row->setAutoresizingMask(AutoresizingFlexibleWidth);
        row->setBackgroundColor(Qt::white);
        row->setText("    " + conditions[i]);
        row->setFont(Font::named("HelveticaNeue", 16));
    }
    auto* stack = new NavigationController(filter);
    PopupOwner owner;
    auto* popup = new SimplePopupViewController(stack, QSizeF(500, 500), true, &owner);
    popup->setDelegate(&owner);
    popup->presentPopoverFromPoint(QPointF(0, 0));
    EXPECT_EQ(popup->containerView()->frame(), QRectF(262, 134, 500, 500));
    EXPECT_EQ(stack->view()->frame(), QRectF(0, 0, 500, 500));
    EXPECT_TRUE(filter->view()->isVisible());
    const QImage shot = Application::shared().keyWindow()->snapshot();
    EXPECT_EQ(shot.pixelColor(512, 134 + 20 + 44 + 30), QColor(Qt::white)); // a row
    EXPECT_TRUE(save("simple-popup-filter-tablet.png"));
    popup->dismissPopoverAnimated(false);
}

TEST_F(Popups, AnOutsideTouchClosesItWithoutReachingTheScreenBelow)
{
    PopupOwner owner;
    QPointer<SimplePopupViewController> popup = owner.show(QSizeF(400, 300), QPointF(0, 0));
    GestureSynthesizer::tap(popup->containerView());
    flush();
    EXPECT_TRUE(popup->isPresented());
    GestureSynthesizer::tap(below);
    flush();
    EXPECT_EQ(belowTaps, 0);
    EXPECT_FALSE(popup->isPresented());
    EXPECT_EQ(owner.closed, (QList<QPointer<SimplePopupViewController>> { popup }));
    EXPECT_EQ(owner.simplepopupController, nullptr);
}

TEST_F(Popups, WithAutoCloseDisabledOnlyDoneClosesIt)
{
    PopupOwner owner;
    SimplePopupViewController* popup = owner.show(QSizeF(400, 300), QPointF(0, 0));
    popup->setDisableAutoClose(true);
    GestureSynthesizer::tap(below);
    flush();
    EXPECT_EQ(belowTaps, 0);
    EXPECT_TRUE(popup->isPresented());
    EXPECT_TRUE(owner.closed.isEmpty());

    pressDone(popup); // at once, without fading
    EXPECT_FALSE(popup->isPresented());
    EXPECT_EQ(popup->view()->parentWidget(), nullptr);
    EXPECT_EQ(owner.closed.size(), 1);
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 1);
}

// A second popup over a first: the screen keeps only the last, yet the first stays
// closable and its closing is reported; afterwards nothing is left catching touches.
TEST_F(Popups, APopupLeftOpenUnderAnotherStaysClosableAndGoesWhenClosed)
{
    PopupOwner owner;
    QPointer<SimplePopupViewController> first
        = owner.show(QSizeF(400, 300), QPointF(0, 0), /*parented*/ false);
    QPointer<SimplePopupViewController> second
        = owner.show(QSizeF(300, 200), QPointF(50, 100), /*parented*/ false);
    EXPECT_EQ(owner.simplepopupController, second.data());
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isPresented());
    EXPECT_TRUE(second->isPresented());

    GestureSynthesizer::tap(below);
    flush();
    EXPECT_TRUE(second.isNull());
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isPresented());
    EXPECT_EQ(belowTaps, 0);

    GestureSynthesizer::tap(below);
    flush();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(owner.closed.size(), 2);
    EXPECT_EQ(belowTaps, 0);
    for (View* child : rootView()->subviews())
        EXPECT_EQ(child->findChild<PopoverTouchView*>(), nullptr);
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 1);

    // The Done button of a popup left open underneath closes it as well.
    QPointer<SimplePopupViewController> under
        = owner.show(QSizeF(400, 300), QPointF(0, 0), /*parented*/ false);
    QPointer<SimplePopupViewController> over
        = owner.show(QSizeF(300, 200), QPointF(50, 100), /*parented*/ false);
    pressDone(over);
    pressDone(under);
    flush();
    EXPECT_TRUE(under.isNull());
    EXPECT_TRUE(over.isNull());
    EXPECT_EQ(owner.closed.size(), 4);
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 2);

    // One still shown when the window goes goes with it.
    QPointer<SimplePopupViewController> left
        = owner.show(QSizeF(400, 300), QPointF(0, 0), /*parented*/ false);
    close();
    EXPECT_TRUE(left.isNull());
}

TEST_F(Popups, AResizeLaysItOutAgain)
{
    PopupOwner owner;
    SimplePopupViewController* popup = owner.show(QSizeF(400, 300), QPointF(0, 0));
    Application::shared().keyWindow()->setFrame(QRectF(0, 0, 800, 600));
    flush();
    EXPECT_EQ(popup->view()->frame(), QRectF(0, 0, 800, 600));
    EXPECT_EQ(popup->containerView()->frame(), QRectF(200, 150, 400, 300));
    popup->dismissPopoverAnimated(false);
}

TEST_F(Popups, WithoutAWindowItClosesAtOnce)
{
    close();
    PopupOwner owner;
    SimplePopupViewController* popup = owner.show(QSizeF(400, 300), QPointF(0, 0));
    EXPECT_FALSE(popup->isPresented());
    EXPECT_EQ(owner.closed.size(), 1);
}

TEST_F(Popups, AContentControllerThatLivesOnKeepsItsView)
{
    auto* content = new ViewController(navigation);
    View* view = content->view();
    auto* popup = new SimplePopupViewController(content, QSizeF(300, 300), navigation);
    popup->presentPopoverFromPoint(QPointF(0, 0));
    EXPECT_TRUE(view->isDescendantOfView(popup->view()));
    popup->dismissPopoverAnimated(false);
    delete popup;
    EXPECT_EQ(content->view(), view);
    auto* again = new SimplePopupViewController(content, QSizeF(300, 300), navigation);
    again->presentPopoverFromPoint(QPointF(0, 0));
    EXPECT_TRUE(view->isVisible());
    again->dismissPopoverAnimated(false);
}
