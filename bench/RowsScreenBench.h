#pragma once

#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/UserTemplate.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/MainDataController.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QVariantMap>

#include "BenchSupport.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

// What the benchmarks of a user table's rows screen share: a store of one database and one
// definition, tables of it filled with rows, and Home on the window from which a table is
// opened (its password given) as a person opens it.
class RowsScreenBench {
public:
    static inline const QString Password = QStringLiteral("bench password");
    // A table's row: its values by column id, from its place and the table's random values.
    using RowValues = std::function<QVariantMap(int row, QRandomGenerator& random)>;

    // The application's preferences and style, the store and its database and definition;
    // a failed save stops the run, which would measure nothing.
    RowsScreenBench()
    {
        store = folder.filePath("Kivotab.sqlite");
        delegate = std::make_unique<KivoAppDelegate>();
        KivotabPrefernces::registerDefaults();
        delegate->setCurrentPreferences(std::make_shared<KivotabPrefernces>());
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        platform::ui::Animation::setInstant(true);
        (void)platform::ui::Device::current().selectModel("tablet");
        ModelRegistry::registerClasses();
        StoreStack::install(StoreStack::open(store, {}));
        ScreenFactory::install();

        Database* database = Database::add();
        database->setName("Bench");
        database->setDescr("Bench");
        if (!database->saveDatabase())
            std::abort();
        databaseId = database->id().toString();
        Template* definition = Template::add();
        definition->setName("Bench");
        definition->setImage("contacts");
        definition->setTilescolumns(3);
        if (!definition->saveTemplate())
            std::abort();
        definitionId = definition->id().toString();
    }

    // Nothing on the window, and the store closed.
    ~RowsScreenBench()
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::ui::Storyboard::main().clear();
        StoreStack::install(nullptr);
    }
    RowsScreenBench(const RowsScreenBench&) = delete;
    RowsScreenBench& operator=(const RowsScreenBench&) = delete;

    // A table of the definition, protected by Password when asked; its id.
    QString addTable(const QString& name, bool isProtected) const
    {
        UserTemplate* table = UserTemplate::add(databaseId);
        table->setName(name);
        table->setDescr(name);
        table->setTemplate_id(definitionId);
        if (isProtected) {
            table->setIsprotected(true);
            table->setProtectioncheck(
                UserTemplate::encryptString(UserTemplate::ProtectionCheckPhrase, Password).value());
        }
        if (!table->saveUserTemplate())
            std::abort();
        return table->id().toString();
    }

    // The table's rows, committed every RowsPerCommit rows.
    static void addRows(const QString& table, const Rows::Columns& columns,
        const Rows::Password& password, quint32 seed, const RowValues& values)
    {
        QRandomGenerator random(seed);
        for (int i = 0; i < benchsupport::rowCount(); ++i) {
            Rows* row = Rows::add(table);
            row->updateData(values(i, random), columns, password);
            KivoLib::insertEntity(row);
            if ((i + 1) % benchsupport::RowsPerCommit == 0 && !KivoLib::commit())
                std::abort();
        }
        if (!KivoLib::commit())
            std::abort();
    }

    static void settle() { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }

    // Runs the event loop until the screen's first tile is drawn on the window.
    static bool untilFirstTile(ApplicationScreen* screen)
    {
        QElapsedTimer limit;
        limit.start();
        while (limit.elapsed() < 600000) {
            settle();
            if (screen && screen->collectionView()
                && screen->collectionView()->cellForItemAtIndexPath(
                    platform::ui::IndexPath(0, 0))) {
                if (auto* window = platform::ui::Application::shared().keyWindow())
                    window->repaint();
                return true;
            }
        }
        return false;
    }

    ApplicationScreen* top() const
    {
        return dynamic_cast<ApplicationScreen*>(navigation->topViewController());
    }

    // A fresh context and Home of the database on the window, as after a start.
    ApplicationScreen* showHome()
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StoreStack::instance()->makeContext();
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(Database::getDatabase(databaseId));
        auto* home = new ApplicationScreen();
        home->setParentLink(link);
        home->setScreen(ScreenFactory::GetScreen(ScreenFactory::Home, link));
        navigation = std::make_unique<platform::ui::NavigationController>();
        navigation->pushViewController(home, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        for (int i = 0; i < 20; ++i)
            settle();
        return home;
    }

    // Taps the table on Home (giving the password a protected table asks for, and then
    // restarting the timer) and waits for its first tiles; the rows screen, or null.
    ApplicationScreen* openTable(const QString& name, bool isProtected, QElapsedTimer& timer)
    {
        ApplicationScreen* home = showHome();
        auto* controller = dynamic_cast<MainDataController*>(home->dataController().get());
        qint64 index = -1;
        for (qint64 i = 0; controller && i < controller->count(); ++i) {
            if (controller->getGridData(i)->Menu == name)
                index = i;
        }
        if (index < 0)
            return nullptr;
        home->setSelectedRow(index);
        timer.start();
        controller->tapOnDisclosure(index);
        if (isProtected) {
            settle();
            const auto alerts = platform::ui::AlertView::visibleAlerts();
            if (alerts.isEmpty() || !alerts.first()->textFieldAtIndex(0))
                return nullptr;
            timer.restart();
            alerts.first()->textFieldAtIndex(0)->setText(Password);
            alerts.first()->dismissWithClickedButtonIndex(1, false);
        }
        while (top() == home && timer.elapsed() < 600000)
            settle();
        return untilFirstTile(top()) ? top() : nullptr;
    }

    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QString databaseId;
    QString definitionId;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};
