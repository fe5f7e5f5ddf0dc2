#include "utilities/data/Guid.h"
#include "platform/Exception.h"

#include "common/ChildProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSet>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <thread>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ForkedLimitMs = 60000;

int threadCount()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Waits for the forked process to end, for a minute at most.
bool waitForExit(pid_t process, int* status)
{
    QDeadlineTimer deadline(ForkedLimitMs);
    for (;;) {
        const pid_t ended = waitpid(process, status, WNOHANG);
        if (ended == process)
            return true;
        if (ended < 0 || deadline.hasExpired())
            return false;
        usleep(1000);
    }
}

const uint8_t kBytes[16] = { 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0xf0, 0xe1, 0xd2, 0xc3,
    0xb4, 0xa5, 0x96, 0x87 };

} // namespace

TEST(Guid, TextFormsByFlags)
{
    EXPECT_EQ(
        Guid::emptyGuid().stringValue(), QStringLiteral("00000000-0000-0000-0000-000000000000"));
    const Guid guid(kBytes);
    EXPECT_EQ(guid.stringValue(), QStringLiteral("01234567-89ab-cdef-f0e1-d2c3b4a59687"));
    EXPECT_EQ(guid.description(), guid.stringValue());
    EXPECT_EQ(guid.compactStringValue(), QStringLiteral("0123456789abcdeff0e1d2c3b4a59687"));
    EXPECT_EQ(
        guid.stringValueWithFormat(15), QStringLiteral("{01234567-89AB-CDEF-F0E1-D2C3B4A59687}"));
    EXPECT_EQ(
        guid.stringValueWithFormat(5), QStringLiteral("(01234567-89ab-cdef-f0e1-d2c3b4a59687)"));
    EXPECT_EQ(guid.stringValueWithFormat(6), QStringLiteral("{0123456789abcdeff0e1d2c3b4a59687}"));
    for (unsigned flags = 0; flags < 16; ++flags)
        EXPECT_EQ(Guid::guidFromString(guid.stringValueWithFormat(flags)), guid) << flags;
}

TEST(Guid, ParsingRejectsBadTextClearly)
{
    EXPECT_TRUE(
        Guid::guidFromString(QStringLiteral("0123456789ABCDEFf0e1d2c3b4a59687")).has_value());
    for (const QString& bad : {
             QString(),
             QStringLiteral("0123456-789ab-cdef-f0e1-d2c3b4a59687"), // hyphen out of place
             QStringLiteral("0123456789abcdeff0e1d2c3b4a5968"), // 31 digits
             QStringLiteral("0123456789abcdeff0e1d2c3b4a5968g"), // not a digit
             QStringLiteral("{0123456789abcdeff0e1d2c3b4a59687)"), // brackets do not match
             QStringLiteral("01234567-89ab-cdef-f0e1-d2c3b4a5968-7"),
             QStringLiteral("0123456789abcdef-f0e1d2c3b4a59687---"),
         }) {
        EXPECT_EQ(Guid::guidFromString(bad), std::nullopt) << bad.toStdString();
        uint8_t bytes[16];
        EXPECT_FALSE(Guid::guidBytesFromString(bad, bytes));
    }
    try {
        Guid guid(QStringLiteral("nope"));
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), QStringLiteral("Guid wrong format"));
        EXPECT_EQ(exception.reason(), QStringLiteral("The string nope is not a value guid"));
    }
}

TEST(Guid, EqualityHashCopyAndArchive)
{
    const Guid guid(kBytes);
    const Guid copy = guid;
    EXPECT_EQ(copy, guid);
    EXPECT_EQ(copy.hash(), guid.hash());
    EXPECT_EQ(guid.hash(), 0x67452301u ^ 0xefcdab89u ^ 0xc3d2e1f0u ^ 0x8796a5b4u);
    EXPECT_FALSE(guid.isEqual(QVariant(guid.stringValue())));
    EXPECT_TRUE(guid.isEqual(QVariant::fromValue(copy)));
    EXPECT_TRUE(Guid().isEmpty());
    EXPECT_FALSE(guid.isEmpty());

    const Guid random = Guid::randomGuid();
    EXPECT_NE(random, Guid::randomGuid());
    EXPECT_EQ(random.uuidBytes().version(), QUuid::Random);
    EXPECT_EQ(Guid(random.uuidBytes()), random);

    QVariantMap archive;
    guid.encodeWithCoder(archive);
    EXPECT_EQ(archive.value("data").toByteArray().size(), 16);
    EXPECT_EQ(Guid::initWithCoder(archive), guid);
    archive.insert("data", QByteArray(15, 'x'));
    EXPECT_TRUE(Guid::initWithCoder(archive).isEmpty());
    EXPECT_TRUE(Guid::initWithCoder({}).isEmpty());
}

// Ids come from a buffer of random bytes: across its refills, on other threads and in a
// forked child, none repeats and each is a version 4 UUID of the RFC variant.
TEST(Guid, RandomIdsNeverRepeat)
{
    QSet<QString> seen;
    const auto check = [&](const Guid& id) {
        const QUuid uuid = id.uuidBytes();
        EXPECT_EQ(uuid.version(), QUuid::Random);
        EXPECT_EQ(uuid.variant(), QUuid::DCE);
        EXPECT_FALSE(id.isEmpty());
        seen.insert(id.stringValue());
    };
    constexpr int Count = 2000; // several pages of the buffer
    for (int i = 0; i < Count; ++i)
        check(Guid::randomGuid());
    std::vector<Guid> other(Count);
    std::thread([&] {
        for (Guid& id : other)
            id = Guid::randomGuid();
    }).join();
    for (const Guid& id : other)
        check(id);
    EXPECT_EQ(seen.size(), 2 * Count);

    // The child's next id is not the parent's next one. A fork leaves its child the forking
    // thread alone, with what locks the others held: it is made from a child of this test
    // that runs no other thread (this process may keep threads of earlier tests).
    testsupport::ChildProcess child;
    // Where Qt draws on a display, a thread of its own reads from it.
    child.setEnvironment("QT_QPA_PLATFORM", "offscreen");
    ASSERT_TRUE(child.startThisTest([] {
        if (const int threads = threadCount(); threads != 1) {
            std::fprintf(stderr, "%d threads where a fork needs one\n", threads);
            return 20;
        }
        int channel[2];
        if (pipe(channel) != 0)
            return 21;
        const pid_t forked = fork();
        if (forked < 0)
            return 22;
        if (forked == 0) {
            uint8_t bytes[16];
            Guid::randomGuid().byteDataToBuffer(bytes);
            const bool written = write(channel[1], bytes, sizeof bytes) == ssize_t(sizeof bytes);
            _exit(written ? 0 : 1);
        }
        close(channel[1]);
        uint8_t bytes[16] = {};
        pollfd said { channel[0], POLLIN, 0 };
        const bool read16 = poll(&said, 1, ForkedLimitMs) == 1
            && read(channel[0], bytes, sizeof bytes) == ssize_t(sizeof bytes);
        close(channel[0]);
        int status = 0;
        if (!waitForExit(forked, &status)) {
            kill(forked, SIGKILL);
            waitForExit(forked, &status);
            return 23;
        }
        if (!read16)
            return 24;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return 25;
        return Guid(bytes) != Guid::randomGuid() ? 0 : 26;
    })) << child.report();
    ASSERT_TRUE(child.waitForExit()) << child.report();
    EXPECT_EQ(child.exitCode(), 0) << child.report();
}
