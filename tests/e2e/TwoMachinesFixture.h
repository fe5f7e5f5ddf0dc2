#pragma once

#include "AppFixture.h"

#include "common/OtherMachine.h"
#include "model/CloudStoreManager.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "screens/GenericTemplateDataController.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace e2e {

// Two machines of one person, both running the application as main starts it (its own
// delegate, store and screens), each with a home of its own and both on one cloud folder:
// this machine (the test's process) and the other one (OtherMachine: the test again in a
// child process, which takes the steps the test names). The cloud store is switched on
// before either starts; this machine has made the store when the other one starts, so the
// other joins it.
//
// A test names the other machine's steps, then calls startOtherMachine() before it
// changes anything: the other machine runs the test up to there too. Orders across the
// machines are forced by waiting for what one machine must show before the other acts.
struct TwoMachinesFixture : AppTest {
    // How often each machine looks at the cloud folder, and how long an import may take to
    // show on a loaded machine.
    static constexpr int PollMs = 40;
    static constexpr int ArrivalMs = 60000;

    void SetUp() override
    {
        // The other machine is given this machine's cloud folder.
        if (!testsupport::OtherMachine::isOtherMachine()) {
            QDir().mkpath(cloudFolder());
            qputenv("KIVOTAB_CLOUD", cloudFolder().toUtf8());
        }
        platform::coredata::CloudContainer::setPollInterval(PollMs);
        platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
        AppTest::SetUp();
        // The store is known to both machines once its marker names it.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                const QString uuid = storeUUID();
                QFile marker(manager().URLForCloudStoreUUID().toLocalFile());
                return !uuid.isEmpty() && marker.open(QIODevice::ReadOnly)
                    && QString::fromLatin1(marker.readAll()) == uuid;
            },
            ArrivalMs))
            << "no cloud store loaded";
    }

    void TearDown() override
    {
        if (other.started()) {
            EXPECT_TRUE(other.quit()) << other.report();
        }
        AppTest::TearDown();
        qunsetenv("KIVOTAB_CLOUD");
    }

    static QString cloudFolder() { return testsupport::homePath() + "/cloud"; }
    CloudStoreManager& manager() const { return *delegate->cloudStoreManager(); }
    QString storeUUID() const { return manager().activeCloudStoreUUID(); }

    // Starts the other machine; true once it has loaded this machine's cloud store.
    bool startOtherMachine()
    {
        return other.startOnCloud(cloudFolder(), [this] { return storeUUID(); });
    }

    // Runs the other machine's step; fails the test, with its answer, when it went wrong.
    ::testing::AssertionResult onOther(const QString& step, const QString& argument = {})
    {
        return other.runStep(step, argument);
    }

    // A step's answer to a wait: empty once the condition held, else what was waited for.
    static QString within(const std::function<bool()>& condition, const QString& what)
    {
        return testsupport::waitUntil(condition, ArrivalMs) ? QString() : "never came: " + what;
    }

    // --- Values of a step's argument: "key=value;key=value".
    static QString encode(const QVariantMap& values)
    {
        QStringList pairs;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            pairs << it.key() + "=" + it.value().toString();
        return pairs.join(';');
    }
    static QVariantMap decode(const QString& text)
    {
        QVariantMap values;
        for (const QString& pair : text.split(';', Qt::SkipEmptyParts))
            values.insert(pair.section('=', 0, 0), pair.section('=', 1));
        return values;
    }

    // --- Screens, as either machine shows them.

    // The titles of the screen's tiles once they hold the title (the screen reloads as the
    // other machine's changes arrive); false when it never came.
    static bool awaitTitle(MainCollectionViewController* screen, const QString& title)
    {
        return testsupport::waitUntil([&] { return titles(screen).contains(title); }, ArrivalMs);
    }

    // Opens the rows of the table in the database from the first screen, once both have
    // arrived; null when they did not.
    ApplicationScreen* openTable(const QString& database, const QString& table)
    {
        navigation->popToRootViewController(false);
        settle(100);
        ApplicationScreen* databases = top();
        if (!databases || !awaitTitle(databases, database) || !open(databases, database))
            return nullptr;
        ApplicationScreen* home = top();
        if (!home || home == databases || !awaitTitle(home, table) || !open(home, table))
            return nullptr;
        ApplicationScreen* rows = top();
        return rows != home && controllerOf<GenericTemplateDataController>(rows) ? rows : nullptr;
    }

    // The rows screen open at the top of the stack, or under the form open over it.
    ApplicationScreen* rowsScreen() const
    {
        for (auto* controller : navigation->viewControllers()) {
            auto* screen = dynamic_cast<ApplicationScreen*>(controller);
            if (controllerOf<GenericTemplateDataController>(screen))
                return screen;
        }
        return nullptr;
    }

    // The values of the open table's rows as its data controller holds them, one
    // dictionary per row in the screen's order.
    QList<QVariantMap> rowValues() const
    {
        QList<QVariantMap> values;
        ApplicationScreen* rows = rowsScreen();
        auto* controller = controllerOf<GenericTemplateDataController>(rows);
        for (qint64 i = 0; controller && i < controller->count(); ++i)
            values << controller->rowValues(i);
        return values;
    }

    // The index of the open table's row whose value under the key is the text; -1 for none.
    qint64 rowWhere(const QString& key, const QString& text) const
    {
        const QList<QVariantMap> values = rowValues();
        for (qsizetype i = 0; i < values.size(); ++i)
            if (values[i].value(key).toString() == text)
                return i;
        return -1;
    }

    // Whether a row of the open table holds every value (compared as texts).
    bool holdsRow(const QVariantMap& expected) const
    {
        for (const QVariantMap& row : rowValues()) {
            bool all = true;
            for (auto it = expected.cbegin(); all && it != expected.cend(); ++it)
                all = row.value(it.key()).toString() == it.value().toString();
            if (all)
                return true;
        }
        return false;
    }

    // Selects the open table's row as a tap on its tile does.
    bool selectRowWhere(const QString& key, const QString& text)
    {
        ApplicationScreen* rows = rowsScreen();
        const qint64 index = rowWhere(key, text);
        if (!rows || index < 0)
            return false;
        rows->selectRow(index);
        settle();
        return rows->selectedRow() == index;
    }

    // Fills the open form's fields with the values, without saving it.
    bool fill(ApplicationScreen* screen, const QVariantMap& values)
    {
        QuickDetailViewController* form = awaitedForm(screen);
        if (!form)
            return false;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            auto* entry = qobject_cast<FormEntryElement*>(element(form, it.key()));
            if (!entry)
                return false;
            entry->setTextValue(it.value().toString());
        }
        return true;
    }

    // Presses Save on the open form; true when it closed.
    bool saveForm(ApplicationScreen* screen) { return fillAndSave(screen, {}); }

    testsupport::OtherMachine other;
};

} // namespace e2e
