// The objects a context holds stay found by their row through every insertion, deletion and
// growth of its table of them.
#include "StoreFixture.h"

using namespace storetest;

namespace {

constexpr int RowCount = 3000;

class RegisteredObjectsTest : public StoreTest {
protected:
    QList<cd::ManagedObject*> fetchAll(cd::ManagedObjectContext& in) const
    {
        cd::FetchRequest request("Rows");
        request.setIncludesPropertyValues(false);
        return in.executeFetchRequest(request);
    }
};

} // namespace

TEST_F(RegisteredObjectsTest, ObjectsStayFoundThroughDeletionsAndNewRows)
{
    for (int i = 0; i < RowCount; ++i)
        make("Rows", { { "id", QString("R%1").arg(i) }, { "order", i } });
    ASSERT_TRUE(context->save());
    auto fresh = reopen();
    const QList<cd::ManagedObject*> rows = fetchAll(*fresh);
    ASSERT_EQ(rows.size(), RowCount);
    QList<cd::ObjectID> ids;
    for (cd::ManagedObject* row : rows)
        ids << row->objectID();

    // A fetch again hands out the same objects; a lookup by row finds each.
    const QList<cd::ManagedObject*> again = fetchAll(*fresh);
    ASSERT_EQ(QSet<cd::ManagedObject*>(again.cbegin(), again.cend()),
        QSet<cd::ManagedObject*>(rows.cbegin(), rows.cend()));
    for (int i = 0; i < RowCount; ++i)
        ASSERT_EQ(fresh->existingObjectWithID(ids[i]), rows[i]) << i;

    // Rows deleted here and there (runs of neighbours and single ones) leave every other
    // one found, the same object as before.
    QSet<int> deleted;
    for (int i = 0; i < RowCount; ++i)
        if (i % 3 == 0 || (i / 100) % 7 == 2)
            deleted.insert(i);
    for (int i : std::as_const(deleted))
        fresh->deleteObject(rows[i]);
    ASSERT_TRUE(fresh->save());
    for (int i = 0; i < RowCount; ++i) {
        if (deleted.contains(i))
            EXPECT_EQ(fresh->existingObjectWithID(ids[i]), nullptr) << i;
        else
            ASSERT_EQ(fresh->existingObjectWithID(ids[i]), rows[i]) << i;
    }

    // New rows saved here are found by their row too, beside the old ones.
    QList<cd::ManagedObject*> added;
    for (int i = 0; i < RowCount / 2; ++i) {
        cd::ManagedObject* row = fresh->insertNewObject("Rows");
        row->setValue("id", QString("N%1").arg(i));
        added << row;
    }
    ASSERT_TRUE(fresh->save());
    for (cd::ManagedObject* row : std::as_const(added))
        ASSERT_EQ(fresh->existingObjectWithID(row->objectID()), row);
    EXPECT_EQ(fetchAll(*fresh).size(), RowCount - deleted.size() + added.size());
    for (int i = 0; i < RowCount; ++i) {
        if (!deleted.contains(i)) {
            ASSERT_EQ(fresh->existingObjectWithID(ids[i]), rows[i]) << i;
        }
    }

    // After a reset nothing is held: a lookup makes a new object of the row.
    fresh->reset();
    cd::ManagedObject* remade = fresh->existingObjectWithID(ids[1]);
    ASSERT_NE(remade, nullptr);
    EXPECT_EQ(remade->objectID(), ids[1]);
}
