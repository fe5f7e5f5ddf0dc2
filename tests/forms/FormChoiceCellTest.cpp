#include "forms/FormAppearance.h"
#include "forms/FormAutoEntryElement.h"
#include "forms/FormBadgeElement.h"
#include "forms/FormBadgeLabel.h"
#include "forms/FormBadgeTableCell.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormFloatElement.h"
#include "forms/FormFloatTableViewCell.h"
#include "forms/FormLabelElement.h"
#include "forms/FormLoadingElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormMultilineTextViewController.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRadioItemElement.h"
#include "forms/FormRadioSection.h"
#include "forms/FormSegmentedElement.h"
#include "forms/FormSelectItemElement.h"
#include "forms/FormSelectSection.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "widgets/PopoverController.h"

#include "forms/FormScreenFixture.h"

using namespace platform::ui;
using formtest::FormScreen;
using Accessory = TableViewCell::AccessoryType;

namespace {

std::shared_ptr<FormRootElement> formOf(const QList<std::shared_ptr<FormElement>>& rows)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Rows");
    for (const auto& row : rows)
        section->addElement(row);
    root->addSection(section);
    return root;
}

using ChoiceCell = FormScreen;

} // namespace

TEST_F(ChoiceCell, BooleanRowsFlipByRowSwitchAndImageWithOneChangeEach)
{
    auto active = FormBooleanElement::initWithTitle("Active", false);
    auto favourite = FormBooleanElement::initWithTitle("Favourite", false);
    favourite->setOnImageName("tick");
    favourite->setOffImageName("empty");
    int activeChanges = 0;
    int favouriteChanges = 0;
    active->onValueChanged = [&](FormRootElement*) { ++activeChanges; };
    favourite->onValueChanged = [&](FormRootElement*) { ++favouriteChanges; };
    open(formOf({ active, favourite }));

    auto* toggle = qobject_cast<Switch*>(cellOf(active.get())->accessoryView());
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isOn());
    // A tap on the row flips the flag and the switch with it, and never takes the keys.
    tapRow(active.get());
    EXPECT_TRUE(active->boolValue());
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(activeChanges, 1);
    EXPECT_EQ(TextInput::firstResponder(), nullptr);
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
    // The switch itself.
    testsupport::GestureSynthesizer::tap(toggle);
    settle();
    EXPECT_FALSE(active->boolValue());
    EXPECT_EQ(activeChanges, 2);

    // The image pair: a button showing the off image, the on image when selected.
    auto* button = qobject_cast<Button*>(cellOf(favourite.get())->accessoryView());
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isSelected());
    EXPECT_EQ(button->imageForState(ControlStateSelected), Image::named("tick"));
    testsupport::GestureSynthesizer::tap(button);
    settle();
    EXPECT_TRUE(favourite->boolValue());
    EXPECT_TRUE(button->isSelected());
    EXPECT_EQ(favouriteChanges, 1);
    tapRow(favourite.get());
    EXPECT_FALSE(favourite->boolValue());
    EXPECT_FALSE(button->isSelected());
    EXPECT_EQ(favouriteChanges, 2);
}

TEST_F(ChoiceCell, ARadioListOpensPicksAndClosesOnATablet)
{
    auto kind = FormRadioElement::initWithItems({ "Home", "Work", "Other" }, 0, "Kind");
    int picked = 0;
    kind->onSelected = [&] { ++picked; };
    open(formOf({ kind }));
    auto* row = entryCellOf(kind.get());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->textField()->text(), "Home");
    EXPECT_EQ(row->accessoryType(), Accessory::DisclosureIndicator);

    tapRow(kind.get());
    // The list opens in a popover, 320 by 360, with the chosen row ticked.
    FormController* list = form->popoverBeingPresentedParent();
    ASSERT_NE(list, nullptr);
    PopoverController* popover = list->popoverBeingPresented();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->contentSize(), QSizeF(320, 360));
    EXPECT_EQ(list->root(), kind.get());
    FormTableView* items = list->formTableView();
    EXPECT_EQ(items->cellForRowAtIndexPath(IndexPath(0, 0))->accessoryType(), Accessory::Checkmark);
    EXPECT_EQ(items->cellForRowAtIndexPath(IndexPath(2, 0))->accessoryType(), Accessory::None);

    // A pick moves the tick at once, stops the list taking touches, and closes it 0.3 s later.
    const QRectF third = items->rectForRowAtIndexPath(IndexPath(2, 0));
    testsupport::GestureSynthesizer::tap(items, QPointF(40, third.center().y()));
    settle();
    EXPECT_EQ(kind->selected(), 2);
    EXPECT_EQ(kind->selectedItem(), QVariant("Other"));
    EXPECT_EQ(picked, 1);
    EXPECT_EQ(items->cellForRowAtIndexPath(IndexPath(0, 0))->accessoryType(), Accessory::None);
    EXPECT_EQ(items->cellForRowAtIndexPath(IndexPath(2, 0))->accessoryType(), Accessory::Checkmark);
    EXPECT_FALSE(items->isUserInteractionEnabled());
    ASSERT_EQ(scheduler->pending.size(), 1u);
    EXPECT_EQ(scheduler->pending.front().first, FormRadioItemElement::CloseDelayMilliseconds);
    runSteps();
    testsupport::processEvents(300);
    EXPECT_EQ(form->popoverBeingPresentedParent(), nullptr);
    // The form shows the new choice.
    EXPECT_EQ(entryCellOf(kind.get())->textField()->text(), "Other");
}

TEST_F(ChoiceCell, ARadioListIsPushedOnAPhoneAndOpensWhereItStartsWithoutAChoice)
{
    auto kind = FormRadioElement::initWithItems({ "Home", "Work" }, -1, "Kind");
    open(formOf({ kind }), "phone");
    EXPECT_EQ(entryCellOf(kind.get())->textField()->text(), "");
    tapRow(kind.get());
    ASSERT_EQ(navigation->viewControllers().size(), 2);
    auto* list = qobject_cast<FormController*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->formTableView()->contentOffset(), QPointF(0, 0));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(list->formTableView()->cellForRowAtIndexPath(IndexPath(row, 0))->accessoryType(),
            Accessory::None);
    const QRectF second = list->formTableView()->rectForRowAtIndexPath(IndexPath(1, 0));
    testsupport::GestureSynthesizer::tap(list->formTableView(), QPointF(40, second.center().y()));
    settle();
    runSteps();
    testsupport::processEvents(400);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
    EXPECT_EQ(kind->selectedValue(), QVariant());
    EXPECT_EQ(kind->selectedItem(), QVariant("Work"));
    EXPECT_EQ(entryCellOf(kind.get())->textField()->text(), "Work");
}

TEST_F(ChoiceCell, SelectSectionsTickSingleMultipleAndDeselectThroughTaps)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto single
        = FormSelectSection::initWithItems({ "Red", "Green", "Blue" }, qulonglong(0), "One");
    auto several = FormSelectSection::initWithItems(
        { "Name", "City", "Phone" }, QVariantList { 0, 2 }, "Several");
    int singleTaps = 0;
    single->onSelected = [&] { ++singleTaps; };
    root->addSection(single);
    root->addSection(several);
    open(root);
    auto ticks = [&](FormSelectSection* section) {
        QList<int> ticked;
        for (const auto& element : section->elements())
            if (cellOf(element.get())->accessoryType() == Accessory::Checkmark)
                ticked << int(static_cast<FormSelectItemElement*>(element.get())->index());
        return ticked;
    };
    EXPECT_EQ(ticks(single.get()), QList<int> { 0 });
    EXPECT_EQ(ticks(several.get()), (QList<int> { 0, 2 }));

    // Single: the tick moves; tapping the ticked row changes nothing but still tells.
    tapRow(single->elements()[2].get());
    EXPECT_EQ(ticks(single.get()), QList<int> { 2 });
    EXPECT_EQ(single->selectedIndexes(), QVariantList { QVariant(qulonglong(2)) });
    tapRow(single->elements()[2].get());
    EXPECT_EQ(ticks(single.get()), QList<int> { 2 });
    EXPECT_EQ(singleTaps, 2);
    // Allowed to deselect, the ticked row is unticked.
    single->setDeselectAllowed(true);
    tapRow(single->elements()[2].get());
    EXPECT_TRUE(ticks(single.get()).isEmpty());
    EXPECT_TRUE(single->selectedIndexes().isEmpty());

    // Multiple: taps tick and untick, in the order they came.
    tapRow(several->elements()[0].get());
    tapRow(several->elements()[1].get());
    EXPECT_EQ(ticks(several.get()), (QList<int> { 1, 2 }));
    EXPECT_EQ(several->selectedItems(), (QVariantList { "Phone", "City" }));
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
}

TEST_F(ChoiceCell, ARadioSectionMovesItsTickInPlace)
{
    auto root = std::make_shared<FormRootElement>();
    auto section = std::make_shared<FormRadioSection>();
    section->removeAllElements();
    section->setSelectedIndexes({ QVariant(qulonglong(1)) });
    int told = 0;
    section->onSelected = [&] { ++told; };
    for (int i = 0; i < 3; ++i) {
        auto item = FormRadioItemElement::initWithIndex(qulonglong(i), section.get());
        item->setTitle(QString("Choice %1").arg(i));
        section->addElement(item);
    }
    root->addSection(section);
    open(root);
    EXPECT_EQ(cellOf(section->elements()[1].get())->accessoryType(), Accessory::Checkmark);
    tapRow(section->elements()[0].get());
    EXPECT_EQ(section->selected(), 0);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(cellOf(section->elements()[0].get())->accessoryType(), Accessory::Checkmark);
    EXPECT_EQ(cellOf(section->elements()[1].get())->accessoryType(), Accessory::None);
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
    EXPECT_TRUE(scheduler->pending.empty());
}

TEST_F(ChoiceCell, ASegmentedRowChoosesBySegment)
{
    auto size = FormSegmentedElement::initWithItems({ "S", "M", "tick" }, 1, "Size");
    int changes = 0;
    size->onValueChanged = [&](FormRootElement*) { ++changes; };
    open(formOf({ size }));
    auto* control = qobject_cast<SegmentedControl*>(
        cellOf(size.get())->viewWithTag(FormSegmentedElement::ControlTag));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->selectedSegmentIndex(), 1);
    // An item naming an image shows the image.
    EXPECT_EQ(control->titleForSegmentAtIndex(2), "");
    control->tapSegment(0);
    EXPECT_EQ(size->selected(), 0);
    EXPECT_EQ(size->selectedItem(), QVariant("S"));
    EXPECT_EQ(changes, 1);
}

TEST_F(ChoiceCell, ASliderRowAndATappableImageTellTheirElements)
{
    auto level = FormFloatElement::initWithTitle("Level", 0.25f);
    int changes = 0;
    level->onValueChanged = [&](FormRootElement*) { ++changes; };
    auto pictured = FormLabelElement::initWithTitle("Pictured", QVariant());
    pictured->setImageNamed("database");
    int imageTaps = 0;
    pictured->onImageSelected = [&](FormElement* element) {
        EXPECT_EQ(element, pictured.get());
        ++imageTaps;
    };
    open(formOf({ level, pictured }));
    auto* cell = qobject_cast<FormFloatTableViewCell*>(cellOf(level.get()));
    ASSERT_NE(cell, nullptr);
    Slider* slider = cell->slider();
    EXPECT_EQ(slider->value(), 0.25f);
    // The slider takes the room right of the title.
    EXPECT_GT(slider->frame().left(), cell->textLabel()->frame().right());
    const QRectF track = slider->trackRect();
    testsupport::GestureSynthesizer::tap(slider, QPointF(track.right() - 1, track.center().y()));
    settle();
    EXPECT_GT(level->floatValue(), 0.9f);
    EXPECT_EQ(changes, 1);
    testsupport::GestureSynthesizer::tap(cellOf(pictured.get())->imageView());
    settle();
    EXPECT_EQ(imageTaps, 1);
}

TEST_F(ChoiceCell, AMultilineRowOpensInAPopoverOfItsSizeOnATablet)
{
    auto note = FormMultilineElement::initWithTitle("Note", "Hello");
    note->popupSize = QSizeF(400, 300);
    open(formOf({ note }));
    tapRow(note.get(), 200);
    ASSERT_NE(form->popoverForChildRoot(), nullptr);
    EXPECT_EQ(form->popoverForChildRoot()->contentSize(), QSizeF(400, 300));
    auto* editor = qobject_cast<FormMultilineTextViewController*>(
        form->popoverForChildRoot()->contentViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->textView()->isFirstResponder());
    // A tap outside closes it; the row shows the text.
    editor->textView()->setText("Hello there");
    form->popoverForChildRoot()->dismissPopoverAnimated(false);
    settle();
    EXPECT_EQ(form->popoverForChildRoot(), nullptr);
    EXPECT_EQ(note->textValue(), "Hello there");
    EXPECT_EQ(entryCellOf(note.get())->textField()->text(), "Hello there");
}

TEST_F(ChoiceCell, DisabledRowsShowTheirColoursAndIgnoreTaps)
{
    auto code = FormEntryElement::initWithTitle("Code", "K-1");
    code->setEnabled(false);
    auto category = FormAutoEntryElement::initWithTitle("Category", "Home");
    category->setEnabled(false);
    auto save = FormButtonElement::initWithTitle("Save");
    int saves = 0;
    save->onSelected = [&] { ++saves; };
    auto remove = FormButtonElement::initWithTitle("Delete");
    int removes = 0;
    remove->onSelected = [&] { ++removes; };
    remove->setEnabled(false);
    open(formOf({ code, category, save, remove }));
    const std::shared_ptr<FormAppearance> look = code->appearance();

    // Entries: the disabled colour, and a tap gives no keys.
    EXPECT_EQ(entryCellOf(code.get())->textField()->textColor(),
        look->entryTextColorDisabled->toQColor());
    EXPECT_EQ(entryCellOf(category.get())->textField()->textColor(),
        look->entryTextColorDisabled->toQColor());
    tapRow(code.get(), 200);
    EXPECT_EQ(TextInput::firstResponder(), nullptr);
    tapRow(category.get());
    EXPECT_EQ(TextInput::firstResponder(), nullptr);

    // Buttons: the action colours; a disabled one does nothing and stays unselected.
    EXPECT_EQ(cellOf(save.get())->textLabel()->textColor(), look->actionColorEnabled->toQColor());
    EXPECT_EQ(
        cellOf(remove.get())->textLabel()->textColor(), look->actionColorDisabled->toQColor());
    tapRow(save.get());
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
    tapRow(remove.get());
    EXPECT_EQ(removes, 0);
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
}

TEST_F(ChoiceCell, ABadgeIsFilledWithItsColourOrTheTint)
{
    auto coloured = FormBadgeElement::initWithTitle("Open orders", "12");
    coloured->badgeColor = Color::fromQColor(QColor(200, 30, 30));
    auto tinted = FormBadgeElement::initWithTitle("Returns", "3");
    open(formOf({ coloured, tinted }));
    auto* first = qobject_cast<FormBadgeTableCell*>(cellOf(coloured.get()));
    auto* second = qobject_cast<FormBadgeTableCell*>(cellOf(tinted.get()));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->badgeLabel()->badgeColor(), QColor(200, 30, 30));
    EXPECT_EQ(second->badgeLabel()->badgeColor(), second->tintColor());
    EXPECT_EQ(first->badgeLabel()->text(), "12");
    EXPECT_EQ(first->badgeLabel()->textColor(), QColor(Qt::white));
    // The pill sits inside the row's right end, wider than its text, centred on the row.
    const QRectF pill = first->badgeLabel()->frame();
    const QRectF content = first->contentView()->bounds();
    EXPECT_LE(pill.right(), content.right());
    EXPECT_GT(pill.width(), QFontMetricsF(first->badgeLabel()->font()).horizontalAdvance("12"));
    EXPECT_NEAR(pill.center().y(), content.center().y(), 2);
    // The fill shows where the pill is.
    const QImage shot = first->snapshot();
    const QPointF centre = first->contentView()->convertPointToView(
        QPointF(pill.left() + 3, pill.center().y()), first);
    EXPECT_EQ(shot.pixelColor(centre.toPoint()), QColor(200, 30, 30));
}

TEST_F(ChoiceCell, ALoadingRowSpinsAndIgnoresTaps)
{
    auto loading = std::make_shared<FormLoadingElement>();
    int taps = 0;
    loading->onSelected = [&] { ++taps; };
    open(formOf({ loading }));
    TableViewCell* cell = cellOf(loading.get());
    ASSERT_NE(cell, nullptr);
    auto* spinner = cell->contentView()->findChild<ActivityIndicatorView*>();
    ASSERT_NE(spinner, nullptr);
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(cell->selectionStyle(), TableViewCell::SelectionStyle::None);
    EXPECT_TRUE(cell->contentView()->bounds().contains(spinner->frame()));
    tapRow(loading.get());
    EXPECT_EQ(taps, 0);
}
