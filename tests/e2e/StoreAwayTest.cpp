#include "AppFixture.h"

#include "model/CloudStoreManager.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/Date.h"
#include "platform/Dispatch.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/ui/SearchBar.h"
#include "reports/charts/ChartHostViewController.h"
#include "screens/GenericTemplateDataController.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

namespace e2e {
namespace {

// One machine whose cloud folder goes away (a share unmounted) and comes back while its
// screens are open and their delayed work is pending: the application moves to its local
// store and back to the cloud store, and every object of the store that went is deleted
// with it. The local store is the one the cloud store was seeded from: it holds the table
// too, but not the row added once the cloud was on.
struct StoreAwayAndBack : AppTest {
    static constexpr int SwitchMs = 60000;
    static constexpr int SettingsButton = 28, FilterButton = 41, SortButton = 36;

    void SetUp() override
    {
        QDir().mkpath(cloudFolder());
        qputenv("KIVOTAB_CLOUD", cloudFolder().toUtf8());
        platform::coredata::CloudContainer::setPollInterval(40);
        AppTest::SetUp();
        if (HasFatalFailure())
            return;
        databases = top();
        ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
        ASSERT_TRUE(open(databases, "Household"));
        ApplicationScreen* home = top();
        ASSERT_NE(home, databases);
        const QString definition = makeDefinition();
        ASSERT_TRUE(addTable(home, "Chores", definition));
        ASSERT_TRUE(open(home, "Chores"));
        ASSERT_TRUE(controllerOf<GenericTemplateDataController>(top()));
        chore("Water plants", 1);
        chore("Pay rent", 2);
        chore("Paint fence", 8);
        navigation->popToRootViewController(false);
        settle(100);

        // The cloud is switched on: its store is seeded from the local one, which stays.
        manager().setCloudEnabled(true);
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return onStore(true) && titles(databases).contains("Household"); }, SwitchMs))
            << "the cloud store never loaded";
        identity = manager().activeCloudStoreUUID();
        ASSERT_FALSE(identity.isEmpty());
        ASSERT_NE(openChores(), nullptr);
        chore("Paint door", 3);
        navigation->popToRootViewController(false);
        settle(100);
    }

    void TearDown() override
    {
        stopWork();
        AppTest::TearDown();
        qunsetenv("KIVOTAB_CLOUD");
    }

    static QString cloudFolder() { return testsupport::homePath() + "/cloud"; }
    static QString awayFolder() { return testsupport::homePath() + "/cloud.away"; }
    CloudStoreManager& manager() const { return *delegate->cloudStoreManager(); }

    // A definition of chores: a text, a number, a day with a reminder, a flag.
    QString makeDefinition()
    {
        Template* made = Template::add();
        made->setName("Chores");
        made->setDescr("Things to do");
        EXPECT_TRUE(made->saveTemplate());
        const QString id = made->id().toString();
        task = addColumn(id, "Task", "Text", 0);
        hours = addColumn(id, "Hours", "Numeric", 1);
        due = addColumn(id, "Due", "Date", 2, true);
        addColumn(id, "Done", "Yes/No", 3);
        return id;
    }

    static QString addColumn(const QString& templateId, const QString& name, const QString& type,
        int order, bool reminder = false)
    {
        TemplateColumn* made = TemplateColumn::add(templateId);
        made->setReminder(reminder);
        made->setName(name);
        made->setType(type);
        made->setLength(40);
        made->setOrder(order);
        made->setIntiles(order < 2);
        made->setIntable(true);
        EXPECT_TRUE(made->saveTemplateColumn());
        return made->id().toString();
    }

    // A row of the open table, stored as its form would store it, reminder included.
    void chore(const QString& name, int hoursNeeded)
    {
        auto* controller = controllerOf<GenericTemplateDataController>(rowsScreen());
        ASSERT_NE(controller, nullptr);
        Rows* row = Rows::add(controller->userTemplate()->id().toString());
        const QDateTime when = QDateTime::currentDateTime().addDays(hoursNeeded);
        row->updateData({ { task, name }, { hours, hoursNeeded },
                            { due, QVariant::fromValue(platform::Date(when)) },
                            { Rows::reminderKey(due), "Daily" } },
            controller->Columns(), std::nullopt);
        ASSERT_TRUE(row->saveRows());
        reload(rowsScreen());
    }

    // Whether the store in use is the cloud's (or the local one), loaded and shown.
    bool onStore(bool cloud) const
    {
        const auto wanted
            = cloud ? CloudStoreManager::EnabledStoreCloud : CloudStoreManager::EnabledStoreLocal;
        return manager().enabledStore() == wanted && delegate->managedObjectContext()
            && (!cloud || !manager().activeCloudStoreUUID().isEmpty())
            && (!databases || databases->hudCount() == 0);
    }

    ApplicationScreen* openChores()
    {
        navigation->popToRootViewController(false);
        settle(100);
        if (!open(databases, "Household"))
            return nullptr;
        ApplicationScreen* home = top();
        if (!home || home == databases || !open(home, "Chores"))
            return nullptr;
        return controllerOf<GenericTemplateDataController>(top()) ? top() : nullptr;
    }

    // The rows screen on the stack, under whatever is open over it.
    ApplicationScreen* rowsScreen() const
    {
        for (auto* controller : navigation->viewControllers()) {
            auto* screen = dynamic_cast<ApplicationScreen*>(controller);
            if (controllerOf<GenericTemplateDataController>(screen))
                return screen;
        }
        return nullptr;
    }

    GenericTemplateDataController* chores() const
    {
        return controllerOf<GenericTemplateDataController>(rowsScreen());
    }

    // The tasks of the rows the open table shows, in its order.
    QStringList shownTasks() const
    {
        QStringList names;
        GenericTemplateDataController* controller = chores();
        for (qint64 i = 0; controller && i < controller->count(); ++i)
            names << controller->rowValues(i).value(task).toString();
        return names;
    }

    // What a screen's delayed work does, running while the store changes: at every few
    // milliseconds, and right after the objects of the store that goes are deleted, before
    // the screens hear of it. Besides the work given, every open screen is laid out and
    // painted as the window would be (tiles measured, cells filled, the chart drawn).
    void startWork(std::function<void()> work)
    {
        m_work = [work = std::move(work)] {
            if (work)
                work();
            if (platform::ui::Window* shown = window()) {
                shown->layoutIfNeeded();
                (void)shown->grab();
            }
        };
        m_pump = std::make_unique<QTimer>();
        m_pump->setInterval(3);
        QObject::connect(m_pump.get(), &QTimer::timeout, [this] { runWork(); });
        m_pump->start();
    }

    void stopWork()
    {
        m_pump.reset();
        m_work = {};
        QObject::disconnect(m_gone);
    }

    void runWork()
    {
        if (m_running || !m_work)
            return;
        m_running = true;
        m_work();
        m_running = false;
    }

    // The work runs once more as soon as the store's objects are deleted.
    void armOnStoreGoing()
    {
        QObject::disconnect(m_gone);
        auto* someDatabase = RowObject::object(databases->dataController()->getRowData(0));
        ASSERT_NE(someDatabase, nullptr);
        m_gone = QObject::connect(someDatabase, &QObject::destroyed,
            [this] { platform::dispatch::asyncMain([this] { runWork(); }); });
    }

    // The cloud folder goes, and the local store serves; then it is back, and the cloud
    // store serves again. After each switch, the check with whether the cloud store is the
    // one in use.
    void awayAndBack(const std::function<void()>& work, const std::function<void(bool)>& check)
    {
        startWork(work);
        armOnStoreGoing();
        ASSERT_TRUE(QDir().rename(cloudFolder(), awayFolder()));
        ASSERT_TRUE(testsupport::waitUntil([&] { return onStore(false); }, SwitchMs))
            << "the local store never loaded";
        settle(300);
        check(false);
        armOnStoreGoing();
        ASSERT_TRUE(QDir().rename(awayFolder(), cloudFolder()));
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return onStore(true) && manager().activeCloudStoreUUID() == identity; },
            SwitchMs))
            << "the cloud store never came back";
        settle(300);
        check(true);
        stopWork();
        settle(100);
    }

    // The databases and the table's screens below show the store's rows.
    void expectTheStack(bool cloud)
    {
        (void)cloud;
        EXPECT_TRUE(titles(databases).contains("Household"));
        ASSERT_GE(navigation->viewControllers().size(), 3);
        auto* home = dynamic_cast<ApplicationScreen*>(navigation->viewControllers().at(1));
        ASSERT_NE(home, nullptr);
        EXPECT_TRUE(titles(home).contains("Chores"));
    }

    // The table's rows as the store now in use holds them.
    static QStringList storedTasks(bool cloud)
    {
        QStringList all { "Water plants", "Pay rent", "Paint fence" };
        if (cloud)
            all << "Paint door";
        return all;
    }

    // The list the rows screen's filter or sort button opens: in a popup on a tablet,
    // pushed on a phone.
    ApplicationScreen* openList(ApplicationScreen* rows, int tag)
    {
        platform::ui::View* button = barButton(rows, tag);
        if (!button)
            return nullptr;
        GestureSynthesizer::tap(button);
        settle(150);
        if (!tablet())
            return top() != rows ? top() : nullptr;
        SimplePopupViewController* popup = rows->simplepopupController();
        auto* stack = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return stack ? dynamic_cast<ApplicationScreen*>(stack->topViewController()) : nullptr;
    }

    // A screen of Home's settings list ("Colors", "Notifications").
    ApplicationScreen* openSetting(ApplicationScreen* home, const QString& item)
    {
        platform::ui::View* settings = barButton(home, SettingsButton);
        if (!settings)
            return nullptr;
        GestureSynthesizer::tap(settings);
        settle(100);
        MainCollectionViewController* list = listOn(home);
        if (!list || !open(list, item))
            return nullptr;
        settle(100);
        return top() != home ? top() : nullptr;
    }

    ApplicationScreen* openHome()
    {
        navigation->popToRootViewController(false);
        settle(100);
        return open(databases, "Household") && top() != databases ? top() : nullptr;
    }

    // The form open over the screen, while it is open.
    static void typeInto(QuickDetailViewController* form, const QString& key, const QString& text)
    {
        auto* entry = qobject_cast<FormEntryElement*>(element(form, key));
        ASSERT_NE(entry, nullptr) << key.toStdString();
        entry->setTextValue(text);
    }

    // The work of an open table: its reminders rebuilt on a later turn, as after each
    // load, and its rows ahead decoded.
    std::function<void()> tableWork()
    {
        return [screen = QPointer<ApplicationScreen>(rowsScreen())] {
            auto* controller = controllerOf<GenericTemplateDataController>(screen.data());
            if (!controller)
                return;
            controller->rebuildNotifications(0);
            controller->rebuildNotifications(2);
            controller->prefetchRows(0, controller->count());
        };
    }

    ApplicationScreen* databases = nullptr;
    QString identity;
    QString task;
    QString hours;
    QString due;

private:
    std::function<void()> m_work;
    std::unique_ptr<QTimer> m_pump;
    QMetaObject::Connection m_gone;
    bool m_running = false;
};

// Types the text over what the search field holds, as a person would; empty clears it.
void typeSearch(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

TEST_P(StoreAwayAndBack, TheRowsAsTilesAndColumnsWithASearchAndAReminderRebuildUnderWay)
{
    ApplicationScreen* rows = openChores();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(sorted(shownTasks()), sorted(storedTasks(true)));

    for (const bool asColumns : { false, true }) {
        SCOPED_TRACE(asColumns ? "columns" : "tiles");
        if (asColumns)
            chores()->expandcollapseTouched(nullptr);
        settle(100);
        if (!rows->searchBar()->isVisible())
            rows->showHideSearchBar();
        auto* field = rows->searchBar()->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        typeSearch(field, "paint");
        settle(100);
        ASSERT_EQ(sorted(shownTasks()), QStringList({ "Paint door", "Paint fence" }));

        QPointer<ApplicationScreen> screen(rows);
        bool typed = false;
        awayAndBack(
            [&, screen] {
                if (!screen)
                    return;
                auto* controller = controllerOf<GenericTemplateDataController>(screen);
                // The reminders rebuilt on a later turn, as after each load; the search
                // typed on, its texts made in the background.
                controller->rebuildNotifications(0);
                controller->rebuildNotifications(2);
                typeSearch(field, (typed = !typed) ? "pain" : "paint");
                controller->prefetchRows(0, controller->count());
            },
            [&](bool cloud) {
                ASSERT_EQ(rowsScreen(), rows);
                typeSearch(field, "paint");
                settle(100);
                QStringList painted;
                for (const QString& name : storedTasks(cloud))
                    if (name.startsWith("Paint"))
                        painted << name;
                EXPECT_EQ(sorted(shownTasks()), sorted(painted));
                expectTheStack(cloud);
            });
        typeSearch(field, QString());
        settle(100);
        EXPECT_EQ(sorted(shownTasks()), sorted(storedTasks(true)));
    }
}

// An Add form and an Edit form stay open with what was typed while the store goes and
// comes back; each then saves into the table of the store in use, adding one row or
// changing the edited one.
TEST_P(StoreAwayAndBack, AnAddAndAnEditFormKeepWhatWasTypedAndSaveIntoTheStoreBack)
{
    ApplicationScreen* rows = openChores();
    ASSERT_NE(rows, nullptr);

    chores()->add(nullptr);
    QuickDetailViewController* adding = awaitedForm(rows);
    ASSERT_NE(adding, nullptr);
    typeInto(adding, task, "Sweep yard");
    QPointer<QuickDetailViewController> addForm(adding);
    awayAndBack(tableWork(), [&](bool cloud) {
        ASSERT_TRUE(addForm);
        EXPECT_EQ(shownForm(rows), addForm.data());
        expectTheStack(cloud);
        // The row being added is in no store until its form saves it.
        EXPECT_EQ(sorted(shownTasks()), sorted(storedTasks(cloud)));
    });
    ASSERT_TRUE(addForm);
    ASSERT_TRUE(fillAndSave(rows, { { task, "Sweep yard" }, { hours, "2" } }));
    // One row added, made again in the store now in use under the id the Add gave it.
    QStringList expected = storedTasks(true) << "Sweep yard";
    EXPECT_EQ(sorted(shownTasks()), sorted(expected));

    const qint64 rent = shownTasks().indexOf("Pay rent");
    ASSERT_GE(rent, 0);
    rows->selectRow(rent);
    settle();
    chores()->edit(nullptr);
    QuickDetailViewController* editing = awaitedForm(rows);
    ASSERT_NE(editing, nullptr);
    typeInto(editing, task, "Pay rent twice");
    QPointer<QuickDetailViewController> editForm(editing);
    awayAndBack(tableWork(), [&](bool cloud) {
        ASSERT_TRUE(editForm);
        EXPECT_EQ(shownForm(rows), editForm.data());
        expectTheStack(cloud);
    });
    ASSERT_TRUE(editForm);
    ASSERT_TRUE(fillAndSave(rows, { { task, "Pay rent twice" } }));
    expected.replace(expected.indexOf("Pay rent"), "Pay rent twice");
    EXPECT_EQ(sorted(shownTasks()), sorted(expected));
}

// The filter and the sort lists with a form open over each: they list the rows screen's
// own conditions, which no store holds, and the rows screen below shows the store's rows.
TEST_P(StoreAwayAndBack, AFilterAndASortFormStayOverTheRowsOfTheStoreInUse)
{
    ApplicationScreen* rows = openChores();
    ASSERT_NE(rows, nullptr);
    for (const int button : { FilterButton, SortButton }) {
        SCOPED_TRACE(button == FilterButton ? "filter" : "sort");
        ApplicationScreen* list = openList(rows, button);
        ASSERT_NE(list, nullptr);
        GestureSynthesizer::tap(barButton(list, 1));
        QuickDetailViewController* form = awaitedForm(list);
        ASSERT_NE(form, nullptr);
        QPointer<ApplicationScreen> shownList(list);
        QPointer<QuickDetailViewController> shownFormNow(form);
        awayAndBack(tableWork(), [&](bool cloud) {
            ASSERT_TRUE(shownList);
            ASSERT_TRUE(shownFormNow);
            expectTheStack(cloud);
            EXPECT_EQ(sorted(shownTasks()), sorted(storedTasks(cloud)));
        });
        closeForm(list);
        if (tablet())
            rows->dismissPopup();
        else
            navigation->popToViewController(rows, false);
        settle(100);
        EXPECT_EQ(rowsScreen(), rows);
    }
}

// A chart of the hours each chore needs, drawn from the rows shown.
TEST_P(StoreAwayAndBack, AChartStaysDrawnFromTheRowsItWasMadeOf)
{
    ApplicationScreen* rows = openChores();
    ASSERT_NE(rows, nullptr);
    chores()->chartTouched(nullptr);
    QuickDetailViewController* chartForm = awaitedForm(rows);
    ASSERT_NE(chartForm, nullptr);
    QPointer<QuickDetailViewController> formShown(chartForm);
    awayAndBack(tableWork(), [&](bool cloud) {
        EXPECT_TRUE(formShown);
        expectTheStack(cloud);
    });
    closeForm(rows);

    ASSERT_TRUE(chores()->plotChart(
        { { "xaxis", "Task" }, { "yaxis", "Hours" }, { "type", LocalizedStrings::Bar() },
            { "function", LocalizedStrings::Sum() }, { "grouping", LocalizedStrings::None() } }));
    settle(300);
    auto* chart = dynamic_cast<ChartHostViewController*>(navigation->topViewController());
    ASSERT_NE(chart, nullptr);
    QPointer<ChartHostViewController> drawn(chart);
    awayAndBack(tableWork(), [&](bool cloud) {
        ASSERT_TRUE(drawn);
        EXPECT_TRUE(drawn->plotItem());
        expectTheStack(cloud);
    });
}

// The colours screen and the reminders screen, opened from Home's settings.
TEST_P(StoreAwayAndBack, TheColoursAndTheRemindersScreens)
{
    ApplicationScreen* rows = openChores();
    ASSERT_NE(rows, nullptr);
    // The reminders are built for the rows of the table.
    chores()->rebuildAllNotifications();
    for (const QString& item : { QStringLiteral("Colors"), QStringLiteral("Notifications") }) {
        SCOPED_TRACE(item.toStdString());
        ApplicationScreen* home = openHome();
        ASSERT_NE(home, nullptr);
        ApplicationScreen* screen = openSetting(home, item);
        ASSERT_NE(screen, nullptr);
        const QStringList before = titles(screen);
        QPointer<ApplicationScreen> shown(screen);
        awayAndBack(
            [shown] {
                if (shown)
                    shown->refreshView();
            },
            [&](bool cloud) {
                ASSERT_TRUE(shown);
                EXPECT_TRUE(titles(databases).contains("Household"));
                if (cloud) {
                    EXPECT_EQ(titles(shown), before);
                }
            });
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, StoreAwayAndBack, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
