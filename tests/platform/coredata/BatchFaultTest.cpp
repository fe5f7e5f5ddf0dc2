// Fetches with a batch size hand out faults whose values are read when first touched.
#include "StoreFixture.h"

using namespace storetest;

namespace {

constexpr int RowCount = 100;
constexpr int BatchSize = 20;

class BatchFaults : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        // Stored out of order, so the fetch's order is not the keys'.
        for (int i = 0; i < RowCount; ++i) {
            const int order = (i * 37) % RowCount;
            make("Rows", { { "id", QString("R%1").arg(order) }, { "order", order } });
        }
        ASSERT_TRUE(context->save());
        fresh = reopen();
    }

    QList<cd::ManagedObject*> fetchByOrder(
        quint64 batchSize = BatchSize, bool withValues = true) const
    {
        cd::FetchRequest request("Rows");
        request.setSortDescriptors({ { "order", true } });
        request.setFetchBatchSize(batchSize);
        request.setIncludesPropertyValues(withValues);
        return fresh->executeFetchRequest(request);
    }

    static QList<int> faultsIn(const QList<cd::ManagedObject*>& objects)
    {
        QList<int> at;
        for (int i = 0; i < objects.size(); ++i) {
            if (objects[i]->isFault())
                at << i;
        }
        return at;
    }

    std::unique_ptr<cd::ManagedObjectContext> fresh;
};

QList<int> range(int from, int to)
{
    QList<int> list;
    for (int i = from; i < to; ++i)
        list << i;
    return list;
}

} // namespace

TEST_F(BatchFaults, TouchingAnObjectReadsItsBatchAndNothingElse)
{
    const auto rows = fetchByOrder();
    ASSERT_EQ(rows.size(), RowCount);
    EXPECT_EQ(faultsIn(rows), range(0, RowCount)) << "nothing read yet";

    EXPECT_EQ(rows[45]->value("id"), "R45");
    EXPECT_EQ(faultsIn(rows), range(0, 40) + range(60, RowCount));
    for (int i = 40; i < 60; ++i)
        EXPECT_EQ(rows[i]->value("order").toInt(), i);

    // Without a batch size every value comes with the fetch.
    auto plain = reopen();
    EXPECT_TRUE(faultsIn(plain->executeFetchRequest(cd::FetchRequest("Rows"))).isEmpty());
}

TEST_F(BatchFaults, ReadingOneAfterAnotherReadsEveryValueRight)
{
    for (bool withValues : { true, false }) {
        fresh = reopen();
        const auto rows = fetchByOrder(BatchSize, withValues);
        ASSERT_EQ(rows.size(), RowCount);
        for (int i = 0; i < RowCount; ++i) {
            EXPECT_EQ(rows[i]->value("id"), QString("R%1").arg(i));
            EXPECT_EQ(rows[i]->value("order").toInt(), i);
        }
        EXPECT_TRUE(faultsIn(rows).isEmpty());
    }
}

TEST_F(BatchFaults, RowsDeletedUnderneathStayFaultsAndTheOthersRead)
{
    const auto rows = fetchByOrder();
    auto other = reopen();
    cd::FetchRequest gone("Rows");
    gone.setPredicate(cd::Predicate::equal("order", 3));
    for (auto* row : other->executeFetchRequest(gone))
        other->deleteObject(row);
    ASSERT_TRUE(other->save());

    EXPECT_EQ(rows[2]->value("id"), "R2");
    EXPECT_TRUE(rows[3]->isFault());
    EXPECT_FALSE(rows[3]->value("id").isValid());
    EXPECT_EQ(rows[3]->managedObjectContext(), nullptr);
    EXPECT_EQ(rows[4]->value("id"), "R4");
}

TEST_F(BatchFaults, AFaultChangedBeforeItIsReadSavesOnlyTheChange)
{
    const auto rows = fetchByOrder();
    rows[70]->setValue("json", "{}");
    EXPECT_EQ(rows[70]->value("id"), "R70");
    EXPECT_EQ(fresh->updatedObjects(), QList<cd::ManagedObject*>({ rows[70] }));
    ASSERT_TRUE(fresh->save());

    auto check = reopen();
    cd::FetchRequest request("Rows");
    request.setPredicate(cd::Predicate::equal("id", "R70"));
    const auto stored = check->executeFetchRequest(request);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0]->value("json"), "{}");
    EXPECT_EQ(stored[0]->value("order").toInt(), 70);
}

TEST_F(BatchFaults, AStoredRowStaysOneObjectAcrossBatchedAndWholeFetches)
{
    const auto first = fetchByOrder();
    const auto second = fetchByOrder(7);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second[30]->value("id"), "R30");
    EXPECT_EQ(faultsIn(first), range(0, 28) + range(35, RowCount)) << "read by the later batch";

    const auto whole = fetchByOrder(0);
    EXPECT_EQ(whole, first);
    EXPECT_TRUE(faultsIn(first).isEmpty());
}

TEST_F(BatchFaults, RowsOfAnotherTableStoredBetweenAreLeftOut)
{
    for (int i = 0; i < RowCount; ++i) {
        make("Rows", { { "id", QString("A%1").arg(i) }, { "usertemplate_id", "A" } });
        make("Rows", { { "id", QString("B%1").arg(i) }, { "usertemplate_id", "B" } });
    }
    ASSERT_TRUE(context->save());
    fresh = reopen();
    cd::FetchRequest request("Rows");
    request.setPredicate(cd::Predicate::equal("usertemplate_id", "B"));
    request.setFetchBatchSize(BatchSize);
    const auto rows = fresh->executeFetchRequest(request);
    ASSERT_EQ(rows.size(), RowCount);
    for (int i = RowCount - 1; i >= 0; i -= 3)
        EXPECT_EQ(rows[i]->value("id"), QString("B%1").arg(i));
    for (int i = 0; i < RowCount; ++i)
        EXPECT_EQ(rows[i]->value("id"), QString("B%1").arg(i));
    cd::FetchRequest others("Rows");
    others.setPredicate(cd::Predicate::equal("usertemplate_id", "A"));
    others.setIncludesPropertyValues(false);
    const auto left = fresh->executeFetchRequest(others);
    ASSERT_EQ(left.size(), RowCount);
    EXPECT_EQ(faultsIn(left).size(), RowCount) << "not read with the others";
}

TEST_F(BatchFaults, ARefreshedObjectIsAFaultAgainAndReadsItsValuesAlone)
{
    const auto rows = fetchByOrder();
    EXPECT_EQ(rows[45]->value("id"), "R45");
    fresh->refreshObject(rows[45], false);
    EXPECT_TRUE(rows[45]->isFault());
    EXPECT_FALSE(rows[46]->isFault());
    // Read again alone, not with a batch around it.
    EXPECT_EQ(rows[45]->value("order").toInt(), 45);
    EXPECT_EQ(faultsIn(rows), range(0, 40) + range(60, RowCount));

    // Unsaved changes: kept when merged, dropped otherwise.
    rows[50]->setValue("json", "{\"a\":1}");
    fresh->refreshObject(rows[50], true);
    EXPECT_FALSE(rows[50]->isFault());
    EXPECT_EQ(rows[50]->value("json"), "{\"a\":1}");
    fresh->refreshObject(rows[50], false);
    EXPECT_TRUE(rows[50]->isFault());
    EXPECT_FALSE(fresh->hasChanges());
    EXPECT_NE(rows[50]->value("json"), "{\"a\":1}");

    // An object not yet stored keeps its values.
    cd::ManagedObject* added = fresh->insertNewObject("Rows");
    added->setValue("id", "new");
    fresh->refreshObject(added, false);
    EXPECT_EQ(added->value("id"), "new");
    EXPECT_TRUE(fresh->hasChanges());
}
