#pragma once

#include "FakeAppScreen.h"

#include "grid/BridgeScreenData.h"
#include "grid/GridData.h"
#include "grid/RowObject.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "model/ModelFixture.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/ApplicationState.h"
#include "screens/ScreenFactory.h"
#include "utilities/store/KivoLibContext.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <memory>

namespace screenstest {

// The store of the real model, the product's settings on the application's delegate, a
// navigation stack of fake grid screens, and helpers that make records.
struct ScreensTest : modeltest::ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        previousDevice = platform::ui::Device::current().model().name;
        KivotabPrefernces::registerDefaults();
        delegate->setCurrentPreferences(std::make_shared<KivotabPrefernces>());
        ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));
        ScreenFactory::install();
        auto& storyboard = platform::ui::Storyboard::main();
        storyboard.registerController(
            "Destination", [] { return new platform::ui::ViewController(); });
        for (const char* segue : { "Menu", "Menus1" })
            storyboard.registerSegue(segue, "Destination");
        navigation = std::make_unique<platform::ui::NavigationController>();
        platform::ui::Application::shared().setRootViewController(navigation.get());
    }

    void TearDown() override
    {
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        navigation.reset();
        platform::ui::Storyboard::main().clear();
        ModelTest::TearDown();
        (void)platform::ui::Device::current().selectModel(previousDevice);
    }

    static KivotabPrefernces* preferences() { return ApplicationState::preferences(); }

    Database* addDatabase(const QString& name, const QString& descr = QStringLiteral("About"))
    {
        Database* made = Database::add();
        made->setName(name);
        made->setDescr(descr);
        EXPECT_TRUE(made->saveDatabase());
        return made;
    }

    Template* addDefinition(const QString& name, bool isProtected = false)
    {
        Template* made = Template::add();
        made->setName(name);
        made->setImage(QStringLiteral("contacts"));
        made->setIsprotected(isProtected);
        EXPECT_TRUE(made->saveTemplate());
        return made;
    }

    TemplateColumn* addColumn(const QString& templateId, const QString& name, const QString& type,
        int length = 50, bool mandatory = false, bool inTiles = true)
    {
        TemplateColumn* made = TemplateColumn::add(templateId);
        made->setName(name);
        made->setType(type);
        made->setLength(length);
        made->setMandatory(mandatory);
        made->setIntiles(inTiles);
        made->setIntable(true);
        EXPECT_TRUE(made->saveTemplateColumn());
        return made;
    }

    UserTemplate* addTable(const QString& databaseId, const QString& templateId,
        const QString& name, const QString& descr = QStringLiteral("About"))
    {
        UserTemplate* made = UserTemplate::add(databaseId);
        made->setTemplate_id(templateId);
        made->setName(name);
        made->setDescr(descr);
        EXPECT_TRUE(made->saveUserTemplate());
        return made;
    }

    Rows* addRow(const QString& tableId, const QVariantMap& values, const Rows::Columns& columns,
        const Rows::Password& password = std::nullopt)
    {
        Rows* row = Rows::add(tableId);
        row->updateData(values, columns, password);
        EXPECT_TRUE(row->saveRows());
        return row;
    }

    // A grid screen of the factory's record for the id over its controller, pushed on the
    // navigation stack and loaded.
    template<class Controller>
    FakeAppScreen* open(const QString& screenId, std::shared_ptr<Parent> link = nullptr,
        std::shared_ptr<Controller> controller = nullptr)
    {
        if (!controller)
            controller = std::make_shared<Controller>();
        auto* screen
            = new FakeAppScreen(ScreenFactory::GetScreen(screenId, link), controller, link);
        navigation->pushViewController(screen, false);
        screen->refreshView();
        return screen;
    }

    // The link a row tap on the screen makes for its child.
    static std::shared_ptr<Parent> linkFrom(FakeAppScreen* screen, qint64 row)
    {
        screen->setSelectedRow(row);
        return screen->createParent();
    }

    template<class Controller>
    static std::shared_ptr<Controller> controllerOf(FakeAppScreen* screen)
    {
        return std::dynamic_pointer_cast<Controller>(screen->dataController);
    }

    static QList<platform::ui::AlertView*> alertsShown()
    {
        testsupport::processEvents(10);
        return platform::ui::AlertView::visibleAlerts();
    }

    // The newest alert's message (or title when it has none); empty without an alert.
    static QString lastAlertText()
    {
        const auto alerts = alertsShown();
        return alerts.isEmpty() ? QString() : alerts.last()->message();
    }

    // Every alert's message, oldest first.
    static QStringList alertTexts()
    {
        QStringList texts;
        for (auto* alert : alertsShown())
            texts << alert->message();
        return texts;
    }

    static void dismissAlerts()
    {
        for (auto* alert : alertsShown())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(10);
    }

    // Types the text into the newest alert's field and chooses the button.
    static void answerPrompt(const QString& text, int button = 1)
    {
        const auto alerts = alertsShown();
        ASSERT_FALSE(alerts.isEmpty());
        platform::ui::AlertView* prompt = alerts.last();
        ASSERT_NE(prompt->textFieldAtIndex(0), nullptr);
        prompt->textFieldAtIndex(0)->setText(text);
        prompt->clickButtonAtIndex(button);
        testsupport::processEvents(10);
    }

    std::unique_ptr<platform::ui::NavigationController> navigation;
    QString previousDevice;
};

} // namespace screenstest
