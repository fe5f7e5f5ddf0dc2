#include "grid/BaseViewController.h"

#include "TestControllers.h"
#include "bridge/iCloud.h"
#include "bridge/iCloudDocumentService.h"
#include "common/TestSupport.h"
#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/DetailFormProtocol.h"
#include "grid/DetailFormRegistry.h"
#include "grid/Parent.h"
#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/ScreenServices.h"
#include "widgets/PopoverController.h"
#include "widgets/ProgressHUD.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>

using platform::ui::AlertView;
using platform::ui::Device;
using platform::ui::NavigationController;

namespace {

// A detail form as the form engine makes one: it notes what it was given, and when.
class TestForm : public BaseViewController, public DetailFormProtocol {
    Q_OBJECT
public:
    void loadData(const QVariant& record) override
    {
        loaded << record;
        callerAtLoad = callingViewController();
        auto* caller = qobject_cast<BaseViewController*>(callingViewController());
        lastDetailAtLoad = caller && caller->dataController()
            ? caller->dataController()->lastDetailViewController()
            : nullptr;
    }
    QSizeF popupContentSize() const override { return { 600, 450 }; }

    QVariantList loaded;
    QPointer<platform::ui::ViewController> callerAtLoad;
    QPointer<platform::ui::ViewController> lastDetailAtLoad;
};

// Where the form class was asked to work, and how to fail.
struct FormLog {
    QThread* builtOn = nullptr;
    QThread* madeOn = nullptr;
    QString title;
    bool failBuild = false;
    bool failMake = false;
    bool makeNothing = false;
    QPointer<TestForm> form;
};
FormLog* formLog = nullptr;

void registerTestForm()
{
    DetailFormRegistry::registerForm("TestForm",
        { [](const QString& title) -> std::shared_ptr<QObject> {
             formLog->builtOn = QThread::currentThread();
             formLog->title = title;
             if (formLog->failBuild)
                 throw platform::Exception("TestException", "The form could not be built.");
             auto root = std::make_shared<QObject>();
             root->setObjectName(title);
             return root;
         },
            [](const std::shared_ptr<QObject>& root) -> BaseViewController* {
                formLog->madeOn = QThread::currentThread();
                if (formLog->failMake)
                    throw platform::Exception("TestException", "No screen for the form.");
                if (formLog->makeNothing)
                    return nullptr;
                auto* form = new TestForm();
                form->setTitle(root ? root->objectName() : QString());
                formLog->form = form;
                return form;
            } });
}

// A screen that counts its orientation changes.
class CountingScreen : public BaseViewController {
    Q_OBJECT
public:
    void orientationChanged() override
    {
        ++changes;
        BaseViewController::orientationChanged();
    }
    int changes = 0;
};

// Records by id: each child knows its id; "CHILD" has no buttons.
class Records : public ScreenServices {
public:
    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        asked << screenId;
        links << std::dynamic_pointer_cast<Parent>(parent);
        auto record = std::make_shared<BridgeScreenData>();
        record->id = screenId;
        record->title = screenId;
        record->dataController = "gridtest::RecordingController";
        return record;
    }
    QStringList asked;
    QList<std::shared_ptr<Parent>> links;
};

struct BaseScreens : ::testing::Test {
    KivoAppDelegate delegate;
    FormLog log;
    std::unique_ptr<NavigationController> navigation;
    std::shared_ptr<BridgeScreenData> record = std::make_shared<BridgeScreenData>();
    Records* records = nullptr;

    void SetUp() override
    {
        formLog = &log;
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        ClassRegistry::registerClass<gridtest::RecordingController>();
        registerTestForm();
        auto services = std::make_unique<Records>();
        records = services.get();
        ScreenServices::install(std::move(services));
        record->id = "SCREEN";
        record->title = "Screen";
        record->childscreen = "CHILD";
        record->toSegue = "Menu";
        record->dataController = "gridtest::RecordingController";
        record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 1, 2 }));
    }

    void TearDown() override
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(10);
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DetailFormRegistry::unregisterForm("TestForm");
        platform::ui::Storyboard::main().clear();
        EXPECT_TRUE(Device::current().selectModel("tablet"));
        formLog = nullptr;
    }

    template<class Screen = BaseViewController> Screen* show(const QString& device = "tablet")
    {
        EXPECT_TRUE(Device::current().selectModel(device));
        auto* screen = new Screen();
        screen->setScreen(record);
        navigation = std::make_unique<NavigationController>();
        navigation->pushViewController(screen, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        testsupport::processEvents(10);
        return screen;
    }

    static QStringList alertMessages()
    {
        testsupport::processEvents(20);
        QStringList messages;
        for (AlertView* alert : AlertView::visibleAlerts())
            messages << alert->title() + ": " + alert->message();
        return messages;
    }

    // Closes the alerts on screen and waits until they have gone.
    static void dismissAlerts()
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        EXPECT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().isEmpty(); }));
    }

    static bool overlayShown(BaseViewController* screen)
    {
        return ProgressHUD::HUDForView(screen->view()) != nullptr;
    }
};

} // namespace

TEST_F(BaseScreens, TheRecordMakesTheDataControllerAndTheToolbars)
{
    record->topButtonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    auto* screen = show();
    ASSERT_NE(screen->dataController(), nullptr);
    EXPECT_TRUE(screen->dataController()->inherits("gridtest::RecordingController"));
    EXPECT_EQ(screen->dataController()->viewController(), screen);
    ASSERT_NE(screen->toptoolBar(), nullptr);
    EXPECT_FALSE(navigation->isToolbarHidden());
    // Two buttons with a space between, then the flexible space.
    EXPECT_EQ(screen->toolbarItems().size(), 4);
    EXPECT_FALSE(screen->navigationItem()->rightBarButtonItems().isEmpty());

    // A record naming no known class: no data controller, an empty bar, no top bar.
    record = std::make_shared<BridgeScreenData>();
    record->dataController = "NoSuchController";
    auto* bare = show();
    EXPECT_EQ(bare->dataController(), nullptr);
    EXPECT_EQ(bare->toptoolBar(), nullptr);
    EXPECT_TRUE(navigation->isToolbarHidden());
}

TEST_F(BaseScreens, ToolbarsComeBackAtEveryAppearance)
{
    auto* screen = show();
    EXPECT_FALSE(navigation->isToolbarHidden());
    const auto items = screen->toolbarItems();

    // A child without buttons hides the bar; going back shows this screen's bar again.
    auto* child = new BaseViewController();
    auto childRecord = std::make_shared<BridgeScreenData>();
    childRecord->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({}));
    child->setScreen(childRecord);
    navigation->pushViewController(child, false);
    testsupport::processEvents(10);
    EXPECT_TRUE(navigation->isToolbarHidden());
    navigation->popViewController(false);
    testsupport::processEvents(10);
    EXPECT_FALSE(navigation->isToolbarHidden());
    EXPECT_EQ(screen->toolbarItems(), items);

    // Back from the file preview, the bar comes a little later.
    navigation->setToolbarHidden(true);
    screen->setPopFromKivoPreview(true);
    screen->customViewWillAppear();
    EXPECT_TRUE(navigation->isToolbarHidden());
    EXPECT_FALSE(screen->popFromKivoPreview());
    EXPECT_TRUE(testsupport::waitUntil([&] { return !navigation->isToolbarHidden(); }, 2000));
}

TEST_F(BaseScreens, ASegueHandsTheChildItsBreadcrumbAndRecord)
{
    auto& storyboard = platform::ui::Storyboard::main();
    storyboard.registerController("Child", [] { return new BaseViewController(); });
    storyboard.registerSegue("Menu", "Child");
    auto upper = std::make_shared<Parent>();
    auto* screen = show();
    screen->setParentLink(upper);

    screen->performSegueWithIdentifier("Menu", screen);
    testsupport::processEvents(10);
    auto* child = qobject_cast<BaseViewController*>(navigation->topViewController());
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child, screen);
    EXPECT_EQ(child->callingViewController(), screen);
    ASSERT_NE(child->screen(), nullptr);
    EXPECT_EQ(child->screen()->id, "CHILD");
    const auto link = child->parentLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->screen.lock(), record);
    EXPECT_EQ(link->parent.lock(), upper);
    EXPECT_EQ(link->dataController.lock(), screen->dataController());
    EXPECT_FALSE(link->data.isValid());
    // The factory was asked with that same link.
    EXPECT_EQ(records->links.last(), link);
}

TEST_F(BaseScreens, TwoStartsAndOneCompletionLeaveTheOverlayUp)
{
    auto* screen = show();
    screen->showHud();
    screen->showHud();
    testsupport::processEvents(10);
    EXPECT_EQ(screen->hudCount(), 2u);
    EXPECT_TRUE(overlayShown(screen));
    EXPECT_NE(screen->HUD(), nullptr);
    EXPECT_FALSE(navigation->navigationBar()->isUserInteractionEnabled());
    EXPECT_FALSE(navigation->toolbar()->isUserInteractionEnabled());

    screen->hideHud();
    testsupport::processEvents(10);
    EXPECT_EQ(screen->hudCount(), 1u);
    EXPECT_TRUE(overlayShown(screen));

    screen->hideHud();
    testsupport::processEvents(50);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));
    EXPECT_EQ(screen->HUD(), nullptr);
    EXPECT_TRUE(navigation->navigationBar()->isUserInteractionEnabled());
    EXPECT_TRUE(navigation->toolbar()->isUserInteractionEnabled());

    // One completion too many keeps the count at 0 and shows nothing.
    screen->hideHud();
    testsupport::processEvents(10);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));
    EXPECT_TRUE(alertMessages().isEmpty());
}

TEST_F(BaseScreens, ForceHideTakesTheOverlayDownFromAnyCount)
{
    auto* screen = show();
    for (int i = 0; i < 3; ++i)
        screen->showHud();
    screen->forceHideHud();
    testsupport::processEvents(50);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));

    // At 0 it does nothing.
    screen->forceHideHud();
    testsupport::processEvents(10);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));
}

TEST_F(BaseScreens, StartsAndCompletionsFromFourThreadsEndAtZeroWithoutOverlay)
{
    auto* screen = show();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([screen] {
            for (int i = 0; i < 200; ++i) {
                screen->requestStarted();
                if (i % 3 == 0)
                    std::this_thread::yield();
                screen->requestCompleted();
            }
        });
    for (auto& thread : threads)
        thread.join();
    testsupport::processEvents(100);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));
    EXPECT_TRUE(navigation->navigationBar()->isUserInteractionEnabled());
}

TEST_F(BaseScreens, TheOverlayStartsOnAScreenWhoseViewIsNotLoadedYet)
{
    // A start that hangs the main thread would never return: end the run instead.
    std::atomic<bool> finished { false };
    std::thread watchdog([&finished] {
        for (int i = 0; i < 300 && !finished; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!finished) {
            std::fputs("the overlay start hung\n", stderr);
            std::abort();
        }
    });
    auto* screen = show();
    auto* fresh = new BaseViewController();
    fresh->setScreen(record);
    ASSERT_FALSE(fresh->isViewLoaded());
    fresh->requestStarted();
    testsupport::processEvents(20);
    finished = true;
    watchdog.join();
    EXPECT_TRUE(fresh->isViewLoaded());
    EXPECT_EQ(fresh->hudCount(), 1u);
    EXPECT_TRUE(overlayShown(fresh));
    fresh->requestCompleted();
    testsupport::processEvents(20);
    EXPECT_EQ(fresh->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(fresh));
    delete fresh;
    EXPECT_EQ(screen->hudCount(), 0u);
}

TEST_F(BaseScreens, AnErrorInTheResponseIsShownAfterTheCountWentDown)
{
    auto* screen = show();
    screen->requestStarted();
    screen->requestCompleted(platform::Error::withDescription("Bridge", 7, "Server is down."));
    EXPECT_EQ(alertMessages(), QStringList { "Error: Server is down." });
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_FALSE(overlayShown(screen));
}

TEST_F(BaseScreens, ADetailFormIsBuiltOffTheMainThreadAndMadeOnIt)
{
    auto* screen = show("phone");
    auto controller = screen->dataController();
    const QVariant row = QVariant::fromValue(QStringLiteral("row 1"));
    screen->ShowDetail(row, "TestForm", "Title");
    ASSERT_TRUE(testsupport::waitUntil([&] { return navigation->topViewController() != screen; }));
    EXPECT_NE(log.builtOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(log.madeOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(log.title, "Title");
    ASSERT_TRUE(log.form);
    EXPECT_EQ(navigation->topViewController(), log.form);
    // The caller and the data controller knew the form before it loaded its record.
    EXPECT_EQ(log.form->loaded, QVariantList { row });
    EXPECT_EQ(log.form->callerAtLoad, screen);
    EXPECT_EQ(log.form->lastDetailAtLoad, log.form);
    EXPECT_EQ(controller->lastDetailViewController(), log.form);
    EXPECT_EQ(screen->popupController(), nullptr);
}

TEST_F(BaseScreens, OnATabletTheFormOpensInAPopoverFromTheTopCentreUnlessPushed)
{
    auto* screen = show("tablet");
    screen->ShowDetail({}, "TestForm", {});
    ASSERT_TRUE(testsupport::waitUntil([&] { return screen->popupController() != nullptr; }));
    PopoverController* popover = screen->popupController();
    EXPECT_EQ(popover->contentViewController(), log.form);
    EXPECT_EQ(popover->origin(), QPointF(screen->view()->center().x(), 20));
    EXPECT_EQ(popover->arrowDirection(), 16u);
    EXPECT_TRUE(popover->doneButton());
    EXPECT_EQ(popover->contentSize(), QSizeF(600, 450));
    // No row: the form loads nothing.
    EXPECT_TRUE(log.form->loaded.isEmpty());
    EXPECT_EQ(navigation->topViewController(), screen);

    screen->ShowDetail(QVariant(1), "TestForm", {}, true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return navigation->topViewController() != screen; }));
    EXPECT_EQ(navigation->topViewController(), log.form);
}

TEST_F(BaseScreens, AFailedBuildShowsTheExceptionAndNoForm)
{
    auto* screen = show("phone");
    log.failBuild = true;
    screen->ShowDetail(QVariant(1), "TestForm", {});
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(alertMessages(), QStringList { "Error: The form could not be built." });
    EXPECT_EQ(log.madeOn, nullptr);
    EXPECT_EQ(navigation->topViewController(), screen);

    dismissAlerts();
    log.failBuild = false;
    log.failMake = true;
    screen->ShowDetail(QVariant(1), "TestForm", {});
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(alertMessages(), QStringList { "Error: No screen for the form." });
    EXPECT_EQ(navigation->topViewController(), screen);
    EXPECT_EQ(screen->dataController()->lastDetailViewController(), nullptr);

    // A class that makes no form says so too, in an alert a person sees.
    dismissAlerts();
    log.failMake = false;
    log.makeNothing = true;
    screen->ShowDetail(QVariant(1), "TestForm", {});
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(alertMessages(),
        QStringList { QStringLiteral("Error: The form \u201cTestForm\u201d could not be made.") });
    EXPECT_EQ(navigation->topViewController(), screen);
    testsupport::processEvents(30);
    EXPECT_TRUE(AlertView::visibleAlerts().first()->isVisible());
    const QImage shot = platform::ui::Application::shared().keyWindow()->snapshot();
    EXPECT_TRUE(shot.save(testsupport::outputPath("detail-form-failed-phone.png")));

    // A class nobody registered is said so at once.
    dismissAlerts();
    screen->ShowDetail(QVariant(1), "NoSuchForm", {});
    EXPECT_EQ(alertMessages().size(), 1);
}

TEST_F(BaseScreens, FaceUpAndFaceDownChangeNothing)
{
    auto* screen = show<CountingScreen>("tablet");
    const int before = screen->orientation();
    EXPECT_EQ(before, int(Device::current().orientation()));
    for (int turned : { 0, 5, 6, before })
        platform::NotificationCenter::defaultCenter().post(Device::OrientationDidChangeNotification,
            nullptr, { { OrietnationViewController::DeviceOrientationKey, turned } });
    testsupport::processEvents(10);
    EXPECT_EQ(screen->changes, 0);
    EXPECT_EQ(screen->orientation(), before);

    Device::current().setOrientation(platform::ui::Orientation::Portrait);
    testsupport::processEvents(10);
    EXPECT_EQ(screen->changes, 1);
    EXPECT_EQ(screen->orientation(), int(platform::ui::Orientation::Portrait));
    EXPECT_TRUE(screen->isPortrait());
}

TEST_F(BaseScreens, TheStatusBarFollowsTheBarColourAndTheSetting)
{
    auto* screen = show("tablet");
    Theme* style = Theme::current();
    style->settoolbarColor(Color::colorWithRed(0.95, 0.95, 0.95));
    EXPECT_EQ(screen->preferredStatusBarStyle(), Device::StatusBarStyle::Default);
    style->settoolbarColor(Color::colorWithRed(0.1, 0.2, 0.5));
    EXPECT_EQ(screen->preferredStatusBarStyle(), Device::StatusBarStyle::LightContent);
    // Exactly 0.8 still counts as dark.
    style->settoolbarColor(Color::colorWithWhite(0.8));
    EXPECT_EQ(screen->preferredStatusBarStyle(), Device::StatusBarStyle::LightContent);

    delegate.currentPreferences()->setStatusbar(false);
    EXPECT_TRUE(screen->prefersStatusBarHidden());
    delegate.currentPreferences()->setStatusbar(true);
    EXPECT_FALSE(screen->prefersStatusBarHidden());
}

TEST_F(BaseScreens, ALocalSaveWritesTheWholeFileAndSaysSo)
{
    auto* screen = show();
    const QString path = testsupport::homePath() + "/export.csv";
    screen->saveFile(path, "a,b\n1,2\n", false, true, nullptr);
    testsupport::processEvents(20);
    const auto alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->title(), "Information");
    EXPECT_EQ(alerts.first()->message(), "Successfully Saved.");
    EXPECT_EQ(alerts.first()->tag(), BaseViewController::SavedLocallyTag);
    EXPECT_EQ(alerts.first()->buttonTitleAtIndex(0), "Close");
    EXPECT_EQ(alerts.first()->buttonTitleAtIndex(1), "Open");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "a,b\n1,2\n");
    // Nothing is left beside it.
    EXPECT_EQ(QDir(testsupport::homePath()).entryList({ "export*" }, QDir::Files).size(), 1);

    dismissAlerts();
    screen->saveFile(path, "x", false, false, nullptr);
    EXPECT_EQ(alertMessages(), QStringList { "Information: Successfully Saved." });
}

TEST_F(BaseScreens, AFailedLocalSaveShowsItsErrorAndNoSuccess)
{
    auto* screen = show();
    const QString home = testsupport::homePath();
    // A missing folder, a folder nothing can be written to, an empty name.
    screen->saveFile(home + "/missing/export.csv", "data", false, true, nullptr);
    QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith("Error: The folder")) << messages.first().toStdString();
    dismissAlerts();

    screen->saveFile("/proc/export.csv", "data", false, true, nullptr);
    messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith("Error: The file \u201cexport.csv\u201d"))
        << messages.first().toStdString();
    dismissAlerts();

    screen->saveFile("  ", "data", false, true, nullptr);
    EXPECT_EQ(alertMessages(), QStringList { "Error: Invalid File Name." });
    dismissAlerts();

    // A full disk: the write stops part way; the earlier file stays whole.
    const QString path = home + "/report.pdf";
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    screen->saveFile(path, QByteArray(64 * 1024, 'x'), false, true, nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith("Error: The file \u201creport.pdf\u201d"))
        << messages.first().toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "earlier");
    EXPECT_EQ(QDir(home).entryList({ "report*" }, QDir::Files).size(), 1);
}

TEST_F(BaseScreens, ACloudSaveCallsBackFirstThenSaysSo)
{
    qputenv("KIVOTAB_CLOUD", (testsupport::homePath() + "/cloud").toUtf8());
    iCloudDocumentService::install();
    auto* screen = show();
    QStringList steps;
    screen->saveFile("chart.png", "png", true, [&](const platform::Error& error) {
        steps << (error ? "failed" : "saved");
        steps << QString::number(AlertView::visibleAlerts().size());
    });
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(steps, (QStringList { "saved", "0" }));
    const auto alerts = AlertView::visibleAlerts();
    EXPECT_EQ(alerts.first()->tag(), BaseViewController::SavedToCloudTag);
    EXPECT_EQ(alerts.first()->delegate(), screen->dataController().get());
    QFile saved(testsupport::homePath() + "/cloud/Documents/chart.png");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "png");
    alerts.first()->dismissWithClickedButtonIndex(0, false);

    // An empty name is an error, and no success follows.
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().isEmpty(); }));
    steps.clear();
    screen->saveFile("", "png", true,
        [&](const platform::Error& error) { steps << (error ? "failed" : "saved"); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return !steps.isEmpty(); }));
    EXPECT_EQ(steps, QStringList { "failed" });
    const QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith("Error:"));
    qunsetenv("KIVOTAB_CLOUD");
}

TEST_F(BaseScreens, OnePopoverAtATimeAndEachClosedOneIsForgotten)
{
    auto* screen = show();
    auto* anchor = new platform::ui::View(QRectF(100, 100, 40, 40), screen->view());
    screen->showPopupController(
        new platform::ui::ViewController(), { 200, 100 }, 16, anchor, false);
    QPointer<PopoverController> first = screen->popupController();
    ASSERT_TRUE(first);
    screen->showPopupController(
        new platform::ui::ViewController(), { 200, 100 }, 16, nullptr, false);
    testsupport::processEvents(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    QPointer<PopoverController> second = screen->popupController();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);

    screen->showSimplePopupcontroller(
        new platform::ui::ViewController(), { 300, 200 }, { 0, 0 }, true);
    ASSERT_NE(screen->simplepopupController(), nullptr);
    screen->dismissPopup();
    testsupport::processEvents(20);
    EXPECT_EQ(screen->popupController(), nullptr);
    EXPECT_EQ(screen->simplepopupController(), nullptr);
}

// A screen popped (the stack taken back to its root when what it showed is gone) takes
// its popover and its popups with it: a form left up would save into nothing.
TEST_F(BaseScreens, APopoverAndThePopupsGoWithTheirScreen)
{
    show();
    auto* child = new BaseViewController();
    child->setScreen(record);
    navigation->pushViewController(child, false);
    testsupport::processEvents(10);
    QPointer<platform::ui::ViewController> form = new platform::ui::ViewController();
    child->showPopupController(form, { 200, 100 }, 16, nullptr, false);
    QPointer<PopoverController> popover = child->popupController();
    child->showSimplePopupcontroller(
        new platform::ui::ViewController(), { 300, 200 }, { 0, 0 }, true);
    QPointer<SimplePopupViewController> popup = child->simplepopupController();
    ASSERT_TRUE(popover && popup && form);

    navigation->popToRootViewController(false);
    testsupport::processEvents(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testsupport::processEvents(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(popover);
    EXPECT_FALSE(popup);
    EXPECT_FALSE(form);
}

TEST_F(BaseScreens, PopToAScreenOfTheBreadcrumb)
{
    auto& storyboard = platform::ui::Storyboard::main();
    storyboard.registerController("Child", [] { return new BaseViewController(); });
    storyboard.registerSegue("Menu", "Child");
    auto* screen = show();
    screen->performSegueWithIdentifier("Menu", screen);
    auto* child = qobject_cast<BaseViewController*>(navigation->topViewController());
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(screen->disappearedOnPop());
    child->screen()->childscreen = "GRANDCHILD";
    child->performSegueWithIdentifier("Menu", child);
    auto* grandchild = qobject_cast<BaseViewController*>(navigation->topViewController());
    ASSERT_EQ(navigation->viewControllers().size(), 3);

    // The nearest link names the child's own screen: back to it.
    grandchild->poptoscreen("CHILD");
    EXPECT_EQ(navigation->topViewController(), child);
    child->poptoscreen("SCREEN");
    EXPECT_EQ(navigation->topViewController(), screen);
}

#include "BaseViewControllerTest.moc"
