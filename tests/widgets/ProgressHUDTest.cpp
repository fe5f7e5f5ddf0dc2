#include "widgets/ProgressHUD.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/Progress.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationController.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "widgets/HUDBackgroundView.h"
#include "widgets/HUDBarProgressView.h"
#include "widgets/HUDRoundProgressView.h"
#include "widgets/ProgressHUDDelegate.h"
#include "widgets/ProgressHUDRoundedButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <gtest/gtest.h>

#include <atomic>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

struct Listener : ProgressHUDDelegate {
    int hidden = 0;
    void hudWasHidden(ProgressHUD*) override { ++hidden; }
};

// A screen with rows and a button under the overlay.
struct Overlay : ::testing::Test {
    KivoAppDelegate delegate;
    NavigationController* navigation = nullptr;
    ViewController* screen = nullptr;
    Button* below = nullptr;
    int belowTaps = 0;

    void SetUp() override { open("tablet"); }
    void open(const QString& device)
    {
        ASSERT_TRUE(Device::current().selectModel(device));
        Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        navigation = new NavigationController();
        screen = new ViewController();
        screen->setTitle("Inventory");
        navigation->pushViewController(screen, false);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
        View* content = screen->view();
        content->setBackgroundColor(QColor(239, 239, 244));
        const double width = content->bounds().width();
        const QStringList rows
            = { "Kitchen inventory", "Garden tools", "Workshop", "Pantry", "Wine cellar" };
        for (int i = 0; i < rows.size(); ++i) {
            auto* row = new Label(QRectF(0, 1 + i * 45, width, 44), content);
            row->setAutoresizingMask(AutoresizingFlexibleWidth);
            row->setBackgroundColor(Qt::white);
            row->setText("    " + rows[i]);
            row->setFont(Font::named("HelveticaNeue", 16));
        }
        below = new Button(QRectF(0, 0, width, 44), content);
        below->addTarget([this](Control*) { ++belowTaps; }, ControlEventTouchUpInside);
    }
    void close()
    {
        Application::shared().reset();
        delete navigation;
        navigation = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void TearDown() override
    {
        close();
        Animation::setInstant(false);
        EXPECT_TRUE(Device::current().selectModel("tablet"));
    }
    View* view() { return screen->view(); }
};

std::string failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Exception& exception) {
        return (exception.name() + ": " + exception.reason()).toStdString();
    }
    return "no failure";
}

} // namespace

TEST_F(Overlay, ShowAndHideWithinTheGraceTimeShowNothingAndCompleteOnce)
{
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    QPointer<ProgressHUD> watch = hud;
    Listener listener;
    int completions = 0;
    hud->setDelegate(&listener);
    hud->setCompletionBlock([&] { ++completions; });
    hud->setGraceTime(0.3);
    hud->showAnimated(true);

    QElapsedTimer clock;
    clock.start();
    bool everVisible = false;
    auto sample = [&] {
        if (watch)
            everVisible |= watch->alpha() > 0 || watch->bezelView()->alpha() > 0;
    };
    while (clock.elapsed() < 100) {
        testsupport::processEvents(5);
        sample();
    }
    hud->hideAnimated(true);
    // Well past the grace time: the grace timer must not show it after all.
    while (clock.elapsed() < 700) {
        testsupport::processEvents(5);
        sample();
    }
    EXPECT_FALSE(everVisible);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(listener.hidden, 1);
    ASSERT_TRUE(watch);
    EXPECT_TRUE(watch->hasFinished());
    EXPECT_EQ(ProgressHUD::HUDForView(view()), nullptr);
}

TEST_F(Overlay, AHideSoonAfterShowingWaitsForTheMinimumShowTime)
{
    QElapsedTimer sinceShown;
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    sinceShown.start();
    QPointer<ProgressHUD> watch = hud;
    hud->setMinShowTime(1.0);
    qint64 doneAt = -1;
    hud->setCompletionBlock([&] { doneAt = sinceShown.elapsed(); });
    EXPECT_EQ(hud->alpha(), 1.0);
    EXPECT_EQ(hud->bezelView()->alpha(), 1.0);
    testsupport::processEvents(200);

    const qint64 hiddenAt = sinceShown.elapsed();
    hud->hideAnimated(false);
    EXPECT_EQ(doneAt, -1);
    EXPECT_EQ(hud->alpha(), 1.0); // still up
    ASSERT_TRUE(testsupport::waitUntil([&] { return doneAt >= 0; }, 3000));
    // The rest of the second after the hide, about 0.8 seconds: never less, a little
    // more on a busy machine.
    EXPECT_GE(doneAt, 990);
    EXPECT_LE(doneAt - hiddenAt, 1000 - hiddenAt + 250);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull()); // removed from the view once hidden
}

TEST_F(Overlay, AShowDuringTheMinimumShowWaitKeepsItUp)
{
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    QPointer<ProgressHUD> watch = hud;
    hud->setMinShowTime(0.3);
    hud->hideAnimated(false);
    EXPECT_TRUE(hud->hasFinished());
    hud->showAnimated(false);
    EXPECT_FALSE(hud->hasFinished());
    testsupport::processEvents(500);
    ASSERT_TRUE(watch);
    EXPECT_EQ(watch->alpha(), 1.0);
    EXPECT_EQ(ProgressHUD::HUDForView(view()), watch.data());
}

TEST_F(Overlay, TheLastOverlayAddedHidesFirst)
{
    QPointer<ProgressHUD> first = ProgressHUD::showHUDAddedTo(view(), false);
    QPointer<ProgressHUD> second = ProgressHUD::showHUDAddedTo(view(), false);
    EXPECT_EQ(ProgressHUD::HUDForView(view()), second.data());

    EXPECT_TRUE(ProgressHUD::hideHUDForView(view(), false));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->alpha(), 1.0);
    EXPECT_EQ(ProgressHUD::HUDForView(view()), first.data());

    EXPECT_TRUE(ProgressHUD::hideHUDForView(view(), false));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(ProgressHUD::hideHUDForView(view(), false));
    EXPECT_EQ(ProgressHUD::HUDForView(nullptr), nullptr);
}

TEST_F(Overlay, AnOverlayAlreadyHidingIsSkipped)
{
    QPointer<ProgressHUD> first = ProgressHUD::showHUDAddedTo(view(), false);
    QPointer<ProgressHUD> second = ProgressHUD::showHUDAddedTo(view(), false);
    second->setMinShowTime(5.0);
    EXPECT_TRUE(ProgressHUD::hideHUDForView(view(), false)); // waits its minimum time
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(second->alpha(), 1.0);
    EXPECT_EQ(ProgressHUD::HUDForView(view()), first.data());
}

TEST_F(Overlay, TextOnlyBezelHoldsTheLabelBetweenTheSpacersAlone)
{
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    hud->setMode(ProgressHUD::Text);
    hud->label()->setText("Saved");
    hud->showAnimated(false);
    hud->layoutIfNeeded();
    EXPECT_EQ(hud->indicator(), nullptr);
    const QSizeF text = Font::measure("Saved", hud->label()->font());
    const QRectF bezel = hud->bezelView()->frame();
    EXPECT_EQ(bezel.height(), text.height() + 2 * 20);
    EXPECT_EQ(bezel.width(), text.width() + 2 * 20);
    EXPECT_EQ(hud->label()->frame().top(), 20);
    // Centred in the overlay.
    EXPECT_NEAR(bezel.center().x(), hud->bounds().center().x(), 0.5);
    EXPECT_NEAR(bezel.center().y(), hud->bounds().center().y(), 0.5);

    // A details text and a button with an action each come 4 points below the view above.
    hud->detailsLabel()->setText("12 of 40 rows");
    hud->button()->setTitle("Cancel");
    hud->button()->addTarget([](Control*) {}, ControlEventTouchUpInside);
    hud->setNeedsLayout();
    hud->layoutIfNeeded();
    const QRectF label = hud->label()->frame();
    const QRectF details = hud->detailsLabel()->frame();
    const QRectF button = hud->button()->frame();
    EXPECT_EQ(details.top(), label.bottom() + 4);
    EXPECT_EQ(button.top(), details.bottom() + 4);
    EXPECT_EQ(hud->bezelView()->frame().height(), button.bottom() + 20);
}

TEST_F(Overlay, IndicatorAboveTheLabelAndTheSizeRules)
{
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    hud->setMode(ProgressHUD::Determinate);
    hud->label()->setText("Loading");
    hud->layoutIfNeeded();
    const QRectF indicator = hud->indicator()->frame();
    EXPECT_EQ(indicator.size(), QSizeF(37, 37));
    EXPECT_EQ(indicator.top(), 20);
    EXPECT_EQ(hud->label()->frame().top(), indicator.bottom() + 4);

    // The least size and the square rule grow the bezel; the spacers share the room.
    hud->setMinSize(QSizeF(200, 100));
    hud->layoutIfNeeded();
    EXPECT_EQ(hud->bezelView()->frame().size(), QSizeF(200, 100));
    hud->setSquare(true);
    hud->layoutIfNeeded();
    EXPECT_EQ(hud->bezelView()->frame().size(), QSizeF(200, 200));
    const double stack = 37 + 4 + hud->label()->frame().height();
    EXPECT_NEAR(hud->indicator()->frame().top(), (200 - stack) / 2, 0.5);

    // The centring gives way to the margins.
    hud->setOffset(QPointF(5000, 0));
    hud->layoutIfNeeded();
    EXPECT_EQ(hud->bezelView()->frame().right(), hud->bounds().width() - 20);
}

TEST_F(Overlay, SwitchingBetweenRingModesKeepsTheRoundView)
{
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    EXPECT_NE(qobject_cast<ActivityIndicatorView*>(hud->indicator()), nullptr);
    hud->setProgress(0.4f);
    hud->setMode(ProgressHUD::Determinate);
    QPointer<HUDRoundProgressView> round = qobject_cast<HUDRoundProgressView*>(hud->indicator());
    ASSERT_TRUE(round);
    EXPECT_FALSE(round->isAnnular());
    EXPECT_EQ(round->progress(), 0.4f);
    hud->setMode(ProgressHUD::AnnularDeterminate);
    EXPECT_EQ(hud->indicator(), round.data());
    EXPECT_TRUE(round->isAnnular());
    hud->setMode(ProgressHUD::Determinate);
    EXPECT_EQ(hud->indicator(), round.data());
    EXPECT_FALSE(round->isAnnular());
    hud->setProgress(0.7f);
    EXPECT_EQ(round->progress(), 0.7f);

    hud->setMode(ProgressHUD::DeterminateHorizontalBar);
    auto* bar = qobject_cast<HUDBarProgressView*>(hud->indicator());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->progress(), 0.7f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(round.isNull());

    // A custom view is kept while another mode shows.
    auto* custom = new View(QRectF(0, 0, 30, 30));
    QPointer<View> watch = custom;
    hud->setCustomView(custom);
    hud->setMode(ProgressHUD::CustomView);
    EXPECT_EQ(hud->indicator(), custom);
    hud->setMode(ProgressHUD::Text);
    EXPECT_EQ(hud->indicator(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(watch);
    hud->setMode(ProgressHUD::CustomView);
    EXPECT_EQ(hud->indicator(), custom);
    EXPECT_EQ(custom->superview(), hud->bezelView());
}

TEST_F(Overlay, ACustomViewAnotherViewOwnsGoesBackToItInsteadOfBeingDeleted)
{
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    auto* owner = new View(QRectF(0, 0, 60, 60), view());
    auto* owned = new View(QRectF(0, 0, 30, 30), owner);
    QPointer<View> watch = owned;
    const auto settle = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); };

    // Shown, then replaced.
    hud->setMode(ProgressHUD::CustomView);
    hud->setCustomView(owned);
    EXPECT_EQ(hud->indicator(), owned);
    auto* adopted = new View(QRectF(0, 0, 20, 20));
    QPointer<View> adoptedWatch = adopted;
    hud->setCustomView(adopted);
    settle();
    ASSERT_TRUE(watch);
    EXPECT_EQ(owned->parentWidget(), owner);
    EXPECT_FALSE(owned->isHidden());
    EXPECT_EQ(hud->indicator(), adopted);

    // Replaced while another mode shows.
    hud->setMode(ProgressHUD::Text);
    hud->setCustomView(owned);
    hud->setCustomView(nullptr);
    settle();
    ASSERT_TRUE(watch);
    EXPECT_EQ(owned->parentWidget(), owner);
    // A view the overlay took without an owner is its to delete.
    EXPECT_TRUE(adoptedWatch.isNull());

    // Taken down with the overlay.
    hud->setCustomView(owned);
    hud->setMode(ProgressHUD::CustomView);
    EXPECT_EQ(owned->superview(), hud->bezelView());
    delete hud;
    settle();
    ASSERT_TRUE(watch);
    EXPECT_EQ(owned->parentWidget(), owner);
}

TEST_F(Overlay, AColourSetForIndicatorsInsideOverlaysWinsOverTheContentColour)
{
    auto& proxy = ProgressHUD::appearance();
    proxy.roundProgressTintColor = Qt::green;
    proxy.activityIndicatorColor = Qt::yellow;
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    hud->setContentColor(Qt::red);
    EXPECT_EQ(qobject_cast<ActivityIndicatorView*>(hud->indicator())->color(), QColor(Qt::yellow));
    EXPECT_EQ(hud->label()->textColor(), QColor(Qt::red));
    EXPECT_EQ(hud->button()->titleColorForState(ControlStateNormal), QColor(Qt::red));

    hud->setMode(ProgressHUD::Determinate);
    auto* round = qobject_cast<HUDRoundProgressView*>(hud->indicator());
    EXPECT_EQ(round->progressTintColor(), QColor(Qt::green));
    QColor faint(Qt::red);
    faint.setAlphaF(0.1f);
    EXPECT_EQ(round->backgroundTintColor(), faint);

    hud->setMode(ProgressHUD::DeterminateHorizontalBar);
    auto* bar = qobject_cast<HUDBarProgressView*>(hud->indicator());
    EXPECT_EQ(bar->progressColor(), QColor(Qt::red));
    EXPECT_EQ(bar->lineColor(), QColor(Qt::red));
    EXPECT_EQ(bar->progressRemainingColor(), QColor(Qt::transparent));
}

TEST_F(Overlay, MisuseRaisesWithTheFixedMessages)
{
    EXPECT_EQ(failureOf([] { ProgressHUD hud(nullptr); }),
        "NSInternalInconsistencyException: View must not be nil.");
    auto* hud = new ProgressHUD(view());
    view()->addSubview(hud);
    std::string fromShow;
    std::string fromHide;
    platform::dispatch::asyncGlobal([&] {
        fromShow = failureOf([&] { hud->showAnimated(true); });
        fromHide = failureOf([&] { hud->hideAnimated(true); });
    });
    platform::dispatch::waitForGlobal();
    const std::string expected
        = "NSInternalInconsistencyException: ProgressHUD needs to be accessed on the main thread.";
    EXPECT_EQ(fromShow, expected);
    EXPECT_EQ(fromHide, expected);
    EXPECT_EQ(hud->alpha(), 0.0);
}

TEST_F(Overlay, ProgressFollowsItsProgressObjectWhileShown)
{
    auto job = std::make_shared<platform::Progress>(10);
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    hud->setMode(ProgressHUD::AnnularDeterminate);
    hud->setProgressObject(job);
    job->setCompletedUnitCount(5);
    ASSERT_TRUE(testsupport::waitUntil([&] { return hud->progress() == 0.5f; }, 2000));
    EXPECT_EQ(qobject_cast<HUDRoundProgressView*>(hud->indicator())->progress(), 0.5f);
    hud->setRemoveFromSuperViewOnHide(false);
    hud->hideAnimated(false);
    job->setCompletedUnitCount(9);
    testsupport::processEvents(100);
    EXPECT_EQ(hud->progress(), 0.5f); // no longer followed once hidden
}

TEST_F(Overlay, DelayedHideAndShowingAgainCancelsIt)
{
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    hud->setRemoveFromSuperViewOnHide(false);
    hud->hideAnimated(false, 0.1);
    hud->showAnimated(false);
    testsupport::processEvents(300);
    EXPECT_FALSE(hud->hasFinished());
    EXPECT_EQ(hud->alpha(), 1.0);
    hud->hideAnimated(false, 0.1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return hud->alpha() == 0.0; }, 2000));
}

TEST_F(Overlay, WhileShownTouchesDoNotReachTheScreenBelow)
{
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 1);
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 1);
    hud->hideAnimated(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    GestureSynthesizer::tap(below);
    EXPECT_EQ(belowTaps, 2);
}

TEST_F(Overlay, FollowsItsViewsSize)
{
    ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
    EXPECT_EQ(hud->frame(), view()->bounds());
    Application::shared().keyWindow()->setFrame(QRectF(0, 0, 700, 600));
    testsupport::processEvents(20);
    EXPECT_EQ(hud->frame(), view()->bounds());
    hud->layoutIfNeeded();
    EXPECT_NEAR(hud->bezelView()->frame().center().x(), view()->bounds().center().x(), 0.5);
}

// The overlay as the screens show it (indicator in the style's image colour, no panel),
// and the bar and ring on the default panel with texts, on a tablet and a phone.
TEST_F(Overlay, Screenshots)
{
    for (const QString device : { "tablet", "phone" }) {
        close();
        open(device);
        for (int mode : { 0, 2, 1 }) {
            ProgressHUD* hud = ProgressHUD::showHUDAddedTo(view(), false);
            if (mode == 0) {
                hud->setContentColor(Theme::current()->imageColor().toQColor());
                hud->bezelView()->setColor(Qt::transparent);
                hud->bezelView()->setStyle(HUDBackgroundView::SolidColor);
            } else {
                hud->setMode(mode);
                hud->setProgress(0.62f);
                hud->label()->setText(mode == 2 ? "Exporting" : "Restoring");
                hud->detailsLabel()->setText(mode == 2 ? "25 of 40 rows" : "Kitchen inventory");
            }
            hud->layoutIfNeeded();
            testsupport::processEvents(20);
            const QString name = QStringLiteral("progress-overlay-%1-%2.png")
                                     .arg(mode == 0      ? "indeterminate"
                                             : mode == 2 ? "bar"
                                                         : "round")
                                     .arg(device);
            EXPECT_TRUE(
                Application::shared().keyWindow()->snapshot().save(testsupport::outputPath(name)));
            hud->hideAnimated(false);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}
