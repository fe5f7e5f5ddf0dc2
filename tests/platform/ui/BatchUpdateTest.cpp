#include "platform/ui/BatchUpdate.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(BatchUpdate, MapsEveryOldPlaceThroughDeletesInsertsAndMoves)
{
    // Section 0: a b c d e; delete b, move d to the front, insert x at 2.
    // After: d a x c e
    BatchUpdate update({ 5, 3 });
    update.deleteItems({ IndexPath(1, 0) });
    update.moveItem(IndexPath(3, 0), IndexPath(0, 0));
    update.insertItems({ IndexPath(2, 0) });
    QString error;
    ASSERT_TRUE(update.resolve({ 5, 3 }, &error)) << error.toStdString();
    EXPECT_EQ(update.newIndexPath(IndexPath(0, 0)), IndexPath(1, 0)); // a
    EXPECT_FALSE(update.newIndexPath(IndexPath(1, 0)).has_value()); // b
    EXPECT_EQ(update.newIndexPath(IndexPath(2, 0)), IndexPath(3, 0)); // c
    EXPECT_EQ(update.newIndexPath(IndexPath(3, 0)), IndexPath(0, 0)); // d
    EXPECT_EQ(update.newIndexPath(IndexPath(4, 0)), IndexPath(4, 0)); // e
    EXPECT_EQ(update.oldIndexPath(IndexPath(2, 0)), std::nullopt); // x is new
    EXPECT_EQ(update.oldIndexPath(IndexPath(3, 0)), IndexPath(2, 0));
    EXPECT_EQ(update.newIndexPath(IndexPath(2, 1)), IndexPath(2, 1)); // untouched section
}

TEST(BatchUpdate, SectionsShiftAroundInsertedAndDeletedOnesAndReloadsMakeAnew)
{
    BatchUpdate update({ 2, 4, 1, 3 });
    update.deleteSections({ 1 });
    update.insertSections({ 0 });
    update.reloadSections({ 3 });
    update.reloadItems({ IndexPath(0, 2) });
    QString error;
    ASSERT_TRUE(update.resolve({ 7, 2, 1, 5 }, &error)) << error.toStdString();
    EXPECT_EQ(update.newSection(0), 1);
    EXPECT_FALSE(update.newSection(1).has_value());
    EXPECT_EQ(update.newSection(2), 2);
    EXPECT_EQ(update.newSection(3), 3);
    EXPECT_EQ(update.oldSection(0), std::nullopt);
    EXPECT_TRUE(update.isSectionInserted(0));
    EXPECT_FALSE(update.newIndexPath(IndexPath(0, 1)).has_value());
    // Reloaded: the place stays, the element is made anew.
    EXPECT_EQ(update.newIndexPath(IndexPath(0, 2)), IndexPath(0, 2));
    EXPECT_TRUE(update.isReloaded(IndexPath(0, 2)));
    EXPECT_FALSE(update.oldIndexPath(IndexPath(0, 2)).has_value());
    // A reloaded section may change its count; its new rows have no old place.
    EXPECT_TRUE(update.isReloaded(IndexPath(2, 3)));
    EXPECT_FALSE(update.oldIndexPath(IndexPath(4, 3)).has_value());
}

TEST(BatchUpdate, CountsThatDoNotAddUpAreRefusedWithTheReason)
{
    QString error;
    BatchUpdate items({ 3 });
    items.deleteItems({ IndexPath(0, 0) });
    EXPECT_FALSE(items.resolve({ 3 }, &error));
    EXPECT_TRUE(error.contains("invalid number of items in section 0")) << error.toStdString();
    EXPECT_TRUE(error.contains("0 inserted, 1 deleted")) << error.toStdString();

    BatchUpdate sections({ 3, 1 });
    sections.insertSections({ 1 });
    EXPECT_FALSE(sections.resolve({ 3, 1 }, &error));
    EXPECT_TRUE(error.contains("invalid number of sections")) << error.toStdString();

    BatchUpdate range({ 3 });
    range.deleteItems({ IndexPath(3, 0) });
    EXPECT_FALSE(range.resolve({ 2 }, &error));
    EXPECT_TRUE(error.contains("attempt to delete item 3")) << error.toStdString();

    BatchUpdate into({ 3, 0 });
    into.moveItem(IndexPath(0, 0), IndexPath(0, 1));
    EXPECT_TRUE(into.resolve({ 2, 1 }, &error)) << error.toStdString();
    EXPECT_EQ(into.newIndexPath(IndexPath(1, 0)), IndexPath(0, 0));
    EXPECT_EQ(into.newIndexPath(IndexPath(0, 0)), IndexPath(0, 1));
}
