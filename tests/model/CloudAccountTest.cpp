#include "CloudStoreFixture.h"

#include "platform/coredata/FileCoordinator.h"

using namespace cloudstoretest;

namespace {

// The cloud folder as one account's machines share it, taken away and put back whole.
class CloudAccountTest : public CloudStoreTest {
protected:
    static QString firstAway() { return cloudFolder() + ".first"; }

    QString localStore() const { return appSupport() + "/Kivotab.sqlite"; }

    void waitForTheCloudStore(const QString& identity, const QString& store = {})
    {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] {
                return manager->activeCloudStoreUUID() == identity
                    && (store.isEmpty() || loadedStoreFile() == store) && delegate.currentContext();
            },
            20000))
            << delegate.allLogs().join('\n').toStdString();
        drain();
    }
};

} // namespace

TEST_F(CloudAccountTest, AnAccountBackBeforeTheMonitorLooksIsLoadedAgain)
{
    start(true);
    const QString identity = manager->activeCloudStoreUUID();
    const QString store = loadedStoreFile();
    addDatabases({ "a" });

    // The share is unmounted and the marker's presenter hears of it first: the monitor of
    // the account, which looks from the main thread's events, has not looked meanwhile.
    ASSERT_TRUE(QDir().rename(cloudFolder(), firstAway()));
    ASSERT_TRUE(QDir().mkpath(cloudFolder()));
    cd::FileCoordinator::lookAtPresentedItems();
    ASSERT_TRUE(waitWithoutEvents([&] { return loadedStoreFile() == localStore(); }))
        << delegate.allLogs().join('\n').toStdString();

    // The share is back before the monitor's next look.
    ASSERT_TRUE(QDir(cloudFolder()).removeRecursively());
    ASSERT_TRUE(QDir().rename(firstAway(), cloudFolder()));
    waitForTheCloudStore(identity, store);
    addDatabases({ "b" });
    EXPECT_EQ(databaseIds(), (QStringList { "a", "b" }));
}
