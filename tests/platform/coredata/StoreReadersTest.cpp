// The connections that read a store's file beside its own.
#include "StoreFixture.h"

#include "platform/coredata/StoreReaders.h"

#include <sqlite3.h>

using namespace storetest;

namespace {

const cd::StoreReaders::Kind keysKind { "PRAGMA cache_size=-256",
    { "SELECT rowid FROM \"Rows\"" } };
const cd::StoreReaders::Kind countKind { {}, { "SELECT COUNT(*) FROM \"Rows\"", "SELECT 1" } };

QByteArray sqlOf(sqlite3_stmt* statement)
{
    return statement ? QByteArray(sqlite3_sql(statement)) : QByteArray();
}

struct StoreReadersTest : StoreTest { };

} // namespace

TEST_F(StoreReadersTest, KeepEachUsersConnectionsApartAndCloseThemWithTheStore)
{
    const auto& readers = store->readers();
    ASSERT_TRUE(readers);
    const int keysUser = 0;
    const int countUser = 0;
    {
        // One user's idle connection is never another's: their statements differ.
        cd::StoreReaders::Lease keys(*readers, &keysUser, keysKind);
        ASSERT_TRUE(keys);
        EXPECT_EQ(sqlOf(keys.statement(0)), keysKind.statements[0]);
        keys.succeeded();
    }
    {
        cd::StoreReaders::Lease count(*readers, &countUser, countKind);
        ASSERT_TRUE(count);
        EXPECT_EQ(sqlOf(count.statement(0)), countKind.statements[0]);
        EXPECT_EQ(sqlOf(count.statement(1)), countKind.statements[1]);
        EXPECT_EQ(readers->openCount(), 2u);
        // A user's own idle one serves its next read; a second read at once opens another.
        cd::StoreReaders::Lease again(*readers, &keysUser, keysKind);
        cd::StoreReaders::Lease beside(*readers, &keysUser, keysKind);
        ASSERT_TRUE(again && beside);
        EXPECT_NE(again.db(), beside.db());
        EXPECT_EQ(readers->openCount(), 3u);
        again.succeeded();
        count.succeeded();
        // `beside` failed: its connection is not kept.
    }
    EXPECT_EQ(readers->openCount(), 2u);
    // A user that ends lets its idle connections go, not another's.
    readers->release(&keysUser);
    EXPECT_EQ(readers->openCount(), 1u);
    // A statement that cannot be prepared leaves nothing open.
    const cd::StoreReaders::Kind wrong { {}, { "SELECT 1", "SELECT nothing FROM nowhere" } };
    EXPECT_FALSE(cd::StoreReaders::Lease(*readers, &keysUser, wrong));
    EXPECT_EQ(readers->openCount(), 1u);

    // The store's close closes the idle ones and refuses any more.
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    EXPECT_TRUE(readers->isClosed());
    EXPECT_EQ(readers->openCount(), 0u);
    EXPECT_FALSE(cd::StoreReaders::Lease(*readers, &countUser, countKind));
    EXPECT_EQ(readers->openCount(), 0u);
}
