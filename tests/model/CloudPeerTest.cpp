#include "CloudStoreFixture.h"

#include "platform/NotificationCenter.h"

#include "common/ChildProcess.h"

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
