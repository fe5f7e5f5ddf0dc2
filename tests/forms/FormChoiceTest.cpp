#include "forms/FormBooleanElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRadioItemElement.h"
#include "forms/FormRadioSection.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSegmentedElement.h"
#include "forms/FormSelectItemElement.h"
#include "forms/FormSelectSection.h"
#include "platform/MutableDictionary.h"
#include "utilities/data/OrderedDictionary.h"

#include "forms/FormTestSupport.h"

using platform::MutableDictionary;

namespace {

QVariantList ticks(const FormSelectSection& section)
{
    return section.selectedIndexes();
}

} // namespace

using ChoiceTest = formtest::FormTest;

TEST_F(ChoiceTest, RadioBindsByItemOrByValueAndFetchesOnlyAValidChoice)
{
    auto radio = FormRadioElement::initWithItems({ "Red", "Green", "Blue" }, 1, "Colour");
    EXPECT_EQ(radio->selectedItem(), QVariant("Green"));
    EXPECT_EQ(radio->preselectedElementIndex, (FormIndexPath { 1, 0 }));
    ASSERT_NE(radio->internalRadioItemsSection(), nullptr);
    EXPECT_EQ(radio->internalRadioItemsSection()->elements().size(), 3);
    EXPECT_EQ(radio->presentationMode(), FormRootElement::NavigationInPopover);
    EXPECT_FALSE(radio->canTakeFocus());

    radio->setKey("colour");
    radio->setBind("selectedItem:colour");
    radio->bindToObject(QVariantMap { { "colour", "Blue" } });
    EXPECT_EQ(radio->selected(), 2);
    MutableDictionary fetched;
    radio->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("colour"), QVariant(qlonglong(2)));

    // An item not in the list is no choice, but it is kept: bound back out unchanged until
    // a choice is made.
    radio->bindToObject(QVariantMap { { "colour", "Purple" } });
    EXPECT_EQ(radio->selected(), -1);
    EXPECT_EQ(radio->selectedItem(), QVariant("Purple"));
    EXPECT_FALSE(radio->preselectedElementIndex);
    MutableDictionary none;
    radio->fetchValueIntoObject(QVariant::fromValue(none));
    EXPECT_EQ(none.count(), 0);
    MutableDictionary kept;
    radio->fetchValueUsingBindingsIntoObject(QVariant::fromValue(kept));
    EXPECT_EQ(kept.value("colour"), QVariant("Purple"));
    radio->setSelected(-1);
    EXPECT_FALSE(radio->selectedItem().isValid());
    radio->bindToObject(QVariantMap { { "colour", "Purple" } });
    radio->setSelected(1);
    MutableDictionary chosen;
    radio->fetchValueUsingBindingsIntoObject(QVariant::fromValue(chosen));
    EXPECT_EQ(chosen.value("colour"), QVariant("Green"));

    // A missing item leaves the choice as it was.
    radio->setSelected(0);
    radio->bindToObject(QVariantMap {});
    EXPECT_EQ(radio->selected(), 0);
}

TEST_F(ChoiceTest, RadioValuesStandBehindTheItems)
{
    OrderedDictionary tables;
    tables.setObject("id-people", "People");
    tables.setObject("id-orders", "Orders");
    tables.setObject("id-stock", "Stock");
    auto radio = FormRadioElement::initWithDict(tables, 0, "Table");
    EXPECT_EQ(radio->items(), (QVariantList { "People", "Orders", "Stock" }));
    EXPECT_FALSE(radio->selectedItem().isValid());
    EXPECT_EQ(radio->title(), "Table");

    radio->setKey("template_id");
    radio->setBind("selectedValue:template_id");
    radio->bindToObject(QVariantMap { { "template_id", "id-orders" } });
    EXPECT_EQ(radio->selectedItem(), QVariant("Orders"));
    MutableDictionary fetched;
    radio->fetchValueUsingBindingsIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("template_id"), QVariant("id-orders"));

    // An id not among the values: an empty row, nothing fetched under the key.
    radio->bindToObject(QVariantMap { { "template_id", "id-gone" } });
    EXPECT_FALSE(radio->selectedItem().isValid());
    MutableDictionary none;
    radio->fetchValueUsingBindingsIntoObject(QVariant::fromValue(none));
    radio->fetchValueIntoObject(QVariant::fromValue(none));
    EXPECT_FALSE(none.contains("template_id"));
    radio->bindToObject(QVariantMap {});
    EXPECT_EQ(radio->selected(), -1);

    // A number is an index, even when the values are numbers.
    auto numbers = FormRadioElement::initWithItems({ "one", "two", "three" }, -1, "N");
    numbers->setValues(QVariantList { 1, 2, 3 });
    numbers->setSelectedValue(2);
    EXPECT_EQ(numbers->selectedItem(), QVariant("three"));
    EXPECT_EQ(numbers->selectedValue(), QVariant(3));
    numbers->setSelected(3);
    EXPECT_FALSE(numbers->selectedItem().isValid());
    EXPECT_FALSE(numbers->selectedValue().isValid());
}

TEST_F(ChoiceTest, RadioImagesFollowTheChoice)
{
    auto radio = FormRadioElement::initWithItems({ "a", "b", "c" }, 1, "Icon", { "cat", "dog" });
    EXPECT_EQ(radio->imageName(), "dog");
    auto* rows = radio->internalRadioItemsSection();
    EXPECT_EQ(qobject_cast<FormLabelElement*>(rows->elementAt(0))->imageName(), "cat");
    EXPECT_EQ(qobject_cast<FormLabelElement*>(rows->elementAt(2))->imageName(), "");
    radio->setSelected(2);
    EXPECT_EQ(radio->imageName(), "unknown");
    radio->setSelected(-1);
    EXPECT_EQ(radio->imageName(), "unknown");

    auto untitled = FormRadioElement::initWithItems({ "a", "b" }, 1);
    EXPECT_EQ(untitled->selected(), -1);
    EXPECT_EQ(untitled->preselectedElementIndex, (FormIndexPath { 1, 0 }));
}

TEST_F(ChoiceTest, PickingAnItemStoresItEndsEditingAndClosesTheListLater)
{
    formtest::ManualScheduler scheduler;
    formtest::FakeController controller;
    auto radio = FormRadioElement::initWithItems({ "a", "b", "c" }, 0, "Pick");
    radio->setKey("pick");
    radio->setController(&controller);
    radio->setControllerAction("onSave:");
    int changes = 0;
    radio->onValueChanged = [&](FormRootElement*) { ++changes; };
    auto* item
        = qobject_cast<FormRadioItemElement*>(radio->internalRadioItemsSection()->elementAt(2));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChosen());

    item->choose(&controller);
    EXPECT_EQ(radio->selected(), 2);
    EXPECT_TRUE(item->isChosen());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller.calls, QStringList { "onSave:pick" });
    EXPECT_FALSE(controller.tableTakesTouches);
    ASSERT_EQ(scheduler.pending.size(), 1u);
    EXPECT_EQ(scheduler.pending[0].first, 300);
    EXPECT_EQ(controller.pops, 0);
    scheduler.runAll();
    EXPECT_EQ(controller.pops, 1);

    // A controller gone before the list closes is not asked.
    {
        formtest::FakeController shortLived;
        item->choose(&shortLived);
    }
    scheduler.runAll();
}

TEST_F(ChoiceTest, RadioSectionWithoutATickHasNoChoice)
{
    auto section = std::make_shared<FormRadioSection>();
    EXPECT_EQ(section->selected(), -1);
    auto first = FormRadioItemElement::initWithIndex(0, section.get());
    auto second = FormRadioItemElement::initWithIndex(1, section.get());
    section->addElement(first);
    section->addElement(second);
    EXPECT_FALSE(first->isChosen());
    int picked = 0;
    section->onSelected = [&] { ++picked; };
    second->choose(nullptr);
    EXPECT_EQ(section->selected(), 1);
    EXPECT_TRUE(second->isChosen());
    second->choose(nullptr);
    EXPECT_EQ(picked, 2);
    section->setSelectedIndexes({ 9 });
    EXPECT_EQ(section->selected(), -1);
    EXPECT_FALSE(second->isChosen());
}

TEST_F(ChoiceTest, SegmentedKeepsItsItemsAndStoresTheSegment)
{
    formtest::FakeController controller;
    auto segmented = FormSegmentedElement::initWithItems({ "S", "M" }, 1, "Size");
    EXPECT_EQ(segmented->selected(), 1);
    EXPECT_FALSE(segmented->hasSections());
    EXPECT_FALSE(segmented->canTakeFocus());
    int changes = 0;
    segmented->onValueChanged = [&](FormRootElement*) { ++changes; };
    segmented->segmentChosen(0, &controller);
    EXPECT_EQ(segmented->selectedItem(), QVariant("S"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(FormSegmentedElement::initWithItems({ "S" }, 0)->selected(), -1);
}

TEST_F(ChoiceTest, SelectSectionTicksOneOrManyAndMayUntick)
{
    auto single = FormSelectSection::initWithItems({ "a", "b", "c" }, QVariantList { 0 });
    EXPECT_FALSE(single->multipleAllowed());
    EXPECT_EQ(single->elements().size(), 3);
    int runs = 0;
    single->onSelected = [&] { ++runs; };
    EXPECT_EQ(single->toggleItemAtIndex(2), (QList<qulonglong> { 0, 2 }));
    EXPECT_EQ(ticks(*single), QVariantList { 2 });
    // The ticked row again: nothing changes, onSelected still runs.
    EXPECT_TRUE(single->toggleItemAtIndex(2).isEmpty());
    EXPECT_EQ(ticks(*single), QVariantList { 2 });
    single->setDeselectAllowed(true);
    EXPECT_EQ(single->toggleItemAtIndex(2), QList<qulonglong> { 2 });
    EXPECT_TRUE(ticks(*single).isEmpty());
    EXPECT_EQ(single->toggleItemAtIndex(1), QList<qulonglong> { 1 });
    EXPECT_EQ(runs, 4);
    EXPECT_TRUE(qobject_cast<FormSelectItemElement*>(single->elementAt(1))->isTicked());

    auto multiple = FormSelectSection::initWithItems({ "a", "b", "c" }, QVariantList { 2, 0 });
    EXPECT_TRUE(multiple->multipleAllowed());
    EXPECT_EQ(multiple->selectedItems(), (QVariantList { "c", "a" }));
    multiple->toggleItemAtIndex(1);
    multiple->toggleItemAtIndex(2);
    EXPECT_EQ(ticks(*multiple), (QVariantList { 0, 1 }));
    multiple->setKey("picked");
    MutableDictionary fetched;
    multiple->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("picked"), QVariant(QVariantList { 0, 1 }));

    auto byItems
        = FormSelectSection::initWithItemsSelectedItems({ "a", "b", "c" }, { "c", "x", "a" }, "T");
    EXPECT_EQ(ticks(*byItems), (QVariantList { 2, 0 }));
    EXPECT_EQ(byItems->title(), "T");
    auto none = FormSelectSection::initWithItems({ "a" }, QVariantList {});
    EXPECT_FALSE(none->multipleAllowed());
    none->setSelectedIndexes({ 5 });
    EXPECT_TRUE(none->selectedItems().isEmpty());
}

TEST_F(ChoiceTest, InsertingAnOptionShiftsLaterRowsAndTicks)
{
    auto section = FormSelectSection::initWithItems({ "a", "b", "c" }, QVariantList { 2, 0 });
    section->insertOption("new", 1);
    EXPECT_EQ(section->items(), (QVariantList { "a", "new", "b", "c" }));
    ASSERT_EQ(section->elements().size(), 4);
    for (qsizetype i = 0; i < 4; ++i) {
        auto* row = qobject_cast<FormSelectItemElement*>(section->elementAt(i));
        EXPECT_EQ(row->index(), qulonglong(i));
        EXPECT_EQ(row->title(), section->items()[i].toString());
    }
    EXPECT_EQ(section->selectedItems(), (QVariantList { "c", "a" }));
    section->addOption("last");
    EXPECT_EQ(qobject_cast<FormSelectItemElement*>(section->elementAt(4))->index(), 4u);
    EXPECT_EQ(section->elementAt(4)->parentSection(), section.get());
    section->setItems({ "x", "y" });
    EXPECT_EQ(section->elements().size(), 2);
}

TEST_F(ChoiceTest, BooleanChangesByRowSwitchOrImageRunTheChangeBlockOnce)
{
    formtest::FakeController controller;
    auto flag = FormBooleanElement::initWithTitle("Done", false);
    flag->setKey("done");
    int changes = 0;
    flag->onValueChanged = [&](FormRootElement*) { ++changes; };

    flag->rowTapped(&controller);
    EXPECT_TRUE(flag->boolValue());
    EXPECT_EQ(changes, 1);
    flag->switched(false);
    EXPECT_FALSE(flag->boolValue());
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(controller.calls.isEmpty());

    // With a controller and an action the switch runs the action too.
    flag->setController(&controller);
    flag->setControllerAction("onSave:");
    flag->switched(true);
    EXPECT_EQ(controller.calls, QStringList { "onSave:done" });
    EXPECT_EQ(changes, 3);

    flag->setOnImageName("checked");
    EXPECT_TRUE(flag->hasImages());
    flag->setControllerAccessoryAction("refresh");
    flag->imagePressed(true);
    EXPECT_FALSE(flag->boolValue());
    EXPECT_EQ(controller.calls.last(), "refresh");
    EXPECT_EQ(changes, 4);

    MutableDictionary fetched;
    flag->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("done"), QVariant(false));
    flag->setNumberValue(2);
    EXPECT_TRUE(flag->boolValue());
    EXPECT_EQ(flag->numberValue(), QVariant(true));
}
