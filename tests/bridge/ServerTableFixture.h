#pragma once

#include "bridge/BridgeCaller.h"
#include "common/FixtureTableServer.h"
#include "common/TestSupport.h"
#include "forms/DetailForms.h"
#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/FilterDataController.h"
#include "grid/MainCollectionViewController.h"
#include "grid/Parent.h"
#include "grid/SortDataController.h"
#include "grid/TableDataController.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/shell/ScreenServices.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

namespace servertest {

inline const QString ServerTable = QStringLiteral("SCREEN_SERVER_TABLE");
inline const QString ServerChild = QStringLiteral("SCREEN_SERVER_CHILD");
inline const QString Token = QStringLiteral("token-1");
// Bottom bar: refresh, search (the pager), mail and tiles/columns.
inline const std::initializer_list<quint32> TableButtons { 4, 7, 9, 35 };

// The test's screen factory: the application's, with a desktop-server table, its child,
// and, below a server table, the filter and sort lists with the server's forms.
class ServerScreens : public ScreenServices {
public:
    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        const auto link = std::dynamic_pointer_cast<Parent>(parent);
        if (screenId == ServerTable)
            return serverTable();
        if (screenId == ServerChild)
            return serverChild();
        const auto above
            = std::dynamic_pointer_cast<BridgeScreenData>(link ? link->screen.lock() : nullptr);
        if (above && !above->bridgeMethod.isEmpty()) {
            if (screenId == MainCollectionViewController::FilterScreenId)
                return queryList("Filters", "FilterDataController", "FilterRowViewController",
                    "FilterDetailViewController", "filtermetro");
            if (screenId == MainCollectionViewController::SortScreenId)
                return queryList("Sorts", "SortDataController", "SortRowViewController",
                    "SortDetailViewController", "sortmetro");
        }
        return ScreenFactory::GetScreen(screenId, link);
    }

    std::shared_ptr<BridgeScreenData> serverTable() const
    {
        auto record = std::make_shared<BridgeScreenData>();
        record->id = ServerTable;
        record->title = "Customers";
        record->dataController = "TableDataController";
        record->rowView = "GenericRowViewController";
        record->alternateRowView = "ColumnsRowViewController";
        record->image = "database";
        record->disclosure = true;
        record->childscreen = ServerChild;
        record->toSegue = "Menu";
        record->brigeType = "Fixture.Service";
        record->bridgeMethod = method;
        record->keyFields = { "CustomerName" };
        record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector(
            withSearch ? TableButtons : std::initializer_list<quint32> { 4, 9, 35 }));
        return record;
    }

    std::shared_ptr<BridgeScreenData> serverChild() const
    {
        auto record = serverTable();
        record->id = ServerChild;
        record->title = "Orders";
        record->bridgeMethod = "Orders";
        record->titleField = "CustomerName";
        record->childscreen.clear();
        record->disclosure = false;
        OrderedDictionary parameters;
        parameters.setObject(ServerTable, "CustomerId");
        parameters.setObject("SCREEN_NOWHERE", "Missing");
        parameters.setObject(QString(), "PLACEHOLDER_PARAM");
        record->bridgeParameters = parameters;
        return record;
    }

    static std::shared_ptr<BridgeScreenData> queryList(const QString& title,
        const QString& controller, const QString& rowView, const QString& form,
        const QString& image)
    {
        auto record = std::make_shared<BridgeScreenData>();
        record->title = title;
        record->dataController = controller;
        record->rowView = rowView;
        record->detailViewController = form;
        record->image = image;
        record->toSegue = "Menu";
        record->buttonBits
            = std::make_shared<BitManager>(BitManager::createButtonVector({ 1, 2, 3, 7 }));
        return record;
    }

    QString method = "Customers";
    bool withSearch = true;
};

struct ServerTables : ::testing::Test {
    std::unique_ptr<KivoAppDelegate> delegate;
    std::unique_ptr<FixtureTableServer> server;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    ServerScreens* screens = nullptr;
    QList<std::weak_ptr<FilterDataController>> filterLists;
    QList<std::weak_ptr<SortDataController>> sortLists;

    static constexpr int PageSize = 20;

    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate = std::make_unique<KivoAppDelegate>();
        delegate->setCurrentPreferences(std::make_shared<Preferences>());
        delegate->currentPreferences()->setTiles(PageSize);
        delegate->currentPreferences()->setRows(PageSize);
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        auto services = std::make_unique<ServerScreens>();
        screens = services.get();
        ScreenServices::install(std::move(services));
        MainCollectionViewController::registerStoryboard(platform::ui::Storyboard::main());
        DetailForms::registerAll();
        // The lists the screens make are kept in sight of the test.
        ClassRegistry::registerClass(&FilterDataController::staticMetaObject, [this] {
            auto made = std::make_shared<FilterDataController>();
            filterLists << made;
            return std::static_pointer_cast<QObject>(made);
        });
        ClassRegistry::registerClass(&SortDataController::staticMetaObject, [this] {
            auto made = std::make_shared<SortDataController>();
            sortLists << made;
            return std::static_pointer_cast<QObject>(made);
        });
        server = std::make_unique<FixtureTableServer>();
        BridgeCaller::install();
        BridgeCaller::setMatrixAddress(server->url());
        BridgeCaller::setToken(Token);
        platform::net::HttpRequestOptions options;
        options.timeoutMs = 1500;
        options.maxBodyBytes = 128 * 1024;
        BridgeCaller::setMatrixOptions(options);
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
        server.reset();
        delegate.reset();
        ClassRegistry::registerClass<FilterDataController>();
        ClassRegistry::registerClass<SortDataController>();
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    // The server table as the window's first screen, its first page loaded.
    MainCollectionViewController* open(const QString& device = "tablet", bool waitForRows = true)
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        navigation = std::make_unique<platform::ui::NavigationController>();
        auto* screen = new MainCollectionViewController();
        screen->setScreen(screens->serverTable());
        navigation->pushViewController(screen, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        if (waitForRows) {
            EXPECT_TRUE(waitForRequests(1));
        }
        settle();
        return screen;
    }

    // Waits until the server has answered `count` requests and the screen took the last.
    bool waitForRequests(int count)
    {
        const bool received
            = testsupport::waitUntil([&] { return server->http.requests().size() >= count; });
        settle(60);
        return received && server->http.requests().size() == count;
    }

    static void settle(int ms = 30)
    {
        testsupport::processEvents(ms);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    static TableDataController* tableOf(MainCollectionViewController* screen)
    {
        return dynamic_cast<TableDataController*>(screen->dataController().get());
    }

    static bool saveShot(const QString& name)
    {
        settle(40);
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    // The alerts up now, after the queued work has run.
    static QList<platform::ui::AlertView*> alerts()
    {
        settle(20);
        return platform::ui::AlertView::visibleAlerts();
    }
};

} // namespace servertest
