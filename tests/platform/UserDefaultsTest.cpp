#include "platform/UserDefaults.h"
#include "platform/Folders.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

using platform::UserDefaults;

TEST(UserDefaults, StoredValuesKeepTheirKindsAcrossAReload)
{
    auto& defaults = UserDefaults::standard();
    defaults.setObject("flag", true);
    defaults.setObject("count", 22);
    defaults.setObject("text", "Blue");
    defaults.setObject("map", QVariantMap { { "k", "v" } });
    defaults.reload();
    EXPECT_EQ(defaults.objectForKey("flag").typeId(), QMetaType::Bool);
    EXPECT_TRUE(defaults.boolForKey("flag"));
    EXPECT_EQ(defaults.integerForKey("count"), 22);
    EXPECT_EQ(defaults.stringForKey("text"), "Blue");
    EXPECT_EQ(defaults.objectForKey("map").toMap().value("k").toString(), "v");
}

TEST(UserDefaults, RegisteredDefaultsAnswerUntilSetAndAreNeverWritten)
{
    auto& defaults = UserDefaults::standard();
    defaults.registerDefaults({ { "tiles", 31 } });
    EXPECT_EQ(defaults.integerForKey("tiles"), 31);
    EXPECT_FALSE(defaults.hasStoredValue("tiles"));
    defaults.setObject("tiles", 5);
    EXPECT_EQ(defaults.integerForKey("tiles"), 5);
    defaults.removeObject("tiles");
    EXPECT_EQ(defaults.integerForKey("tiles"), 31);

    QFile file(defaults.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("tiles"));
}

TEST(UserDefaults, ACorruptFileReadsAsEmptyAndIsReplacedOnTheNextWrite)
{
    auto& defaults = UserDefaults::standard();
    {
        QFile file(defaults.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{ not json");
    }
    defaults.reload();
    EXPECT_FALSE(defaults.objectForKey("anything").isValid());
    defaults.setObject("after", "ok");
    defaults.reload();
    EXPECT_EQ(defaults.stringForKey("after"), "ok");
}

TEST(UserDefaults, ManyThreadsWritingAtOnceLoseNothing)
{
    auto& defaults = UserDefaults::standard();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &defaults] {
            for (int i = 0; i < 25; ++i)
                defaults.setObject(QString("k%1_%2").arg(t).arg(i), i);
        });
    }
    for (auto& thread : threads)
        thread.join();
    defaults.reload();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(defaults.integerForKey(QString("k%1_24").arg(t)), 24);
}
