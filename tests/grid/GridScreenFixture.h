#pragma once

#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/GridData.h"
#include "grid/MainCollectionViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/TableDataController.h"
#include "platform/Exception.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/ScreenServices.h"

#include <QCoreApplication>
#include <QHash>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace gridtest {

// A data controller over named items kept in memory in a stored order, as the application's
// controllers keep theirs in the store: a load builds the rows from that order (the same
// row objects each time), a removal drops the selected item, and, when asked to, the new
// order of a drag is stored.
class ItemsController : public TableDataController {
    Q_OBJECT
public:
    ItemsController()
        : names(seed)
        , image(seedImage)
    {
    }

    void loadData(const std::shared_ptr<Parent>& link) override
    {
        ++loads;
        links << link;
        if (duringLoad)
            duringLoad();
        if (failLoad)
            throw platform::Exception("TestException", "The rows could not be read.");
        QVariantList made;
        for (const QString& name : std::as_const(names)) {
            auto& item = items[name];
            if (!item)
                item = std::make_shared<GridData>(name, seedIcons.value(name, image));
            made << RowObject::fromRecord(item);
        }
        setRows(made);
    }
    qint8 tilesButtons() override { return buttons; }
    bool respondsToItemsReorderd() const override { return storesOrder; }
    void itemsReorderd() override
    {
        names.clear();
        for (const QVariant& row : rows())
            names << RowObject::record<GridData>(row)->Menu;
        orders.clear();
        for (int i = 0; i < names.size(); ++i)
            orders[names[i]] = i;
        ++reorders;
    }
    void searchData(const QString& text) override { filterRows(text, getMenuSearchBlock(text)); }
    bool deleteRow() override
    {
        GridScreenProtocol* grid = mainGridViewController();
        const auto item = RowObject::record<GridData>(getRowData(grid->selectedRow()));
        if (!item)
            return false;
        names.removeAll(item->Menu);
        return true;
    }
    void addRow() override
    {
        names << QStringLiteral("Item %1").arg(names.size());
        refreshView();
    }
    void tapOnItem(qint64 index) override
    {
        TableDataController::tapOnItem(index);
        taps << index;
    }
    void prefetchRows(qint64 first, qint64 count) override
    {
        prefetched << qMakePair(first, count);
    }

    // The names and the image a new controller starts with.
    static inline QStringList seed;
    static inline QString seedImage;
    static inline QHash<QString, QString> seedIcons;

    QStringList names;
    QString image;
    qint8 buttons = 0;
    bool storesOrder = false;
    bool failLoad = false;
    std::function<void()> duringLoad;
    int loads = 0;
    int reorders = 0;
    QHash<QString, int> orders;
    QList<std::shared_ptr<Parent>> links;
    QList<qint64> taps;
    QList<QPair<qint64, qint64>> prefetched;
    QHash<QString, std::shared_ptr<GridData>> items;
};

// Screen records by id, built by functions the test gives; any other id gets a bare record.
class TestRecords : public ScreenServices {
public:
    using Maker = std::function<std::shared_ptr<BridgeScreenData>()>;

    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        asked << screenId;
        links << std::dynamic_pointer_cast<Parent>(parent);
        auto record
            = makers.contains(screenId) ? makers[screenId]() : std::make_shared<BridgeScreenData>();
        record->id = screenId;
        return record;
    }

    QHash<QString, Maker> makers;
    QStringList asked;
    QList<std::shared_ptr<Parent>> links;
};

// The application's delegate, counting the rollbacks asked of it.
class CountingDelegate : public KivoAppDelegate {
public:
    void rollbackContext() override { ++rollbacks; }
    int rollbacks = 0;
};

struct GridScreens : ::testing::Test {
    CountingDelegate delegate;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    TestRecords* records = nullptr;

    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        ClassRegistry::registerClass<ItemsController>();
        ItemsController::seed.clear();
        ItemsController::seedImage = QStringLiteral("database");
        ItemsController::seedIcons.clear();
        for (int i = 0; i < 12; ++i)
            ItemsController::seed << QStringLiteral("Item %1").arg(i);
        auto services = std::make_unique<TestRecords>();
        records = services.get();
        ScreenServices::install(std::move(services));
        MainCollectionViewController::registerStoryboard(platform::ui::Storyboard::main());
    }

    void TearDown() override
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::ui::Storyboard::main().clear();
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    // A record of items shown as tiles with a disclosure that opens "SCREEN_CHILD".
    static std::shared_ptr<BridgeScreenData> itemsRecord(const QString& id = "SCREEN_ITEMS")
    {
        auto record = std::make_shared<BridgeScreenData>();
        record->id = id;
        record->title = "Inventory";
        record->dataController = "gridtest::ItemsController";
        record->rowView = "GenericRowViewController";
        record->disclosure = true;
        record->image = "database";
        record->childscreen = "SCREEN_CHILD";
        record->toSegue = "Menu";
        record->buttonBits
            = std::make_shared<BitManager>(BitManager::createButtonVector({ 1, 2, 3 }));
        return record;
    }

    MainCollectionViewController* open(
        std::shared_ptr<BridgeScreenData> record, const QString& device = "tablet")
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        navigation = std::make_unique<platform::ui::NavigationController>();
        auto* screen = new MainCollectionViewController();
        screen->setScreen(std::move(record));
        navigation->pushViewController(screen, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return screen;
    }

    static void settle(int ms = 30)
    {
        testsupport::processEvents(ms);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    static ItemsController* items(MainCollectionViewController* screen)
    {
        return dynamic_cast<ItemsController*>(screen->dataController().get());
    }

    static platform::ui::CollectionViewCell* cell(MainCollectionViewController* screen, int item)
    {
        return screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
    }

    static platform::ui::View* tileView(MainCollectionViewController* screen, int item, int tag)
    {
        platform::ui::CollectionViewCell* shown = cell(screen, item);
        return shown ? shown->contentView()->viewWithTag(tag) : nullptr;
    }

    // The texts of the tiles shown, in item order.
    static QStringList shownTitles(MainCollectionViewController* screen);

    static bool saveShot(const QString& name)
    {
        settle(40);
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }
};

inline QStringList GridScreens::shownTitles(MainCollectionViewController* screen)
{
    QStringList titles;
    const int count = screen->collectionView()->numberOfItemsInSection(0);
    for (int i = 0; i < count; ++i) {
        auto* label = qobject_cast<platform::ui::Label*>(tileView(screen, i, 3000));
        if (label)
            titles << label->text();
    }
    return titles;
}

} // namespace gridtest
