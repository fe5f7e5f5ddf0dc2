#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "style/Theme.h"
#include "style/ThemeButton.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverControllerDelegate.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/PopoverView.h"

#include <QPointer>
#include <QTest>
#include <QWheelEvent>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

struct Owner : QObject, PopoverControllerDelegate {
    QStringList calls;
    QList<QPointer<PopoverController>> told;
    void popoverControllerDidDismissPopover(PopoverController* controller) override
    {
        calls << "dismissed";
        told << controller;
    }
    void presentedNewPopoverController(
        PopoverController* newController, PopoverController* visible) override
    {
        calls << "new";
        told << newController << visible;
    }
    void closebuttonClicked(PopoverController*) override { calls << "close"; }
};

// Content that notes its appearance calls.
struct Content : ViewController {
    QStringList calls;
    void viewWillAppear(bool) override { calls << "willAppear"; }
    void viewDidAppear(bool) override { calls << "didAppear"; }
    void viewWillDisappear(bool) override { calls << "willDisappear"; }
};

struct Popovers : ScreenFixture {
    // An anchor in the root view.
    View* anchorAt(const QRectF& frame)
    {
        auto* anchor = new View(frame, rootView());
        anchor->setBackgroundColor(Qt::red);
        return anchor;
    }
};

} // namespace

TEST(PopoverView, LaysOutTitleAndContentByDirection)
{
    PopoverView panel(QRectF(0, 0, 300, 200));
    auto* content = new View(QRectF(0, 0, 50, 50));
    panel.addContentView(content);
    struct Row {
        unsigned direction;
        QRectF title;
        QRectF titled;
        QRectF untitled;
    };
    const QList<Row> table = {
        { 1, { 10, 30, 280, 20 }, { 10, 60, 280, 130 }, { 10, 30, 280, 160 } },
        { 2, { 10, 10, 280, 20 }, { 10, 40, 280, 130 }, { 10, 10, 280, 160 } },
        { 4, { 10, 10, 280, 20 }, { 30, 40, 260, 150 }, { 30, 10, 260, 180 } },
        { 8, { 10, 10, 280, 20 }, { 10, 40, 260, 150 }, { 10, 10, 260, 180 } },
        { 16, { 10, 10, 280, 20 }, { 10, 40, 280, 150 }, { 10, 10, 280, 180 } },
    };
    for (const Row& row : table) {
        panel.setArrowDirection(row.direction);
        panel.setTitle("Settings");
        EXPECT_EQ(panel.titleLabel()->frame(), row.title) << row.direction;
        EXPECT_EQ(content->frame(), row.titled) << row.direction;
        EXPECT_EQ(panel.titleLabel()->text(), "Settings");
        panel.setTitle(QString());
        EXPECT_EQ(content->frame(), row.untitled) << row.direction;
        EXPECT_EQ(panel.titleLabel()->text(), "");
    }
    // Any other direction leaves both where they are.
    panel.setArrowDirection(16);
    panel.setTitle("Settings");
    panel.setArrowDirection(3);
    panel.setFrame(QRectF(0, 0, 400, 300));
    EXPECT_EQ(content->frame(), QRectF(10, 40, 280, 150));
}

TEST(PopoverView, OutlineKeepsTheArrowOffTheCorners)
{
    PopoverView panel(QRectF(0, 0, 200, 100));
    panel.setRelativeOrigin(QPointF(100, 0));
    const QPainterPath up = panel.newContentPathWithBorderWidth(2, 1);
    EXPECT_TRUE(up.contains(QPointF(100, 8))); // the arrow's tip region
    EXPECT_FALSE(up.contains(QPointF(60, 8)));
    EXPECT_TRUE(up.contains(QPointF(100, 60)));
    // An origin at the very left moves the arrow right of the corner.
    panel.setRelativeOrigin(QPointF(0, 0));
    const QPainterPath left = panel.newContentPathWithBorderWidth(2, 1);
    EXPECT_FALSE(left.contains(QPointF(5, 15)));
    EXPECT_TRUE(left.contains(QPointF(22, 18)));
    // Without border the body is inset by 10 whatever width is asked for.
    panel.setBorder(false);
    const QPainterPath plain = panel.newContentPathWithBorderWidth(2, 16);
    EXPECT_FALSE(plain.contains(QPointF(5, 50)));
    EXPECT_TRUE(plain.contains(QPointF(12, 50)));
}

TEST_F(Popovers, TheTouchViewTellsPressesInsideThePanelFromPressesOutside)
{
    auto* touch = new PopoverTouchView(rootView()->bounds(), rootView());
    auto* panel = new View(QRectF(100, 100, 200, 150), touch);
    auto* label = new Label(QRectF(10, 10, 100, 30), panel); // takes no presses itself
    label->setText("Name");
    auto* button = new Button(QRectF(10, 60, 100, 30), panel);
    int buttonTaps = 0;
    button->addTarget([&](Control*) { ++buttonTaps; }, ControlEventTouchUpInside);
    QStringList seen;
    touch->setTouchedOutsideBlock([&] { seen << "outside"; });
    touch->setTouchedInsideBlock([&] { seen << "inside"; });

    GestureSynthesizer::tap(label);
    GestureSynthesizer::tap(button);
    GestureSynthesizer::tap(panel, QPointF(150, 120));
    EXPECT_EQ(seen, QStringList({ "inside", "inside", "inside" }));
    EXPECT_EQ(buttonTaps, 1);
    GestureSynthesizer::tap(touch, QPointF(600, 500));
    GestureSynthesizer::tap(below);
    EXPECT_EQ(seen.mid(3), QStringList({ "outside", "outside" }));
    EXPECT_EQ(belowTaps, 0);

    // A panel fading in takes no presses yet; its frame still counts as inside.
    panel->setUserInteractionEnabled(false);
    GestureSynthesizer::tap(panel);
    EXPECT_EQ(seen.last(), "inside");
    // Wheel steps reach neither block nor the screen below.
    QWheelEvent wheel(QPointF(600, 500), touch->mapToGlobal(QPointF(600, 500)), QPoint(),
        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(touch, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(seen.size(), 6);
    delete touch;
}

TEST_F(Popovers, FrameAndDirectionForEachPermittedSet)
{
    Device::current().setStatusBarHidden(true);
    ASSERT_EQ(rootView()->bounds().size(), QSizeF(1024, 768));
    struct Case {
        QRectF anchor;
        unsigned set;
        unsigned direction;
        QRectF frame;
    };
    // Anchor at (100, 500): more room above than below, more to the right than left.
    // Anchor at (900, 100): more room below than above, more to the left than right.
    const QList<Case> cases = {
        { { 100, 500, 40, 30 }, 15, 4, { 140, 365, 200, 300 } },
        { { 100, 500, 40, 30 }, 1, 2, { 20, 200, 200, 300 } },
        { { 100, 500, 40, 30 }, 2, 2, { 20, 200, 200, 300 } },
        { { 100, 500, 40, 30 }, 19, 2, { 20, 200, 200, 300 } },
        { { 100, 500, 40, 30 }, 16, 16, { 20, 200, 200, 300 } },
        { { 100, 500, 40, 30 }, 4, 4, { 140, 365, 200, 300 } },
        { { 100, 500, 40, 30 }, 8, 8, { 0, 365, 200, 300 } },
        { { 100, 500, 40, 30 }, 12, 4, { 140, 365, 200, 300 } },
        { { 900, 100, 40, 30 }, 15, 8, { 700, 0, 200, 265 } },
        { { 900, 100, 40, 30 }, 19, 1, { 820, 130, 200, 300 } },
        { { 900, 100, 40, 30 }, 12, 8, { 700, 0, 200, 265 } },
        { { 900, 100, 40, 30 }, 4, 4, { 824, 0, 200, 265 } },
    };
    for (const Case& c : cases) {
        Owner owner;
        auto* popover = new PopoverController(new ViewController(), &owner, false, &owner);
        popover->setContentSize(QSizeF(200, 300));
        popover->setArrowDirection(c.set);
        View* anchor = anchorAt(c.anchor);
        popover->presentPopoverFromView(anchor);
        EXPECT_EQ(popover->contentView()->arrowDirection(), c.direction) << c.set;
        EXPECT_EQ(popover->contentView()->frame(), c.frame) << c.set;
        EXPECT_EQ(popover->origin(), c.anchor.center()) << c.set;
        EXPECT_EQ(popover->contentView()->relativeOrigin(), c.anchor.center() - c.frame.topLeft())
            << c.set;
        popover->dismissPopoverAnimated(false);
        delete anchor;
    }
}

TEST_F(Popovers, ThePanelStartsTwentyPointsLowerUnderTheStatusBar)
{
    Device::current().setStatusBarHidden(false);
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, false, &owner);
    popover->setContentSize(QSizeF(300, 200));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    // From the top centre, as the screens show forms.
    popover->presentPopoverFromPoint(QPointF(512, 20));
    EXPECT_EQ(popover->contentView()->frame(), QRectF(362, 40, 300, 200));
    popover->dismissPopoverAnimated(false);

    View* anchor = anchorAt(QRectF(500, 0, 24, 10));
    popover->presentPopoverFromView(anchor);
    EXPECT_EQ(popover->contentView()->frame().top(), 30);
    popover->dismissPopoverAnimated(false);

    Device::current().setStatusBarHidden(true);
    popover->presentPopoverFromView(anchor);
    EXPECT_EQ(popover->contentView()->frame().top(), 10);
    popover->dismissPopoverAnimated(false);
}

TEST_F(Popovers, APanelWiderThanTheWindowIsPinnedToItsLeftEdgeAndNarrowed)
{
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, true, &owner);
    popover->setContentSize(QSizeF(1200, 300));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->presentPopoverFromPoint(QPointF(512, 100));
    const QRectF frame = popover->contentView()->frame();
    EXPECT_EQ(frame, QRectF(0, 100, 1024, 300));
    // So its Close button stays on screen.
    const QRectF button = popover->closeButton()->convertRectToView(
        popover->closeButton()->bounds(), Application::shared().keyWindow());
    EXPECT_GE(button.left(), 0);
    popover->dismissPopoverAnimated(false);

    // On a phone, a form meant for a tablet.
    close();
    open("phone");
    Owner phoneOwner;
    auto* onPhone = new PopoverController(new ViewController(), &phoneOwner, true, &phoneOwner);
    onPhone->setContentSize(QSizeF(500, 400));
    onPhone->setArrowDirection(PopoverArrowDirectionNone);
    onPhone->presentPopoverFromPoint(QPointF(187, 100));
    EXPECT_EQ(onPhone->contentView()->frame(), QRectF(0, 100, 375, 400));
    onPhone->dismissPopoverAnimated(false);
}

TEST_F(Popovers, AnOutsideTouchClosesThePopoverAndReachesNothingBelow)
{
    Owner owner;
    auto* content = new Content();
    QPointer<PopoverController> popover = new PopoverController(content, &owner, false);
    popover->setContentSize(QSizeF(300, 200));
    popover->presentPopoverFromPoint(QPointF(512, 300));
    EXPECT_EQ(content->calls, QStringList({ "willAppear", "didAppear" }));

    // Inside the panel: it stays.
    GestureSynthesizer::tap(popover->contentView());
    flush();
    ASSERT_TRUE(popover);
    EXPECT_TRUE(popover->isPresented());

    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return popover.isNull(); }));
    EXPECT_EQ(owner.calls, QStringList({ "dismissed" }));
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 1);
}

TEST_F(Popovers, WithACloseButtonAnOutsideTouchDoesNothingAndReachesNothingBelow)
{
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, true, &owner);
    popover->setContentSize(QSizeF(300, 200));
    popover->presentPopoverFromPoint(QPointF(512, 300));
    ASSERT_NE(popover->closeButton(), nullptr);
    EXPECT_EQ(popover->closeButton()->currentTitle(), "Close");
    EXPECT_EQ(popover->closeButton()->frame().topLeft(), QPointF(10, 7));
    EXPECT_EQ(popover->closeButton()->frame().height(), 25);

    GestureSynthesizer::tap(below);
    GestureSynthesizer::tap(rootView(), QPointF(5, 400));
    flush();
    EXPECT_EQ(belowTaps, 0);
    EXPECT_TRUE(popover->isPresented());
    EXPECT_TRUE(owner.calls.isEmpty());

    GestureSynthesizer::tap(popover->closeButton());
    flush();
    EXPECT_EQ(owner.calls, QStringList({ "close", "dismissed" }));
    EXPECT_FALSE(popover->isPresented());
    EXPECT_EQ(popover->view()->parentWidget(), nullptr);
}

// Escape is a touch outside, which a Close button's popover ignores; one set to close on
// Escape presses its Close button.
TEST_F(Popovers, WithACloseButtonEscapeClosesOnlyAPopoverSetToCloseOnIt)
{
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, true, &owner);
    popover->setContentSize(QSizeF(300, 200));
    popover->presentPopoverFromPoint(QPointF(512, 300));
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    flush();
    EXPECT_TRUE(popover->isPresented());
    EXPECT_TRUE(owner.calls.isEmpty());

    popover->setClosesOnEscape(true);
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    flush();
    EXPECT_FALSE(popover->isPresented());
    EXPECT_EQ(owner.calls, QStringList({ "close", "dismissed" }));
}

TEST_F(Popovers, EachPresentationPostsTheNotificationAndTheFirstStays)
{
    int posts = 0;
    const void* sender = nullptr;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        PopoverController::NewPopoverPresented, nullptr,
        [&](const platform::Notification& notification) {
            ++posts;
            sender = notification.object;
        });
    Owner owner;
    auto* first = new PopoverController(new ViewController(), &owner, true, &owner);
    first->presentPopoverFromPoint(QPointF(200, 200));
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(sender, first);
    auto* second = new PopoverController(new ViewController(), true, &owner);
    second->presentPopoverFromPoint(QPointF(600, 200));
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(sender, second);
    EXPECT_EQ(owner.calls, QStringList({ "new" }));
    EXPECT_EQ(owner.told, (QList<QPointer<PopoverController>> { second, first }));
    EXPECT_TRUE(first->isPresented());
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(Popovers, WithoutBorderTheTitleIsClearedAndTheContentFillsTheTop)
{
    Owner owner;
    auto* content = new ViewController();
    content->setTitle("Settings");
    auto* popover = new PopoverController(content, &owner, false, &owner);
    EXPECT_EQ(popover->title(), "Settings");
    popover->setBorder(false);
    popover->setContentSize(QSizeF(300, 200));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->presentPopoverFromPoint(QPointF(512, 300));
    EXPECT_EQ(content->title(), "");
    EXPECT_EQ(popover->title(), "");
    EXPECT_EQ(popover->contentView()->titleLabel()->text(), "");
    EXPECT_EQ(content->view()->frame(), QRectF(10, 10, 280, 180));
    EXPECT_TRUE(content->view()->clipsToBounds());
    EXPECT_EQ(content->view()->layer()->cornerRadius(), 10);
}

TEST_F(Popovers, TheTitleFollowsTheContentUntilThePopoverGoes)
{
    auto* content = new ViewController(navigation);
    content->setTitle("Fields");
    auto* popover = new PopoverController(content, true);
    content->setTitle("Columns");
    EXPECT_EQ(popover->contentView()->titleLabel()->text(), "Columns");
    delete popover;
    content->setTitle("Tables"); // nobody is told any more
    EXPECT_EQ(content->title(), "Tables");
}

TEST_F(Popovers, AlertsStayAboveAndTheShadowReachesOutsideThePanel)
{
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, true, &owner);
    popover->setContentSize(QSizeF(400, 300));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->presentPopoverFromPoint(QPointF(512, 200));
    Window* window = Application::shared().keyWindow();
    EXPECT_EQ(popover->view()->parentWidget(), window->rootView());

    // The shadow falls left and below, outside the panel's frame: the rows there are
    // darker than the same rows further away.
    const QRectF panel
        = popover->contentView()->convertRectToView(popover->contentView()->bounds(), window);
    const QImage shot = window->snapshot();
    const int y = int(panel.center().y());
    EXPECT_LT(shot.pixelColor(int(panel.left()) - 1, y).lightness(),
        shot.pixelColor(int(panel.left()) - 40, y).lightness() - 10);
    const int x = int(panel.center().x());
    EXPECT_LT(shot.pixelColor(x, int(panel.bottom()) + 2).lightness(),
        shot.pixelColor(x, int(panel.bottom()) + 40).lightness() - 10);

    auto* alert = new AlertView("Delete", "Delete the row?", nullptr, "Cancel", { "Delete" });
    alert->show();
    testsupport::processEvents(10);
    const QPoint middle = alert->mapTo(window, alert->rect().center());
    QWidget* hit = window->childAt(middle);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(alert == hit || alert->isAncestorOf(hit));
    alert->dismissWithClickedButtonIndex(0, false);
    flush();
}

TEST_F(Popovers, ANavigationControllerWorksAsContent)
{
    Owner owner;
    auto* first = new Content();
    first->setTitle("Fields");
    auto* stack = new NavigationController(first);
    auto* popover = new PopoverController(stack, &owner, true, &owner);
    popover->setContentSize(QSizeF(400, 400));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->presentPopoverFromPoint(QPointF(512, 200));
    EXPECT_EQ(stack->navigationBar()->frame().top(), 0);
    EXPECT_EQ(first->calls, QStringList({ "willAppear", "didAppear" }));
    EXPECT_TRUE(first->view()->isVisible());

    auto* second = new Content();
    second->setTitle("Field");
    stack->pushViewController(second, false);
    flush();
    EXPECT_EQ(stack->topViewController(), second);
    EXPECT_TRUE(second->view()->isVisible());
    EXPECT_TRUE(second->view()->isDescendantOfView(popover->contentView()));
    EXPECT_EQ(second->calls, QStringList({ "willAppear", "didAppear" }));
    stack->popViewController(false);
    flush();
    EXPECT_EQ(stack->topViewController(), first);

    popover->dismissPopoverAnimated(false);
    EXPECT_TRUE(first->calls.contains("willDisappear"));
}

TEST_F(Popovers, AWindowResizeLaysThePanelOutAgain)
{
    Owner owner;
    // An anchor at the right edge that keeps its distance to it.
    View* anchor = anchorAt(QRectF(900, 700, 40, 30));
    anchor->setAutoresizingMask(AutoresizingFlexibleLeftMargin | AutoresizingFlexibleTopMargin);
    auto* popover = new PopoverController(new ViewController(), &owner, false, &owner);
    popover->setContentSize(QSizeF(200, 300));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->presentPopoverFromView(anchor);
    EXPECT_EQ(popover->contentView()->frame(), QRectF(820, 400, 200, 300));

    Application::shared().keyWindow()->setFrame(QRectF(0, 0, 800, 600));
    flush();
    EXPECT_EQ(popover->view()->frame(), QRectF(0, 0, 800, 600));
    EXPECT_EQ(anchor->frame(), QRectF(676, 532, 40, 30));
    EXPECT_EQ(popover->contentView()->frame(), QRectF(596, 232, 200, 300));
    popover->dismissPopoverAnimated(false);
}

TEST_F(Popovers, WithoutAWindowThePopoverClosesAtOnce)
{
    close();
    Owner owner;
    auto* popover = new PopoverController(new ViewController(), &owner, false, &owner);
    popover->presentPopoverFromPoint(QPointF(10, 10));
    EXPECT_EQ(owner.calls, QStringList({ "dismissed" }));
    EXPECT_FALSE(popover->isPresented());
    EXPECT_EQ(popover->view()->frame().size(), QSizeF(0, 0));
    EXPECT_EQ(popover->touchView()->frame().size(), QSizeF(0, 0));
}

TEST_F(Popovers, APopoverWithoutParentIsReleasedOnceDismissedAndOneWithAParentStays)
{
    Owner owner;
    QPointer<PopoverController> loose = new PopoverController(new ViewController(), &owner, false);
    QPointer<PopoverController> kept
        = new PopoverController(new ViewController(), &owner, false, &owner);
    loose->presentPopoverFromPoint(QPointF(100, 100));
    kept->presentPopoverFromPoint(QPointF(100, 100));
    loose->dismissPopoverAnimated(true);
    kept->dismissPopoverAnimated(true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return owner.calls.count("dismissed") == 2; }));
    flush();
    EXPECT_TRUE(loose.isNull());
    ASSERT_FALSE(kept.isNull());
    // Shown again, and closed again.
    kept->presentPopoverFromPoint(QPointF(100, 100));
    EXPECT_TRUE(kept->isPresented());
    EXPECT_EQ(kept->contentView()->alpha(), 1.0);
    kept->dismissPopoverAnimated(false);
    EXPECT_EQ(owner.calls.count("dismissed"), 3);

    // One still shown when the window goes goes with it.
    QPointer<PopoverController> left = new PopoverController(new ViewController(), false);
    left->presentPopoverFromPoint(QPointF(100, 100));
    close();
    EXPECT_TRUE(left.isNull());
}

// A form-like content in a popover, as detail forms show on a tablet: no arrow, from the
// top centre, with a border, a Close button and the grey body.
TEST_F(Popovers, ScreenshotOfAFormInAPopover)
{
    for (const QString device : { "tablet", "phone" }) {
        close();
        open(device);
        auto* form = new ViewController();
        form->setTitle("Item - Edit");
        const double width = device == "tablet" ? 460 : 315;
        View* body = form->view();
        body->setFrame(QRectF(0, 0, width, 250));
        body->setBackgroundColor(QColor(239, 239, 244));
        const QStringList fields = { "Name", "Quantity", "Location", "Notes" };
        const QStringList values = { "Chef's knife", "2", "Kitchen drawer", "" };
        for (int i = 0; i < fields.size(); ++i) {
            auto* row = new View(QRectF(0, 20 + i * 45, width, 44), body);
            row->setAutoresizingMask(AutoresizingFlexibleWidth);
            row->setBackgroundColor(Qt::white);
            auto* label = new Label(QRectF(15, 0, 100, 44), row);
            label->setText(fields[i]);
            label->setFont(Font::named("HelveticaNeue-Bold", 15));
            auto* field = new TextField(QRectF(120, 7, width - 135, 30), row);
            field->setAutoresizingMask(AutoresizingFlexibleWidth);
            field->setText(values[i]);
            field->setPlaceholder("Required");
        }
        Owner owner;
        auto* popover = new PopoverController(form, &owner, true, &owner);
        popover->setBorder(true);
        popover->setContentSize(QSizeF(width + 20, 300));
        popover->setArrowDirection(PopoverArrowDirectionNone);
        popover->setTint(2);
        const QRectF screen = rootView()->bounds();
        popover->presentPopoverFromPoint(QPointF(screen.center().x(), 20));
        EXPECT_TRUE(save(QStringLiteral("popover-form-%1.png").arg(device)));
        popover->dismissPopoverAnimated(false);
    }
}

TEST_F(Popovers, ATitleSitsWhollyOnTheStrip)
{
    const QColor strip
        = Theme::current() ? Theme::current()->toolbarColor().toQColor() : QColor(247, 247, 247);
    for (unsigned direction : { unsigned(PopoverArrowDirectionUp),
             unsigned(PopoverArrowDirectionNone), unsigned(PopoverArrowDirectionLeft) }) {
        SCOPED_TRACE(direction);
        Owner owner;
        auto* content = new ViewController();
        content->setTitle("Notes");
        auto* popover = new PopoverController(content, &owner, false, &owner);
        popover->setContentSize(QSizeF(300, 200));
        popover->setArrowDirection(direction);
        popover->presentPopoverFromView(anchorAt(QRectF(300, 100, 40, 40)));
        testsupport::processEvents(5);
        PopoverView* panel = popover->contentView();
        const QImage shot = panel->grab().toImage();
        const QRectF title = panel->titleLabel()->frame();
        const qreal scale = shot.devicePixelRatio();
        // Right of the text, below the title's middle and between title and content.
        for (const double y : { title.center().y() + 4, title.bottom() - 1, title.bottom() + 5 })
            EXPECT_EQ(shot.pixelColor(int((title.right() - 4) * scale), int(y * scale)), strip)
                << "at y " << y;
        popover->dismissPopoverAnimated(false);
        testsupport::processEvents(5);
    }
}
