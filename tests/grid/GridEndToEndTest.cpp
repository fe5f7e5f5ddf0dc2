#include "GridScreenFixture.h"

#include "grid/DetailFormProtocol.h"
#include "grid/DetailFormRegistry.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "style/ThemeButton.h"
#include "widgets/MenuItem.h"
#include "widgets/PopoverController.h"
#include "widgets/ProgressHUD.h"
#include "widgets/VerticalMenuViewController.h"

#include <QPointer>

#include <atomic>
#include <thread>
#include <vector>

using gridtest::GridScreens;
using testsupport::GestureSynthesizer;

namespace {

// A small detail form: the item's name in a field under its caption.
class ItemEditForm : public BaseViewController, public DetailFormProtocol {
    Q_OBJECT
public:
    ItemEditForm() { setTitle(QStringLiteral("Item - Edit")); }
    void loadData(const QVariant& record) override
    {
        loaded = record;
        const auto item = RowObject::record<GridData>(record);
        view();
        name->setText(item ? item->Menu : QString());
    }
    QSizeF popupContentSize() const override { return { 420, 220 }; }
    void viewDidLoad() override
    {
        BaseViewController::viewDidLoad();
        // Sized for the popover's content, which is the form's size less its margins.
        auto* row = new platform::ui::View(QRectF(0, 20, 400, 44), view());
        row->setBackgroundColor(Qt::white);
        auto* caption = new platform::ui::Label(QRectF(15, 0, 100, 44), row);
        caption->setText(QStringLiteral("Name"));
        name = new platform::ui::TextField(QRectF(120, 7, 265, 30), row);
    }

    QVariant loaded;
    QPointer<platform::ui::TextField> name;
};

QPointer<ItemEditForm> shownForm;

struct EndToEnd : GridScreens, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        GridScreens::SetUp();
        DetailFormRegistry::registerForm("ItemEditForm",
            { [](const QString&) { return std::make_shared<QObject>(); },
                [](const std::shared_ptr<QObject>&) -> BaseViewController* {
                    shownForm = new ItemEditForm();
                    return shownForm;
                } });
        records->makers["SCREEN_BRIDGE"] = [] {
            auto record = itemsRecord("SCREEN_BRIDGE");
            record->title = "Home";
            record->childscreen = "SCREEN_ROWS";
            return record;
        };
        records->makers["SCREEN_ROWS"] = [] {
            auto record = itemsRecord("SCREEN_ROWS");
            record->title = "Rows";
            record->disclosure = false;
            record->detailViewController = "ItemEditForm";
            record->buttonBits
                = std::make_shared<BitManager>(BitManager::createButtonVector({ 7, 30 }));
            return record;
        };
    }

    void TearDown() override
    {
        DetailFormRegistry::unregisterForm("ItemEditForm");
        GridScreens::TearDown();
    }

    MainCollectionViewController* openRoot()
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(GetParam()));
        navigation.reset(MainCollectionViewController::createRootNavigation());
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return top();
    }

    MainCollectionViewController* top() const
    {
        return qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    }

    static int overlaysOn(BaseViewController* screen)
    {
        int count = 0;
        for (QObject* child : screen->view()->children())
            count += qobject_cast<ProgressHUD*>(child) ? 1 : 0;
        return count;
    }
};

TEST_P(EndToEnd, RootThenChildThenEditFromTheMenuThenBackToTheRoot)
{
    const bool tablet = QString::fromLatin1(GetParam()) == "tablet";
    MainCollectionViewController* root = openRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->screen()->id, "SCREEN_BRIDGE");

    GestureSynthesizer::tap(tileView(root, 3, 2000));
    settle();
    MainCollectionViewController* rows = top();
    ASSERT_NE(rows, root);
    EXPECT_EQ(rows->screen()->id, "SCREEN_ROWS");
    GestureSynthesizer::tap(cell(rows, 2));
    settle();
    ASSERT_EQ(rows->selectedRow(), 2);

    GestureSynthesizer::tap(rows->viewForButton(30));
    settle();
    ASSERT_NE(rows->popupController(), nullptr);
    auto* menu = qobject_cast<VerticalMenuViewController*>(
        rows->popupController()->contentViewController());
    ASSERT_NE(menu, nullptr);
    GestureSynthesizer::tap(menu->menuItems().at(1)->view());
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownForm != nullptr; }));
    settle(60);
    ASSERT_TRUE(shownForm);
    EXPECT_EQ(RowObject::record<GridData>(shownForm->loaded)->Menu, "Item 2");
    EXPECT_EQ(items(rows)->lastClickedButton(), 2u);

    const int rollbacksBefore = delegate.rollbacks;
    if (tablet) {
        PopoverController* popover = rows->popupController();
        ASSERT_NE(popover, nullptr);
        EXPECT_EQ(popover->contentViewController(), shownForm.data());
        EXPECT_TRUE(popover->doneButton());
        EXPECT_EQ(navigation->topViewController(), rows);
        EXPECT_TRUE(saveShot("grid-form-popover-tablet.png"));
        // Done throws the edit away.
        ASSERT_NE(popover->closeButton(), nullptr);
        GestureSynthesizer::tap(popover->closeButton());
        settle();
        EXPECT_EQ(delegate.rollbacks, rollbacksBefore + 1);
        EXPECT_EQ(rows->popupController(), nullptr);
    } else {
        EXPECT_EQ(navigation->topViewController(), shownForm.data());
        EXPECT_EQ(rows->popupController(), nullptr);
        navigation->popViewController(false);
        settle();
    }

    navigation->popViewController(false);
    settle();
    EXPECT_EQ(top(), root);
    EXPECT_EQ(root->selectedRow(), 3);
}

TEST_P(EndToEnd, NestedRequestsFromSeveralThreadsKeepOneOverlayUpUntilTheLastEnds)
{
    MainCollectionViewController* root = openRoot();
    ASSERT_NE(root, nullptr);
    constexpr int threads = 4;
    std::atomic<int> released { 0 };
    std::atomic<int> started { 0 };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            root->requestStarted();
            // A nested request inside the outer one.
            root->requestStarted();
            root->requestCompleted();
            ++started;
            while (released.load() <= t)
                std::this_thread::yield();
            root->requestCompleted();
        });
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return started.load() == threads && root->hudCount() == quint64(threads); }));
    settle();
    EXPECT_EQ(overlaysOn(root), 1);
    ProgressHUD* overlay = ProgressHUD::HUDForView(root->view());
    ASSERT_NE(overlay, nullptr);

    for (int t = 0; t < threads - 1; ++t) {
        released = t + 1;
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return root->hudCount() == quint64(threads - t - 1); }));
        settle();
        EXPECT_EQ(overlaysOn(root), 1) << t;
        EXPECT_EQ(ProgressHUD::HUDForView(root->view()), overlay);
    }
    released = threads;
    for (auto& worker : workers)
        worker.join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return root->hudCount() == 0; }));
    ASSERT_TRUE(testsupport::waitUntil([&] { return overlaysOn(root) == 0; }));
    EXPECT_EQ(root->HUD() ? ProgressHUD::HUDForView(root->view()) : nullptr, nullptr);
}

TEST_P(EndToEnd, ScreenshotsOfTheOverlayOverAGrid)
{
    MainCollectionViewController* root = openRoot();
    ASSERT_NE(root, nullptr);
    root->showHud();
    ASSERT_TRUE(testsupport::waitUntil([&] { return root->HUD() != nullptr; }));
    settle(60);
    ProgressHUD* overlay = root->HUD();
    const QString device = QString::fromLatin1(GetParam());
    EXPECT_TRUE(saveShot(QStringLiteral("grid-overlay-indeterminate-%1.png").arg(device)));
    overlay->setMode(ProgressHUD::DeterminateHorizontalBar);
    overlay->setProgress(0.6f);
    EXPECT_TRUE(saveShot(QStringLiteral("grid-overlay-bar-%1.png").arg(device)));
    overlay->setMode(ProgressHUD::AnnularDeterminate);
    overlay->setProgress(0.35f);
    EXPECT_TRUE(saveShot(QStringLiteral("grid-overlay-round-%1.png").arg(device)));
    root->hideHud();
    ASSERT_TRUE(testsupport::waitUntil([&] { return overlaysOn(root) == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Devices, EndToEnd, ::testing::Values("tablet", "phone"));

} // namespace

#include "GridEndToEndTest.moc"
