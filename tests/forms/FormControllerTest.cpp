#include "forms/FormClassRegistry.h"
#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormMultilineTextViewController.h"
#include "forms/FormSortingSection.h"
#include "platform/MutableDictionary.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "widgets/PopoverController.h"

#include "forms/FormScreenFixture.h"

#include <QPlainTextEdit>

#include <thread>

using namespace platform::ui;
using formtest::FormScreen;

// A detail form of its own, found by name.
class ContactForm : public FormController {
    Q_OBJECT

public:
    Q_INVOKABLE explicit ContactForm(QObject* parent = nullptr)
        : FormController(parent)
    {
    }
};

namespace {

using FormScreens = FormScreen;

// A root opening in the mode, holding one entry.
std::shared_ptr<FormLabelElement> childRow(int mode)
{
    auto row = std::make_shared<FormLabelElement>();
    row->setTitle(QString("Mode %1").arg(mode));
    row->setPresentationMode(mode);
    auto section = FormSection::initWithTitle("Inside");
    section->addElement(FormEntryElement::initWithTitle("Field", "x"));
    row->addSection(section);
    return row;
}

std::shared_ptr<FormRootElement> mainFormOf(const QList<std::shared_ptr<FormElement>>& rows)
{
    auto root = std::make_shared<FormRootElement>();
    root->setTitle("Main");
    auto section = FormSection::initWithTitle("Rows");
    for (const auto& row : rows)
        section->addElement(row);
    root->addSection(section);
    return root;
}

} // namespace

TEST_F(FormScreens, ControllersAreFoundByTheNameTheRootGives)
{
    FormClassRegistry::registerClass<ContactForm>();
    auto root = std::make_shared<FormRootElement>();
    root->setControllerName("ContactForm");
    std::unique_ptr<FormController> made(FormController::controllerForRoot(root));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(qobject_cast<ContactForm*>(made.get()));
    EXPECT_EQ(made->root(), root.get());
    EXPECT_TRUE(made->resizeWhenKeyboardPresented());

    formtest::LogCapture log;
    root->setControllerName("NoSuchForm");
    EXPECT_EQ(FormController::controllerForRoot(root), nullptr);
    EXPECT_TRUE(log.lines().contains("Couldn't find a class for name NoSuchForm"));
    // A nested root naming no class opens as a plain form.
    FormControllerProtocol* nested = made->controllerForRoot(root.get());
    ASSERT_NE(nested, nullptr);
    std::unique_ptr<FormController> plain(qobject_cast<FormController*>(nested->viewController()));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->metaObject(), &FormController::staticMetaObject);
}

TEST_F(FormScreens, NestedRootsOpenByTheirPresentationModeOnATablet)
{
    auto pushed = childRow(0);
    auto popover = childRow(1);
    auto navigated = childRow(2);
    auto sheet = childRow(3);
    auto full = childRow(4);
    auto page = childRow(5);
    auto nothing = childRow(9);
    open(mainFormOf({ pushed, popover, navigated, sheet, full, page, nothing }));

    tapRow(pushed.get());
    ASSERT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_EQ(qobject_cast<FormController*>(navigation->topViewController())->root(), pushed.get());
    EXPECT_EQ(navigation->topViewController()->title(), "Mode 0");
    navigation->popViewController(false);
    settle();

    tapRow(popover.get());
    FormController* inPopover = form->popoverBeingPresentedParent();
    ASSERT_NE(inPopover, nullptr);
    ASSERT_NE(inPopover->popoverBeingPresented(), nullptr);
    EXPECT_EQ(inPopover->popoverBeingPresented()->contentViewController(), inPopover);
    EXPECT_EQ(inPopover->popoverBeingPresented()->contentSize(), QSizeF(320, 360));
    inPopover->popToPreviousRootElement();
    testsupport::processEvents(300);
    EXPECT_EQ(form->popoverBeingPresentedParent(), nullptr);

    tapRow(navigated.get());
    FormController* withNavigation = form->popoverBeingPresentedParent();
    ASSERT_NE(withNavigation, nullptr);
    EXPECT_TRUE(qobject_cast<NavigationController*>(
        withNavigation->popoverBeingPresented()->contentViewController()));
    withNavigation->popToPreviousRootElement();
    testsupport::processEvents(300);

    const QList<QPair<std::shared_ptr<FormLabelElement>, ViewController::ModalPresentationStyle>>
        modal = { { sheet, ViewController::ModalPresentationStyle::FormSheet },
            { full, ViewController::ModalPresentationStyle::FullScreen },
            { page, ViewController::ModalPresentationStyle::PageSheet } };
    for (const auto& [row, style] : modal) {
        tapRow(row.get());
        auto* presented = qobject_cast<NavigationController*>(navigation->presentedViewController()
                ? navigation->presentedViewController()
                : form->presentedViewController());
        ASSERT_NE(presented, nullptr);
        EXPECT_EQ(presented->modalPresentationStyle(), style);
        BarButtonItem* close
            = presented->topViewController()->navigationItem()->leftBarButtonItem();
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->title(), "Close");
        close->trigger();
        testsupport::processEvents(400);
        EXPECT_EQ(form->presentedViewController(), nullptr);
    }

    tapRow(nothing.get());
    EXPECT_EQ(navigation->viewControllers().size(), 1);
    EXPECT_EQ(form->presentedViewController(), nullptr);
    EXPECT_EQ(form->popoverBeingPresentedParent(), nullptr);
}

TEST_F(FormScreens, APopoverPointsAtItsRowInAScrolledForm)
{
    QList<std::shared_ptr<FormElement>> rows;
    for (int i = 0; i < 30; ++i)
        rows << FormLabelElement::initWithTitle(QString("Row %1").arg(i), {});
    auto popover = childRow(1);
    rows << popover;
    open(mainFormOf(rows));
    tapRow(popover.get());
    ASSERT_GT(table()->contentOffset().y(), 100);
    FormController* child = form->popoverBeingPresentedParent();
    ASSERT_NE(child, nullptr);
    PopoverController* shown = child->popoverBeingPresented();
    ASSERT_NE(shown, nullptr);
    // Where the row shows on screen, and where the popover points.
    const QRectF row = table()->rectForRowAtIndexPath(IndexPath(30, 0));
    const QPointF onScreen = table()->mapToGlobal(row.center() - table()->contentOffset());
    View* host = Application::shared().keyWindow()->rootView();
    const QPointF pointed = host->mapToGlobal(shown->origin());
    EXPECT_NEAR(pointed.y(), onScreen.y(), 1.0);
    EXPECT_NEAR(pointed.x(), onScreen.x(), 1.0);
}

TEST_F(FormScreens, APhonePushesWhatATabletShowsInAPopover)
{
    auto popover = childRow(1);
    auto navigated = childRow(2);
    open(mainFormOf({ popover, navigated }), "phone");
    for (const auto& row : { popover, navigated }) {
        tapRow(row.get());
        ASSERT_EQ(navigation->viewControllers().size(), 2);
        auto* child = qobject_cast<FormController*>(navigation->topViewController());
        ASSERT_NE(child, nullptr);
        // Closing a list goes back one screen.
        child->popToPreviousRootElement();
        testsupport::processEvents(400);
        EXPECT_EQ(navigation->viewControllers().size(), 1);
    }
}

TEST_F(FormScreens, ClosingAListFromAnotherThreadWaitsForTheMainThread)
{
    auto row = childRow(0);
    open(mainFormOf({ row }));
    tapRow(row.get());
    auto* child = qobject_cast<FormController*>(navigation->topViewController());
    ASSERT_NE(child, nullptr);
    bool done = false;
    std::thread closer([&] {
        child->popToPreviousRootElement();
        done = true;
    });
    EXPECT_TRUE(testsupport::waitUntil([&] { return done; }));
    closer.join();
    testsupport::processEvents(400);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
}

TEST_F(FormScreens, TheLoadingOverlayIsMadeOnceAndStopsTouches)
{
    open(mainFormOf({ FormEntryElement::initWithTitle("Name", "") }));
    auto overlays = [&] {
        int count = 0;
        for (View* view : table()->subviews())
            count += view->tag() == FormController::LoadingViewTag;
        return count;
    };
    form->loading(true);
    form->loading(true);
    settle();
    EXPECT_EQ(overlays(), 1);
    View* overlay = table()->viewWithTag(FormController::LoadingViewTag);
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->isHidden());
    EXPECT_EQ(overlay->frame().size(), table()->frame().size());
    EXPECT_FALSE(table()->isUserInteractionEnabled());
    EXPECT_TRUE(Device::current().networkActivityIndicatorVisible());
    form->loading(false);
    testsupport::processEvents(50);
    EXPECT_TRUE(overlay->isHidden());
    EXPECT_TRUE(table()->isUserInteractionEnabled());
    EXPECT_FALSE(Device::current().networkActivityIndicatorVisible());
    EXPECT_EQ(overlays(), 1);
}

TEST_F(FormScreens, TheKeyboardInsetFollowsOnlyAScreenThatShows)
{
    QList<std::shared_ptr<FormElement>> rows;
    for (int i = 0; i < 30; ++i)
        rows << FormEntryElement::initWithTitle(QString("Field %1").arg(i), "");
    open(mainFormOf(rows));
    auto post = [](const QString& name, double height) {
        const QRectF window = Application::shared().keyWindow()->bounds();
        const QRectF keyboard(0, window.height() - height, window.width(), height);
        platform::NotificationCenter::defaultCenter().post(name, nullptr,
            { { InputPanel::FrameEndUserInfoKey, keyboard },
                { InputPanel::AnimationDurationUserInfoKey, 0.25 },
                { InputPanel::AnimationCurveUserInfoKey, 0 } });
        testsupport::processEvents(20);
    };
    // A will-show while the screen is not on screen changes nothing.
    form->viewWillDisappear(false);
    post(InputPanel::KeyboardWillShowNotification, 260);
    EXPECT_FALSE(form->keyboardVisible());
    EXPECT_EQ(table()->contentInset().bottom(), 0);
    form->viewWillAppear(false);
    // A will-hide without a will-show before is nothing to undo.
    post(InputPanel::KeyboardWillHideNotification, 260);
    EXPECT_EQ(table()->contentInset().bottom(), 0);
    post(InputPanel::KeyboardWillShowNotification, 260);
    EXPECT_TRUE(form->keyboardVisible());
    EXPECT_EQ(table()->contentInset().bottom(), 260);
    EXPECT_EQ(table()->scrollIndicatorInsets().bottom(), 260);
    // A panel that grows while shown (a picker in the keyboard's place) makes more room.
    post(InputPanel::KeyboardWillShowNotification, 300);
    EXPECT_EQ(table()->contentInset().bottom(), 300);
    post(InputPanel::KeyboardWillHideNotification, 300);
    EXPECT_FALSE(form->keyboardVisible());
    EXPECT_EQ(table()->contentInset().bottom(), 0);
    // The real keyboard bar makes the same room.
    entryCellOf(rows[0].get())->becomeFirstResponder();
    testsupport::processEvents(50);
    EXPECT_EQ(table()->contentInset().bottom(), InputPanel::DefaultAccessoryHeight);
}

TEST_F(FormScreens, ADatePickerAfterTheKeyboardBarLeavesTheLastRowInSight)
{
    QList<std::shared_ptr<FormElement>> rows;
    for (int i = 0; i < 20; ++i)
        rows << FormEntryElement::initWithTitle(QString("Field %1").arg(i), "");
    auto due = FormDateTimeInlineElement::initWithTitle("Due",
        QDateTime(QDate(2024, 3, 12), QTime(9, 30), Qt::UTC), FormDateTimeInlineElement::Date);
    rows << due;
    open(mainFormOf(rows), "phone");
    table()->scrollToRowAtIndexPath(IndexPath(20, 0), TableView::ScrollPosition::Bottom, false);
    settle();
    FormEntryTableViewCell* last = entryCellOf(rows[19].get());
    ASSERT_NE(last, nullptr);
    last->becomeFirstResponder();
    runSteps();
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), due.get());
    InputPanel* panel = Application::shared().keyWindow()->inputPanel();
    ASSERT_NE(panel->shownInputView(), nullptr);
    const QRectF picker = panel->shownFrame();
    EXPECT_EQ(table()->contentInset().bottom(), picker.height());
    // The row shows fully above the picker.
    const QRectF row = table()->rectForRowAtIndexPath(IndexPath(20, 0));
    const QPointF top = table()->convertPointToView(row.topLeft(), nullptr);
    EXPECT_GE(top.y(), table()->convertPointToView(table()->contentOffset(), nullptr).y());
    EXPECT_LE(top.y() + row.height(), picker.top());
}

TEST_F(FormScreens, RowsAndSectionsShowAndHideWithExactlyTheirRows)
{
    auto root = std::make_shared<FormRootElement>();
    auto a = FormSection::initWithTitle("A");
    auto b = FormSection::initWithTitle("B");
    auto c = FormSection::initWithTitle("C");
    QList<std::shared_ptr<FormLabelElement>> rows;
    for (int i = 0; i < 4; ++i) {
        rows << FormLabelElement::initWithTitle(QString("Row %1").arg(i), QVariant());
        b->addElement(rows.last());
    }
    for (const auto& section : { a, b, c }) {
        section->setHidden(true);
        root->addSection(section);
    }
    open(root);
    EXPECT_EQ(table()->numberOfSections(), 0);
    form->showSectionsWithAnimation(TableView::RowAnimation::Fade, { c.get() });
    EXPECT_EQ(table()->numberOfSections(), 1);
    form->showSectionsWithAnimation(TableView::RowAnimation::Fade, { b.get(), c.get() });
    ASSERT_EQ(table()->numberOfSections(), 2);
    EXPECT_EQ(table()->dataSource()->tableViewTitleForHeaderInSection(table(), 0), "B");

    form->hideElementsWithAnimation(TableView::RowAnimation::Top, { rows[1].get(), rows[2].get() });
    EXPECT_EQ(table()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(cellOf(rows[3].get())->textLabel()->text(), "Row 3");
    EXPECT_EQ(rows[3]->getIndexPath(), (FormIndexPath { 1, 0 }));
    // Already hidden: nothing more goes.
    form->hideElementsWithAnimation(TableView::RowAnimation::Top, { rows[1].get() });
    EXPECT_EQ(table()->numberOfRowsInSection(0), 2);
    form->switchElementsWithAnimation(
        TableView::RowAnimation::Fade, { rows[0].get(), rows[2].get() });
    EXPECT_TRUE(rows[0]->hidden());
    EXPECT_FALSE(rows[2]->hidden());
    EXPECT_EQ(table()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(cellOf(rows[2].get())->textLabel()->text(), "Row 2");
    form->showElementsWithAnimation(
        TableView::RowAnimation::Fade, { rows[0].get(), rows[1].get() });
    EXPECT_EQ(table()->numberOfRowsInSection(0), 4);
    form->hideSectionsWithAnimation(TableView::RowAnimation::Fade, { b.get() });
    EXPECT_EQ(table()->numberOfSections(), 1);
    // A row of a hidden section changes only its flag.
    form->hideElementsWithAnimation(TableView::RowAnimation::Fade, { rows[0].get() });
    EXPECT_TRUE(rows[0]->hidden());
    EXPECT_EQ(table()->numberOfSections(), 1);
}

TEST_F(FormScreens, SortingSectionsEditAndMoveOnlyWithinThemselves)
{
    auto root = std::make_shared<FormRootElement>();
    auto order = std::make_shared<FormSortingSection>();
    order->setKey("order");
    for (const QString key : { "a", "b", "c" }) {
        auto row = FormLabelElement::initWithTitle(key.toUpper(), QVariant());
        row->setKey(key);
        order->addElement(row);
    }
    auto plain = FormSection::initWithTitle("Plain");
    plain->addElement(FormLabelElement::initWithTitle("Fixed", QVariant()));
    root->addSection(order);
    root->addSection(plain);
    open(root);
    EXPECT_TRUE(table()->isEditing());
    EXPECT_TRUE(form->isFormTableEditing());
    auto* source = table()->dataSource();
    EXPECT_TRUE(source->tableViewCanMoveRowAtIndexPath(table(), IndexPath(0, 0)));
    EXPECT_FALSE(source->tableViewCanMoveRowAtIndexPath(table(), IndexPath(0, 1)));
    auto* delegate = table()->delegate();
    EXPECT_EQ(delegate->tableViewTargetIndexPathForMoveFromRowAtIndexPath(
                  table(), IndexPath(2, 0), IndexPath(0, 1)),
        IndexPath(2, 0));
    EXPECT_EQ(delegate->tableViewTargetIndexPathForMoveFromRowAtIndexPath(
                  table(), IndexPath(2, 0), IndexPath(0, 0)),
        IndexPath(0, 0));
    source->tableViewMoveRowAtIndexPath(table(), IndexPath(2, 0), IndexPath(0, 0));
    platform::MutableDictionary values;
    root->fetchValueIntoObject(QVariant::fromValue(values));
    EXPECT_EQ(values.value("order"), (QVariantList { "c", "a", "b" }));
}

// A sorting section that lets rows go offers each row a delete control; its tap shows
// the Delete button, whose tap takes the row out of the section and the table.
TEST_F(FormScreens, ASortingSectionsRowIsDeletedThroughTheTable)
{
    auto root = std::make_shared<FormRootElement>();
    auto order = std::make_shared<FormSortingSection>();
    order->setKey("order");
    order->setCanDeleteRows(true);
    for (const QString key : { "a", "b", "c" }) {
        auto row = FormLabelElement::initWithTitle(key.toUpper(), QVariant());
        row->setKey(key);
        order->addElement(row);
    }
    auto kept = std::make_shared<FormSortingSection>();
    kept->addElement(FormLabelElement::initWithTitle("Kept", QVariant()));
    auto plain = FormSection::initWithTitle("Plain");
    plain->addElement(FormLabelElement::initWithTitle("Fixed", QVariant()));
    for (const auto& section : QList<std::shared_ptr<FormSection>> { order, kept, plain })
        root->addSection(section);
    open(root);
    ASSERT_TRUE(table()->isEditing());
    // Only the section that lets rows go shows the control.
    for (int section = 0; section < 3; ++section) {
        TableViewCell* cell = table()->cellForRowAtIndexPath(IndexPath(0, section));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->deleteControl()->isHidden(), section != 0) << section;
    }

    TableViewCell* second = table()->cellForRowAtIndexPath(IndexPath(1, 0));
    ASSERT_NE(second, nullptr);
    testsupport::GestureSynthesizer::tap(second->deleteControl());
    settle();
    ASSERT_TRUE(second->showingDeleteConfirmation());
    EXPECT_FALSE(second->deleteConfirmationButton()->isHidden());
    testsupport::GestureSynthesizer::tap(second->deleteConfirmationButton());
    settle();
    EXPECT_EQ(table()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(order->elements().size(), 2);
    EXPECT_EQ(table()->cellForRowAtIndexPath(IndexPath(1, 0))->textLabel()->text(), "C");
    platform::MutableDictionary values;
    root->fetchValueIntoObject(QVariant::fromValue(values));
    EXPECT_EQ(values.value("order"), (QVariantList { "a", "c" }));
}

TEST_F(FormScreens, AMultilineRowIsEditedOnAScreenOfItsOwn)
{
    auto note = FormMultilineElement::initWithTitle("Note", "First line");
    open(mainFormOf({ note }), "phone");
    FormEntryTableViewCell* cell = entryCellOf(note.get());
    ASSERT_NE(cell, nullptr);
    // Shown in the row, but not typed into there.
    EXPECT_EQ(cell->textField()->text(), "First line");
    EXPECT_FALSE(cell->textField()->isEnabled());
    EXPECT_FALSE(note->canTakeFocus());
    tapRow(note.get(), 200);
    auto* editor = qobject_cast<FormMultilineTextViewController*>(navigation->topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->title(), "Note");
    EXPECT_EQ(editor->getPopupSize(), QSizeF(320, 360));
    EXPECT_TRUE(editor->textView()->isFirstResponder());
    editor->textView()->setSelectedRange({ 10, 0 });
    QTest::keyClicks(editor->textView()->textEdit(), " and more");
    EXPECT_EQ(note->textValue(), "First line and more");
    // Back: the row shows the edited text.
    navigation->popViewController(false);
    testsupport::processEvents(50);
    EXPECT_EQ(entryCellOf(note.get())->textField()->text(), "First line and more");
    EXPECT_FALSE(table()->indexPathForSelectedRow().has_value());
}

TEST_F(FormScreens, AppearingScrollsToThePreselectedRowAndFocusesTheFirstEntry)
{
    QList<std::shared_ptr<FormElement>> rows;
    for (int i = 0; i < 80; ++i)
        rows << FormLabelElement::initWithTitle(QString("Row %1").arg(i), QVariant());
    auto entry = FormEntryElement::initWithTitle("Search", "");
    rows.prepend(entry);
    auto root = mainFormOf(rows);
    root->preselectedElementIndex = FormIndexPath { 30, 0 };
    root->setShowKeyboardOnAppear(true);
    open(root, "phone");
    EXPECT_EQ(table()->contentOffset().y(), table()->rectForRowAtIndexPath(IndexPath(30, 0)).top());
    // The first entry's row is out of sight then: nothing takes the keys.
    EXPECT_EQ(focused(), nullptr);
    root->preselectedElementIndex.reset();
    form->viewDidAppear(false);
    EXPECT_EQ(TextInput::firstResponder(), nullptr);
    table()->setContentOffset(QPointF(0, 0));
    settle();
    form->viewDidAppear(false);
    EXPECT_EQ(focused(), entry.get());
}

TEST_F(FormScreens, ADisappearingScreenRunsItsCallback)
{
    auto row = childRow(0);
    open(mainFormOf({ row }));
    int called = 0;
    form->setWillDisappearCallback([&] { ++called; });
    tapRow(row.get());
    EXPECT_EQ(called, 1);
}

TEST_F(FormScreens, ATreeBuiltOffTheMainThreadShowsOnIt)
{
    std::shared_ptr<FormRootElement> root;
    std::thread opener([&] {
        auto built = std::make_shared<FormRootElement>();
        built->setTitle("Built elsewhere");
        built->setGrouped(true);
        auto section = FormSection::initWithTitle("Rows");
        auto label = FormLabelElement::initWithTitle("Database", "Inventory");
        label->setImageNamed("database");
        section->addElement(label);
        section->addElement(FormEntryElement::initWithTitle("Name", "Ada"));
        section->addElement(FormMultilineElement::initWithTitle("Note", "Hi"));
        section->addElement(FormDateTimeElement::initWithTitle(
            "When", QDateTime(QDate(2024, 3, 12), QTime(9, 30), Qt::UTC)));
        built->addSection(section);
        root = built;
    });
    opener.join();
    open(root);
    ASSERT_EQ(table()->numberOfRowsInSection(0), 4);
    EXPECT_EQ(cellOf(root->sections()[0]->elementAt(0))->detailTextLabel()->text(), "Inventory");
    EXPECT_FALSE(cellOf(root->sections()[0]->elementAt(0))->imageView()->image().isNull());
    EXPECT_EQ(form->title(), "Built elsewhere");
}

#include "FormControllerTest.moc"
