#include "CloudStoreFixture.h"

#include "model/AppDelegate.h"
#include "model/Database.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/NotificationCenter.h"

#include "common/ChildProcess.h"
#include "common/OtherMachine.h"

#include <QPointer>

#include <iostream>
#include <string>
#include <thread>

using namespace cloudstoretest;

namespace {

// The other machine: a second application with its own home and the same cloud folder,
// run as a child of the test. It follows commands read line by line from its input and
// answers on its output:
//   insert|update <id> <name> <mtime>  -> "done <id>"
//   delete <id>                        -> "done <id>"
//   wait <id> <name>                   -> "seen <id> <name> <imports so far>" once it has it
//                                         and an import has been announced
//   gone <id>                          -> "gone <id>" once it has no such object
//   quit
constexpr char PeerHomeVariable[] = "KIVOTAB_PEER_HOME";

class CommandReader {
public:
    CommandReader()
        : m_thread([this] {
            std::string line;
            while (std::getline(std::cin, line)) {
                std::lock_guard lock(m_mutex);
                m_lines << QString::fromStdString(line);
                if (line == "quit")
                    break;
            }
        })
    {
    }
    ~CommandReader() { m_thread.join(); }
    QStringList take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, {});
    }

private:
    std::mutex m_mutex;
    QStringList m_lines;
    std::thread m_thread;
};

void say(const QString& line)
{
    std::cout << line.toStdString() << std::endl;
}

cd::ManagedObject* findDatabase(cd::ManagedObjectContext& context, const QString& id)
{
    cd::FetchRequest request("Database");
    request.setPredicate(cd::Predicate::equal("id", id));
    return context.executeFetchRequest(request).value(0);
}

// The parent's end of the conversation.
class Peer {
public:
    explicit Peer(const QString& home)
    {
        m_process.setEnvironment(PeerHomeVariable, home);
        m_process.setEnvironment("KIVOTAB_CLOUD", cloudFolder());
        m_started = m_process.startTests("CloudPeerChild.FollowsCommands");
    }
    bool started() const { return m_started; }
    void send(const QString& command) { m_process.write((command + '\n').toUtf8()); }
    // The first line of output that starts with `prefix`, of what came since the last one
    // found.
    QString expect(const QString& prefix, int timeoutMs = 30000)
    {
        QString found;
        testsupport::waitUntil(
            [&] {
                const QByteArray& output = m_process.standardOutput();
                const QStringList lines = QString::fromUtf8(output.mid(m_read)).split('\n');
                for (const QString& line : lines) {
                    if (line.startsWith(prefix)) {
                        found = line;
                        m_read = output.size();
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    bool quit()
    {
        send("quit");
        m_process.closeInput();
        return m_process.waitForExit(30000) && m_process.exited() && m_process.exitCode() == 0;
    }
    // How it ended, if it has, and all it printed.
    std::string report() { return m_process.report(); }

private:
    testsupport::ChildProcess m_process;
    qsizetype m_read = 0;
    bool m_started = false;
};

} // namespace

TEST(CloudPeerChild, FollowsCommands)
{
    const QByteArray home = qgetenv(PeerHomeVariable);
    if (home.isEmpty())
        GTEST_SKIP() << "the other machine of TwoMachinesSharingTheCloudFolderSeeEachOthersSaves";
    qputenv("KIVOTAB_HOME", home);
    platform::UserDefaults::standard().reload();
    cd::CloudContainer::setPollInterval(40);
    platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);

    TestDelegate delegate;
    auto manager = CloudStoreManager::initStoreNamed("Kivotab", model(), {}, {}, {}, {}, &delegate);
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate.loads >= 1; }, 30000));
    std::atomic<int> imports { 0 };
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::StoreDidImportChangesNotification, manager.get(),
        [&](const platform::Notification&) { ++imports; });
    say("ready " + manager->activeCloudStoreUUID());

    CommandReader reader;
    QStringList waiting;
    for (bool running = true; running;) {
        testsupport::processEvents(10);
        waiting << reader.take();
        QStringList later;
        auto context = delegate.currentContext();
        for (const QString& command : std::as_const(waiting)) {
            const QStringList words = command.split(' ');
            const QString verb = words.value(0);
            if (verb == "quit") {
                running = false;
                continue;
            }
            if (!context) {
                later << command;
                continue;
            }
            if (verb == "insert" || verb == "update") {
                auto* object = verb == "insert" ? context->insertNewObject("Database")
                                                : findDatabase(*context, words.value(1));
                ASSERT_TRUE(object) << command.toStdString();
                object->setValue("id", words.value(1));
                object->setValue("name", words.value(2));
                object->setValue("mtimestamp", words.value(3).toDouble());
                ASSERT_TRUE(context->save());
                say("done " + words.value(1));
            } else if (verb == "delete") {
                context->deleteObject(findDatabase(*context, words.value(1)));
                ASSERT_TRUE(context->save());
                say("done " + words.value(1));
            } else if (verb == "wait") {
                auto* object = findDatabase(*context, words.value(1));
                // Seen once the import has been announced, not merely once the row is there.
                if (object && object->value("name").toString() == words.value(2) && imports > 0)
                    say(QStringLiteral("seen %1 %2 %3")
                            .arg(words.value(1), words.value(2))
                            .arg(imports));
                else
                    later << command;
            } else if (verb == "gone") {
                if (!findDatabase(*context, words.value(1)))
                    say("gone " + words.value(1));
                else
                    later << command;
            }
        }
        waiting = later;
    }
    platform::NotificationCenter::defaultCenter().removeObserver(token);
    manager.reset();
}

TEST_F(CloudStoreTest, TwoMachinesSharingTheCloudFolderSeeEachOthersSaves)
{
    start(true);
    const QString uuid = manager->activeCloudStoreUUID();
    std::atomic<int> imports { 0 };
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        CloudStoreManager::StoreDidImportChangesNotification, manager.get(),
        [&](const platform::Notification&) { ++imports; });
    auto nameOf = [&](const QString& id) {
        auto context = delegate.currentContext();
        auto* object = context ? findDatabase(*context, id) : nullptr;
        return object ? object->value("name").toString() : QString();
    };

    Peer other(testsupport::homePath() + "/other-machine");
    ASSERT_TRUE(other.started()) << other.report();
    EXPECT_EQ(other.expect("ready"), "ready " + uuid) << "the other machine joins this store";

    // A row saved here arrives there, with the import notification.
    addDatabases({ "P1" });
    other.send("wait P1 Name_P1");
    auto context = delegate.currentContext();
    findDatabase(*context, "P1")->setValue("name", "Name_P1");
    ASSERT_TRUE(context->save());
    const QString seen = other.expect("seen P1");
    ASSERT_FALSE(seen.isEmpty()) << other.report();
    EXPECT_GT(seen.section(' ', 3).toInt(), 0);

    // And one saved there arrives here.
    other.send("insert C1 FromChild 100");
    ASSERT_FALSE(other.expect("done C1").isEmpty());
    EXPECT_TRUE(
        testsupport::waitUntil([&] { return nameOf("C1") == "FromChild" && imports > 0; }, 30000));

    // A deletion travels too.
    context = delegate.currentContext();
    context->deleteObject(findDatabase(*context, "P1"));
    ASSERT_TRUE(context->save());
    other.send("gone P1");
    EXPECT_FALSE(other.expect("gone P1").isEmpty());

    // Both edit one row: whichever machine's edit the other has not seen yet, the later
    // mtimestamp wins on both machines, whichever machine made it; an edit made after
    // seeing the other's comes after it anyway.
    other.send("update C1 Older 1000");
    ASSERT_FALSE(other.expect("done C1").isEmpty());
    findDatabase(*context, "C1")->setValue("name", "Newer");
    findDatabase(*context, "C1")->setValue("mtimestamp", 2000.0);
    ASSERT_TRUE(context->save());
    other.send("wait C1 Newer");
    EXPECT_FALSE(other.expect("seen C1 Newer").isEmpty());
    testsupport::processEvents(300);
    EXPECT_EQ(nameOf("C1"), "Newer");

    findDatabase(*context, "C1")->setValue("name", "Between");
    findDatabase(*context, "C1")->setValue("mtimestamp", 3000.0);
    ASSERT_TRUE(context->save());
    other.send("update C1 Newest 4000");
    ASSERT_FALSE(other.expect("done C1").isEmpty());
    EXPECT_TRUE(testsupport::waitUntil([&] { return nameOf("C1") == "Newest"; }, 30000));
    other.send("wait C1 Newest");
    EXPECT_FALSE(other.expect("seen C1 Newest").isEmpty());
    testsupport::processEvents(300);
    EXPECT_EQ(nameOf("C1"), "Newest");

    EXPECT_TRUE(other.quit()) << other.report();
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

// Named: the sources of a test binary are compiled in batches.
namespace runningapplications {

const QString kContacts = QStringLiteral("7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A");
const QString kName = QStringLiteral("319525EF-176E-4462-93BA-68EB30D7D6E7");
const QString kPhone = QStringLiteral("89C20BFE-16C0-4414-A9FD-40BDB2692BD2");

// The application's delegate as main makes it, without taking over the process's signals.
class ApplicationDelegate : public AppDelegate {
protected:
    void installCrashHandler() override { }
};

// Two running applications on one cloud folder, each with the application's own delegate
// and a home of its own: this process, and the other machine (the test again in a child,
// which takes the steps the test names before it starts it). The objects each machine
// holds are what its screens would hold: loaded once, then used again.
struct CloudPeerTest : ::testing::Test {
    static constexpr int ArrivalMs = 60000;

    void SetUp() override
    {
        if (!testsupport::OtherMachine::isOtherMachine()) {
            QDir().mkpath(cloudFolder());
            qputenv("KIVOTAB_CLOUD", cloudFolder().toUtf8());
        }
        cd::CloudContainer::setPollInterval(40);
        platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
        ModelRegistry::registerClasses();
        launch();
        columns = TemplateColumn::getColumns(kContacts);
        ASSERT_FALSE(columns.isEmpty());
    }

    // This machine's application starts, and has its cloud store loaded.
    void launch()
    {
        delegate = std::make_unique<ApplicationDelegate>();
        delegate->setLaunchWait([](int, std::function<void()> done) { done(); });
        ASSERT_TRUE(delegate->didFinishLaunching());
        // Loaded, and the store's marker names it for the other machine.
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                QFile marker(manager().URLForCloudStoreUUID().toLocalFile());
                return delegate->isStoreReady() && !storeUUID().isEmpty()
                    && marker.open(QIODevice::ReadOnly)
                    && QString::fromLatin1(marker.readAll()) == storeUUID();
            },
            ArrivalMs))
            << "no cloud store loaded";
    }

    void TearDown() override
    {
        if (other.started()) {
            EXPECT_TRUE(other.quit()) << other.report();
        }
        delegate.reset();
        qunsetenv("KIVOTAB_CLOUD");
    }

    CloudStoreManager& manager() const { return *delegate->cloudStoreManager(); }
    QString storeUUID() const { return manager().activeCloudStoreUUID(); }

    bool startOtherMachine()
    {
        return other.startOnCloud(cloudFolder(), [this] { return storeUUID(); });
    }

    ::testing::AssertionResult onOther(const QString& step, const QString& argument = {})
    {
        return other.runStep(step, argument);
    }

    static QString within(const std::function<bool()>& condition, const QString& what)
    {
        return testsupport::waitUntil(condition, ArrivalMs) ? QString() : "never came: " + what;
    }

    // A table of contacts in a database of its own, with one row, saved as the screens save.
    void makeTable()
    {
        Database* database = Database::add();
        database->setName("Household");
        database->setDescr("Shared");
        ASSERT_TRUE(database->saveDatabase());
        UserTemplate* made = UserTemplate::add(database->id().toString());
        made->setTemplate_id(kContacts);
        made->setName("Friends");
        made->setDescr("Friends");
        ASSERT_TRUE(made->saveUserTemplate());
        Rows* bob = Rows::add(made->id().toString());
        bob->updateData({ { kName, "Bob" }, { kPhone, "555" } }, columns, std::nullopt);
        ASSERT_TRUE(bob->saveRows());
        table = made;
        row = bob;
    }

    // The table and its one row as this machine loads them, once they are there.
    bool loadTable()
    {
        return testsupport::waitUntil([&] { return findTable(); }, ArrivalMs);
    }
    bool findTable()
    {
        for (UserTemplate* found : UserTemplate::getUserTemplatesAll()) {
            if (found->name().toString() != "Friends")
                continue;
            const auto rows = Rows::getRows(found->id().toString(), columns, {}, {}, std::nullopt);
            if (rows.size() != 1)
                return false;
            table = found;
            row = rows.first();
            return true;
        }
        return false;
    }

    // The columns, the table and its row as the store holds them now: what was held before
    // is gone with a store that changed since.
    bool lookAgain()
    {
        columns = TemplateColumn::getColumns(kContacts);
        return !columns.isEmpty() && findTable();
    }

    // How many objects of each kind the store holds, and of how many ids when fewer.
    QString objects() const
    {
        // None while the store changes (the other machine's account may come and go).
        cd::ManagedObjectContext* context = delegate->managedObjectContext();
        if (!context)
            return QStringLiteral("no store");
        QStringList kinds;
        for (const char* entity :
            { "Database", "Template", "TemplateColumn", "UserTemplate", "Rows" }) {
            const auto found = context->executeFetchRequest(cd::FetchRequest(entity));
            QSet<QString> ids;
            for (auto* object : found)
                ids.insert(object->value("id").toString());
            kinds << QStringLiteral("%1:%2").arg(entity).arg(found.size());
            if (ids.size() != found.size())
                kinds.last() += QStringLiteral("(%1 ids)").arg(ids.size());
        }
        return kinds.join(' ');
    }

    // The values the held row shows now, and those the table's rows show when read again.
    QString held() const { return text(row->getData(columns, std::nullopt)); }
    QString fetched() const
    {
        const auto rows = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt);
        return rows.size() == 1 ? text(rows.first()->getData(columns, std::nullopt)) : "?";
    }
    static QString text(const QVariantMap& values)
    {
        return values.value(kName).toString() + "/" + values.value(kPhone).toString();
    }

    // An edit of one field made from the held row, as the row form makes it: the other
    // values are those the row holds.
    bool edit(const QString& key, const QString& value)
    {
        QVariantMap values = row->getData(columns, std::nullopt);
        values.insert(key, value);
        row->updateData(values, columns, std::nullopt);
        return row->saveRows();
    }

    std::unique_ptr<ApplicationDelegate> delegate;
    Rows::Columns columns;
    QPointer<UserTemplate> table;
    QPointer<Rows> row;
    testsupport::OtherMachine other;
};

TEST_F(CloudPeerTest, TwoRunningApplicationsSeeEachOthersSavesInWhatTheyHaveLoaded)
{
    other.addStep("load", [this](const QString&) {
        return loadTable() ? QString() : QStringLiteral("the table never came");
    });
    // "<name>/<phone>": waits until the held row and a fetch both show it.
    other.addStep("expect", [this](const QString& expected) {
        return within([&] { return held() == expected && fetched() == expected; }, expected);
    });
    other.addStep("name", [this](const QString& name) {
        return edit(kName, name) ? QString() : QStringLiteral("not saved");
    });
    ASSERT_TRUE(startOtherMachine()) << other.report();
    makeTable();
    ASSERT_TRUE(onOther("load"));
    ASSERT_TRUE(onOther("expect", "Bob/555"));

    // Edited here: the row the other machine has loaded shows it.
    ASSERT_TRUE(edit(kPhone, "777"));
    EXPECT_TRUE(onOther("expect", "Bob/777"));
    // Edited there, from what it has loaded: both edits stand, here in the row held too.
    ASSERT_TRUE(onOther("name", "Bob Stone"));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return held() == "Bob Stone/777" && fetched() == "Bob Stone/777"; }, ArrivalMs))
        << held().toStdString();
    EXPECT_FALSE(delegate->managedObjectContext()->hasChanges());
    // And the next edit here keeps the other's.
    ASSERT_TRUE(edit(kPhone, "888"));
    EXPECT_TRUE(onOther("expect", "Bob Stone/888"));
    testsupport::processEvents(300);
    EXPECT_EQ(fetched(), "Bob Stone/888");
}

TEST_F(CloudPeerTest, ATablesProtectionSetOnTheOtherMachineShowsInTheTableHeldHere)
{
    // "<protected> <password>": waits until the table held there is in that state.
    other.addStep("protection", [this](const QString& state) {
        const bool wanted = state.section(' ', 0, 0) == "1";
        const QString password = state.section(' ', 1);
        return within(
            [&] {
                return table && table->isprotected().toBool() == wanted
                    && (!wanted || table->isPasswordValid(password));
            },
            state);
    });
    other.addStep("load", [this](const QString&) {
        return loadTable() ? QString() : QStringLiteral("the table never came");
    });
    ASSERT_TRUE(startOtherMachine()) << other.report();
    makeTable();
    ASSERT_TRUE(onOther("load"));
    ASSERT_TRUE(onOther("protection", "0"));

    QString message;
    ASSERT_TRUE(table->changeProtection(std::nullopt, QString("secret"), columns, &message))
        << message.toStdString();
    EXPECT_TRUE(onOther("protection", "1 secret"));
    ASSERT_TRUE(table->changeProtection(QString("secret"), std::nullopt, columns, &message))
        << message.toStdString();
    EXPECT_TRUE(onOther("protection", "0"));
}

// The other entities held here take the other machine's changes as well: a database
// renamed there, its definition's description changed and a column renamed show in the
// objects this machine loaded before.
TEST_F(CloudPeerTest, ADatabaseAndADefinitionChangedOnTheOtherMachineShowInTheObjectsHeldHere)
{
    QPointer<Database> database;
    QPointer<Template> definition;
    QPointer<TemplateColumn> phone;
    const auto hold = [&] {
        for (Database* found : Database::getDatabases())
            if (found->name().toString() == "Household")
                database = found;
        definition = Template::getTemplate(kContacts);
        phone = TemplateColumn::getColumnForId(kPhone, columns);
        return database && definition && phone;
    };
    other.addStep("load", [&](const QString&) {
        return loadTable() && hold() ? QString() : QStringLiteral("nothing to hold");
    });
    // "<database>|<description>|<column>": waits until the objects held there show them.
    other.addStep("names", [&](const QString& names) {
        return within(
            [&] {
                return database && definition && phone
                    && database->name().toString() == names.section('|', 0, 0)
                    && definition->descr().toString() == names.section('|', 1, 1)
                    && phone->name().toString() == names.section('|', 2, 2);
            },
            names);
    });
    ASSERT_TRUE(startOtherMachine()) << other.report();
    makeTable();
    ASSERT_TRUE(hold());
    ASSERT_TRUE(onOther("load"));
    ASSERT_TRUE(onOther("names", "Household|" + definition->descr().toString() + "|Phone"));

    database->setName("Home");
    ASSERT_TRUE(database->saveDatabase());
    definition->setDescr("People we know");
    ASSERT_TRUE(definition->saveTemplate());
    phone->setName("Mobile");
    ASSERT_TRUE(phone->saveTemplateColumn());
    EXPECT_TRUE(onOther("names", "Home|People we know|Mobile"));
}

// This machine starts again with the account's folder at another path, moved or copied
// there (the other machine reaching it at the old path, as a syncing tool keeps both), with
// a save still waiting to be sent.
struct CloudFolderElsewhereTest : CloudPeerTest, ::testing::WithParamInterface<bool> { };

TEST_P(CloudFolderElsewhereTest, KeepsEveryObjectOnceOnBothMachinesAndEditsGoingBothWays)
{
    const bool copied = GetParam();
    // "<name>/<phone>": waits until the table's row there shows it.
    other.addStep("expect", [this](const QString& expected) {
        return within([&] { return lookAgain() && fetched() == expected; }, expected);
    });
    other.addStep("objects", [this](const QString& expected) {
        return within([&] { return objects() == expected; }, expected + ", not " + objects());
    });
    other.addStep("phone", [this](const QString& phone) {
        return within([&] { return lookAgain() && edit(kPhone, phone); }, "saved " + phone);
    });
    ASSERT_TRUE(startOtherMachine()) << other.report();
    makeTable();
    ASSERT_TRUE(onOther("expect", "Bob/555"));
    const QString identity = storeUUID();

    const QString away = cloudFolder() + ".away";
    {
        PersistenceQueueHold hold(manager());
        ASSERT_TRUE(QDir().rename(cloudFolder(), away));
        ASSERT_TRUE(edit(kPhone, "777"));
    }
    delegate.reset();
    const QString elsewhere = testsupport::homePath() + "/elsewhere/cloud";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(elsewhere).absolutePath()));
    if (copied) {
        int copying = -1;
        testsupport::runTool("cp", { "-R", away, elsewhere }, {}, &copying);
        ASSERT_EQ(copying, 0);
        ASSERT_TRUE(QDir(away).removeRecursively());
    } else {
        ASSERT_TRUE(QDir().rename(away, elsewhere));
    }
    ASSERT_TRUE(QFile::link(elsewhere, cloudFolder()));
    // Started again, as a new process starts: the account is looked at afresh.
    cd::CloudContainer::reset();
    cd::CloudContainer::setPollInterval(40);
    qputenv("KIVOTAB_CLOUD", elsewhere.toUtf8());
    launch();
    EXPECT_EQ(storeUUID(), identity);
    // The store may be reloaded meanwhile (an account's change told late): each look waits
    // for one.
    QString here;
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return (here = objects()) != "no store"; }, ArrivalMs));
    EXPECT_FALSE(here.contains("ids")) << here.toStdString();
    ASSERT_TRUE(testsupport::waitUntil([&] { return lookAgain(); }, ArrivalMs));
    EXPECT_EQ(fetched(), "Bob/777");
    EXPECT_TRUE(onOther("expect", "Bob/777")) << "the save that waited arrives";
    EXPECT_TRUE(onOther("objects", here));

    ASSERT_TRUE(
        testsupport::waitUntil([&] { return lookAgain() && edit(kName, "Bob Stone"); }, ArrivalMs));
    EXPECT_TRUE(onOther("expect", "Bob Stone/777"));
    ASSERT_TRUE(onOther("phone", "888"));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return lookAgain() && fetched() == "Bob Stone/888"; }, ArrivalMs))
        << fetched().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return objects() == here; }, ArrivalMs))
        << objects().toStdString();
    EXPECT_TRUE(onOther("objects", here));
}

INSTANTIATE_TEST_SUITE_P(MovedOrCopied, CloudFolderElsewhereTest, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& info) {
        return std::string(info.param ? "Copied" : "Moved");
    });

} // namespace runningapplications
