#include "utilities/data/OrderedDictionary.h"
#include "utilities/data/BitManager.h"
#include "utilities/data/DescriptionBudget.h"

#include "platform/Date.h"
#include "platform/Exception.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

// Pays until its items or characters run out, and counts what it is asked once it has
// refused.
struct CountingBudget final : DescriptionBudget {
    CountingBudget(int depth, qsizetype items, qsizetype characters)
        : depth(depth)
        , itemsLeft(items)
        , charactersLeft(characters)
    {
    }
    int maximumDepth() const override { return depth; }
    bool spendItems(qsizetype count) override { return pay(itemsLeft, count); }
    bool spendCharacters(qsizetype count) override { return pay(charactersLeft, count); }
    bool pay(qsizetype& left, qsizetype count)
    {
        asked += refused ? 1 : 0;
        left -= count;
        refused = refused || left < 0;
        return !refused;
    }

    int depth;
    qsizetype itemsLeft;
    qsizetype charactersLeft;
    bool refused = false;
    int asked = 0; // after refusing
};

} // namespace

TEST(OrderedDictionary, KeepsInsertionOrderThroughReplacementRemovalAndReinsertion)
{
    OrderedDictionary dictionary;
    dictionary.setObject(1, "b");
    dictionary.setObject(2, "a");
    dictionary.setObject(3, "b");
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "b", "a" }));
    EXPECT_EQ(dictionary.objectForKey("b"), QVariant(3));
    EXPECT_EQ(dictionary.count(), 2);

    dictionary.removeObjectForKey("b");
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "a" }));
    EXPECT_FALSE(dictionary.objectForKey("b").isValid());
    dictionary.setObject(4, "b");
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "a", "b" }));
    EXPECT_EQ(dictionary.allValues(), QVariantList({ 2, 4 }));

    dictionary.removeObjectForKey("missing");
    EXPECT_EQ(dictionary.count(), 2);
}

TEST(OrderedDictionary, ReverseEnumerationAndIndexedAccess)
{
    OrderedDictionary dictionary(3);
    dictionary.setObject("1", "x");
    dictionary.setObject("2", "y");
    dictionary.setObject("3", "z");
    EXPECT_EQ(dictionary.reverseKeyEnumerator(), QStringList({ "z", "y", "x" }));
    EXPECT_EQ(dictionary.keyAtIndex(1), "y");
    EXPECT_THROW(dictionary.keyAtIndex(3), platform::Exception);
    EXPECT_THROW(dictionary.keyAtIndex(-1), platform::Exception);
}

TEST(OrderedDictionary, InsertAtIndexMovesExistingKeysAndChecksTheIndex)
{
    OrderedDictionary dictionary;
    dictionary.setObject(1, "a");
    dictionary.setObject(2, "b");
    dictionary.setObject(3, "c");
    dictionary.insertObject(30, "c", 0);
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "c", "a", "b" }));
    EXPECT_EQ(dictionary.objectForKey("c"), QVariant(30));

    // The index counts after removing the existing key, so the end is count - 1 here.
    dictionary.insertObject(10, "a", 2);
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "c", "b", "a" }));
    dictionary.insertObject(4, "d", 3);
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "c", "b", "a", "d" }));

    try {
        dictionary.insertObject(5, "a", 4);
        FAIL() << "an index past the end must raise";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), platform::Exception::RangeError);
    }
    EXPECT_EQ(dictionary.keyEnumerator(), QStringList({ "c", "b", "a", "d" }));
    EXPECT_EQ(dictionary.objectForKey("a"), QVariant(10));
}

TEST(OrderedDictionary, DescriptionIndentsNestedDictionaries)
{
    OrderedDictionary inner;
    inner.setObject("v", "k");
    OrderedDictionary outer;
    outer.setObject("text", "b");
    outer.setObject(QVariant::fromValue(inner), "a");
    outer.setObject(7, "n");
    EXPECT_EQ(outer.descriptionWithLocale(QLocale::c(), 1),
        "    {\n"
        "        b = text;\n"
        "        a =     {\n"
        "        k = v;\n"
        "    }\n"
        ";\n"
        "        n = 7;\n"
        "    }\n");
}

TEST(OrderedDictionary, DescriptionWritesNestedContainersFlagsAndNumbersAsItsOwnForm)
{
    OrderedDictionary dictionary;
    dictionary.setObject(true, "on");
    dictionary.setObject(false, "off");
    dictionary.setObject(1234.5, "amount");
    dictionary.setObject(QVariantMap { { "y", 2 }, { "x", "text" } }, "map");
    dictionary.setObject(QVariantList { 1, QVariantList { "a" }, QVariant() }, "list");
    dictionary.setObject(QVariant(), "none");
    EXPECT_EQ(dictionary.descriptionWithLocale(QLocale::c(), 0),
        "{\n"
        "    on = 1;\n"
        "    off = 0;\n"
        "    amount = 1234.5;\n"
        "    map = {\n"
        "    x = text;\n"
        "    y = 2;\n"
        "}\n"
        ";\n"
        "    list = (\n"
        "    1,\n"
        "    (\n"
        "    a\n"
        ")\n"
        ",\n"
        "    <null>\n"
        ")\n"
        ";\n"
        "    none = <null>;\n"
        "}\n");

    // A date reads the same whether the rows' own date value or a QDateTime holds it.
    const QDateTime moment(QDate(2024, 3, 5), QTime(14, 30), QTimeZone::utc());
    OrderedDictionary dated;
    dated.setObject(QVariant::fromValue(platform::Date(moment)), "d");
    OrderedDictionary plain;
    plain.setObject(moment, "d");
    EXPECT_EQ(
        dated.descriptionWithLocale(QLocale::c(), 0), plain.descriptionWithLocale(QLocale::c(), 0));
    EXPECT_TRUE(plain.descriptionWithLocale(QLocale::c(), 0).contains("2024"));

    // Numbers take the locale's decimal sign, never its grouping.
    OrderedDictionary german;
    german.setObject(1234.5, "n");
    EXPECT_EQ(german.descriptionWithLocale(QLocale(QLocale::German, QLocale::Germany), 0),
        "{\n    n = 1234,5;\n}\n");
}

TEST(OrderedDictionary, ADescriptionWithinABudgetIsCutAtItsDepthAndStopsOnceItIsSpent)
{
    OrderedDictionary dictionary;
    dictionary.setObject(QVariantList { QVariantMap { { "k", QVariantList { 1 } } }, 2 }, "a");
    dictionary.setObject("text", "b");
    // Containers counted from the dictionary's own depth, 1: the list inside the map is at 4.
    CountingBudget deep(3, 100, 1000);
    const QString expected = "{\n"
                             "    a = (\n"
                             "    {\n"
                             "    k = ...;\n"
                             "}\n"
                             ",\n"
                             "    2\n"
                             ")\n"
                             ";\n"
                             "    b = text;\n"
                             "}\n";
    EXPECT_EQ(dictionary.descriptionWithLocale(QLocale::c(), 0, deep, 1), expected);
    // Each container's items are paid for, and each level's text, nested texts again where
    // their container writes them.
    EXPECT_EQ(100 - deep.itemsLeft, 2 + 2 + 1);
    const qsizetype written = 1000 - deep.charactersLeft;
    EXPECT_EQ(written, expected.size() + 33 + 17); // the list's text and the map's
    CountingBudget unbounded(1000, 100, 1000);
    EXPECT_TRUE(dictionary.descriptionWithLocale(QLocale::c(), 0, unbounded, 1)
                    ->contains("k = (\n    1\n)\n;"));

    // A character or an item short, nothing is answered and nothing more asked.
    CountingBudget lacksACharacter(3, 100, written - 1);
    EXPECT_EQ(dictionary.descriptionWithLocale(QLocale::c(), 0, lacksACharacter, 1), std::nullopt);
    CountingBudget lacksAnItem(3, 4, 1000);
    EXPECT_EQ(dictionary.descriptionWithLocale(QLocale::c(), 0, lacksAnItem, 1), std::nullopt);
    EXPECT_EQ(lacksACharacter.asked + lacksAnItem.asked, 0);

    // A long list whose lines cannot all be written stops before it is walked.
    QVariantList items;
    for (int i = 0; i < 100000; ++i)
        items.append(i);
    OrderedDictionary holdingALongList;
    holdingALongList.setObject(items, "items");
    CountingBudget small(256, 1000000, 1000);
    EXPECT_EQ(holdingALongList.descriptionWithLocale(QLocale::c(), 0, small, 0), std::nullopt);
    EXPECT_TRUE(small.refused);
    EXPECT_EQ(small.asked, 0);
}

TEST(BitManager, SetsClearsAndTestsAcrossWordBoundaries)
{
    BitManager bits(130);
    for (quint32 bit : { 0u, 63u, 64u, 127u, 128u, 129u })
        bits.setBit(bit);
    for (quint32 bit = 0; bit < 130; ++bit) {
        const bool expected
            = bit == 0 || bit == 63 || bit == 64 || bit == 127 || bit == 128 || bit == 129;
        EXPECT_EQ(bits.getBit(bit), expected) << bit;
    }
    const quint32 toClear[] = { 63, 64, 129 };
    bits.resetBit(toClear, 3);
    EXPECT_FALSE(bits.getBit(63));
    EXPECT_FALSE(bits.getBit(64));
    EXPECT_FALSE(bits.getBit(129));
    EXPECT_TRUE(bits.getBit(127));
    EXPECT_TRUE(bits.getBit(128));

    bits.setBit(toClear, 0);
    bits.setBit(toClear, -1);
    EXPECT_FALSE(bits.getBit(63));
}

TEST(BitManager, OutOfRangeBitsRaiseOnWriteAndReadAsClear)
{
    BitManager bits(10);
    EXPECT_THROW(bits.setBit(10), platform::Exception);
    EXPECT_THROW(bits.resetBit(1000), platform::Exception);
    EXPECT_FALSE(bits.getBit(10));
    // The capacity is a recorded number; the vector does not grow with it.
    bits.setCapacity(100);
    EXPECT_EQ(bits.capacity(), 100u);
    EXPECT_THROW(bits.setBit(50), platform::Exception);
}

TEST(BitManager, ButtonVectorHoldsTheListedButtonNumbers)
{
    const BitManager buttons = BitManager::createButtonVector({ 1, 5, 44 });
    EXPECT_EQ(buttons.capacity(), 45u);
    EXPECT_TRUE(buttons.getBit(1));
    EXPECT_TRUE(buttons.getBit(5));
    EXPECT_TRUE(buttons.getBit(44));
    EXPECT_FALSE(buttons.getBit(0));
    EXPECT_FALSE(buttons.getBit(2));
    EXPECT_FALSE(buttons.getBit(43));
}
