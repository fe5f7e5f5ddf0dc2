#include "AppFixture.h"

#include "forms/ColorDetailViewController.h"
#include "forms/FormMultilineTextViewController.h"
#include "forms/FormSelectSection.h"
#include "forms/FormTableView.h"
#include "forms/SearchColumnSelectorDetailViewController.h"
#include "grid/BaseDataController.h"
#include "grid/BrowserViewController.h"
#include "grid/KivoPreviewController.h"
#include "platform/plot/Theme.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PdfPagesView.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewHeaderFooterView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/WebView.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartHostViewController.h"
#include "reports/charts/ChartHostingView.h"
#include "reports/charts/PlotItem.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/ColorPickerController.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/PopoverView.h"
#include "widgets/SimplePopupViewController.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>
#include <QWindow>

// A new user on a desktop: the keyboard, the window turned by resizing it, a phone with a
// notch. On a real X server the keys go where the server's focus is, so these tests run
// only there.
namespace e2e {
namespace {

const QString kBooks = QStringLiteral("69905CFA-4BDD-4FED-91B9-D7B1EB140839");
const QString kGenre = QStringLiteral("5ADEB9BA-2C5D-416C-B5F0-2D5594B34347");
const QString kRating = QStringLiteral("95C44103-3B7D-438C-89F8-F9F99AF85077");
const QString kFinishedOn = QStringLiteral("44AD4AEC-CFEC-4AFE-85B8-B2E1C4BA7F7A");
const QString kTitle = QStringLiteral("0739D108-04FF-40AC-A260-98418684A136");
constexpr int kGuideButton = 25; // the home screen's help
constexpr int kSearch = 7;
constexpr int kOptionsButton = 28;
constexpr int kAddButton = 1;

struct RealDisplayDesktop : AppTest {
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs a real X server (QT_QPA_PLATFORM=xcb)";
        AppTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()->windowHandle()));
        window()->activateWindow();
        settle(100);
    }

    // A key typed as a person types it: it goes wherever the keyboard focus is.
    static void press(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : static_cast<QWidget*>(window()), key);
        settle(60);
    }

    static QString type(const QString& text)
    {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return QStringLiteral("(no focus)");
        QTest::keyClicks(focus, text);
        settle(60);
        return focus->metaObject()->className();
    }

    // Resizes the window as a window manager does, through the X server.
    static bool resizeWindow(int width, int height)
    {
        window()->windowHandle()->resize(width, height);
        return testsupport::waitUntil(
            [&] {
                settle(20);
                return window()->width() == width && window()->height() == height;
            },
            3000);
    }

    // Where the view is on the screen (a scroll view's bounds move with what it shows).
    static QRectF inWindow(const platform::ui::View* view)
    {
        return view
            ? QRectF(QPointF(view->mapTo(view->window(), QPoint(0, 0))), QSizeF(view->size()))
            : QRectF();
    }

    // Household with a Books table, and that table's screen open.
    ApplicationScreen* openBooks(bool isProtected = false)
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, "Household", "Things at home") || !open(databases, "Household"))
            return nullptr;
        ApplicationScreen* home = top();
        if (!addTable(home, "Books", kBooks, isProtected) || !open(home, "Books"))
            return nullptr;
        return top() != home ? top() : nullptr;
    }

    QuickDetailViewController* openAddForm(ApplicationScreen* screen)
    {
        screen->dataController()->add(nullptr);
        return awaitedForm(screen);
    }

    static platform::ui::TableViewCell* cellOf(QuickDetailViewController* form, const QString& key)
    {
        FormElement* field = element(form, key);
        const auto path = field ? field->getIndexPath() : std::nullopt;
        return path ? form->formTableView()->cellForRowAtIndexPath(FormTableView::tablePath(*path))
                    : nullptr;
    }

    // Clicks into the field of that element as a person does, scrolling it into sight
    // first when it is not; true when it is being edited then.
    static bool clickField(QuickDetailViewController* form, const QString& key)
    {
        FormElement* field = element(form, key);
        const auto path = field ? field->getIndexPath() : std::nullopt;
        if (!path)
            return false;
        form->formTableView()->scrollToRowAtIndexPath(
            FormTableView::tablePath(*path), platform::ui::TableView::ScrollPosition::None, false);
        settle(100);
        platform::ui::TableViewCell* cell = cellOf(form, key);
        if (!cell)
            return false;
        auto* text = cell->findChild<platform::ui::TextField*>();
        if (text && text->isVisible() && text->width() > 0)
            GestureSynthesizer::tap(text);
        else
            GestureSynthesizer::tap(cell);
        // The row is scrolled to a moment after editing begins, and the panel slides in.
        settle(400);
        platform::ui::TextInput* editing = platform::ui::TextInput::firstResponder();
        return editing && cell->isAncestorOf(editing->inputAsView());
    }

    // The popups and popovers that show now, each with its own touch view.
    static int shownPanels()
    {
        int count = 0;
        for (PopoverTouchView* touch : window()->findChildren<PopoverTouchView*>())
            count += touch->isVisible() ? 1 : 0;
        return count;
    }

    static SimplePopupViewController* shownPopup(BaseViewController* screen)
    {
        SimplePopupViewController* popup = screen->simplepopupController();
        return popup && popup->isPresented() ? popup : nullptr;
    }
};

struct RealDisplayKeys : RealDisplayDesktop { };

TEST_P(RealDisplayKeys, APromptTakesTheKeysWhenItShowsAndWhenTheMessageOverItGoes)
{
    ApplicationScreen* books = openBooks(true);
    ASSERT_EQ(books, nullptr) << "a protected table asks for its password first";
    settle(100);
    platform::ui::AlertView* prompt = alertTitled(LocalizedStrings::CreatePassword());
    ASSERT_NE(prompt, nullptr);
    QLineEdit* field = prompt->textFieldAtIndex(0);
    EXPECT_TRUE(field->hasFocus());

    // Nothing typed: the message comes over the prompt, which waits below it.
    prompt->clickButtonAtIndex(1);
    settle(100);
    platform::ui::AlertView* again = alertTitled(LocalizedStrings::CreatePassword());
    ASSERT_NE(again, nullptr);
    platform::ui::AlertView* message = alertTitled(LocalizedStrings::Information());
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->message(), LocalizedStrings::PasswordInvalid());
    message->clickButtonAtIndex(0);
    settle(100);

    ASSERT_EQ(platform::ui::AlertView::visibleAlerts(), QList<platform::ui::AlertView*> { again });
    EXPECT_TRUE(again->textFieldAtIndex(0)->hasFocus());
    type("secret");
    EXPECT_EQ(again->textFieldAtIndex(0)->text(), "secret");
}

TEST_P(RealDisplayKeys, EnterChoosesTheDefaultButtonOfTheAlertOnTopWhereverTheKeysAre)
{
    ApplicationScreen* databases = top();
    QuickDetailViewController* form = openAddForm(databases);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(clickField(form, "name"));
    auto* name = dynamic_cast<platform::ui::TextField*>(platform::ui::TextInput::firstResponder());
    ASSERT_NE(name, nullptr);

    int chosen = -1;
    auto* alert = new platform::ui::AlertView(
        "Delete Record?", QString(), nullptr, LocalizedStrings::Cancel(), { "Delete" });
    alert->setCallback([&](platform::ui::AlertView*, int index) { chosen = index; });
    alert->show();
    settle(100);
    // The form's field under it asks for the keys meanwhile (a field focused a moment after
    // the alert came, as the forms do when moving to the next field): the alert keeps them,
    // and the field has them once the alert has gone.
    name->lineEdit()->setFocus();
    settle(60);
    EXPECT_FALSE(name->lineEdit()->hasFocus());
    press(Qt::Key_Return);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().isEmpty());
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(name->lineEdit()->hasFocus());

    // Without another button, the one button is the default; Escape is the cancel button.
    chosen = -1;
    auto* message = new platform::ui::AlertView("Information", "Saved", nullptr, "Ok");
    message->setCallback([&](platform::ui::AlertView*, int index) { chosen = index; });
    message->show();
    settle(100);
    press(Qt::Key_Enter);
    EXPECT_EQ(chosen, 0);
    chosen = -1;
    auto* question = new platform::ui::AlertView(
        "Confirmation", "Go on?", nullptr, LocalizedStrings::Cancel(), { "Ok" });
    question->setCallback([&](platform::ui::AlertView*, int index) { chosen = index; });
    question->show();
    settle(100);
    press(Qt::Key_Escape);
    EXPECT_EQ(chosen, 0);
    // The form under the alerts stays open.
    EXPECT_EQ(shownForm(databases), form);
}

TEST_P(RealDisplayKeys, EscapeClosesWhatATapOutsideWouldCloseAndNothingElse)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);

    // The add, edit and delete menu on a phone, the filter list on a tablet.
    platform::ui::View* menuButton = barButton(books,
        tablet() ? BaseDataController::FilterAction : BaseDataController::AddeditdeleteAction);
    ASSERT_NE(menuButton, nullptr);
    GestureSynthesizer::tap(menuButton);
    settle(300);
    // It closes as a tap beside it closes it.
    ASSERT_EQ(shownPanels(), 1);
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_EQ(shownPanels(), 0);
    EXPECT_EQ(top(), books);

    // The form: on a tablet it has a Close button, so a tap outside leaves it, and so does
    // Escape; on a phone it is a screen of its own, which Escape does not take back.
    QuickDetailViewController* form = openAddForm(books);
    ASSERT_NE(form, nullptr);
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_EQ(shownForm(books), form);
    if (!tablet())
        return;
    // Its choice list over it goes first.
    platform::ui::TableViewCell* genre = cellOf(form, kGenre);
    ASSERT_NE(genre, nullptr);
    GestureSynthesizer::tap(genre);
    settle(300);
    ASSERT_EQ(shownPanels(), 2);
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_EQ(shownPanels(), 1);
    EXPECT_EQ(shownForm(books), form);
}

TEST_P(RealDisplayKeys, OpeningTheSearchTakesTheKeysAndEnterKeepsTheBar)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    platform::ui::SearchBar* bar = databases->searchBar();
    ASSERT_NE(bar, nullptr);
    platform::ui::View* search = barButton(databases, kSearch);
    ASSERT_NE(search, nullptr);
    // Shown on a tablet from the start: the button closes it, and opens it again.
    for (int taps = 0; taps < 2 && (taps == 0 || bar->isHidden()); ++taps) {
        settle(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        GestureSynthesizer::tap(search);
        settle(100);
    }
    ASSERT_FALSE(bar->isHidden());

    type("Col");
    EXPECT_EQ(bar->text(), "Col");
    EXPECT_EQ(titles(databases), QStringList { "ColorsKivo" });

    press(Qt::Key_Return);
    settle(300);
    EXPECT_EQ(bar->text(), "Col");
    EXPECT_TRUE(bar->showsCancelButton());
    EXPECT_TRUE(bar->cancelButton()->isVisible());
    EXPECT_EQ(titles(databases), QStringList { "ColorsKivo" });

    // The clear button is still there to press, and empties the field.
    platform::ui::TextField* field = bar->searchTextField();
    GestureSynthesizer::tap(field, field->clearButtonRectForBounds(field->bounds()).center());
    settle(300);
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_EQ(titles(databases).size(), 2);

    // Cancel ends the search and goes.
    type("Hou");
    GestureSynthesizer::tap(bar->cancelButton());
    settle(300);
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_FALSE(bar->showsCancelButton());
    EXPECT_EQ(titles(databases).size(), 2);
}

TEST_P(RealDisplayKeys, EscapeOrClosingTheBarEndsASearchAsCancelDoes)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    platform::ui::SearchBar* bar = databases->searchBar();
    ASSERT_NE(bar, nullptr);
    platform::ui::View* search = barButton(databases, kSearch);
    ASSERT_NE(search, nullptr);
    platform::ui::TextField* field = bar->searchTextField();
    const auto tapSearchButton = [&] {
        // Two taps on the button in a moment are a double click, which no button takes.
        settle(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        GestureSynthesizer::tap(search);
        settle(100);
    };
    const auto startSearch = [&](const QString& text) {
        if (bar->isHidden())
            tapSearchButton();
        else
            GestureSynthesizer::tap(field);
        settle(100);
        type(text);
    };

    startSearch("Col");
    ASSERT_EQ(titles(databases), QStringList { "ColorsKivo" });
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_FALSE(bar->showsCancelButton());
    EXPECT_FALSE(bar->isFirstResponder());
    EXPECT_NE(QApplication::focusWidget(), field->lineEdit());
    EXPECT_EQ(titles(databases).size(), 2);
    EXPECT_FALSE(bar->isHidden());

    // Closed with a search typed in it, the bar takes its search along.
    startSearch("Hou");
    ASSERT_EQ(titles(databases), QStringList { "Household" });
    tapSearchButton();
    settle(200);
    ASSERT_TRUE(bar->isHidden());
    EXPECT_EQ(titles(databases).size(), 2);
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_FALSE(bar->isFirstResponder());
    tapSearchButton();
    ASSERT_FALSE(bar->isHidden());
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_TRUE(bar->isFirstResponder());
    EXPECT_EQ(titles(databases).size(), 2);

    // In the Options list, which a tablet opens over the screen, Escape ends the list's
    // search first and closes the list only then.
    settle(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    GestureSynthesizer::tap(barButton(databases, kOptionsButton));
    settle(300);
    MainCollectionViewController* options
        = dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
    if (SimplePopupViewController* popup = shownPopup(databases)) {
        auto* wrapper
            = dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController());
        options = wrapper
            ? dynamic_cast<MainCollectionViewController*>(wrapper->topViewController())
            : nullptr;
    }
    ASSERT_NE(options, nullptr);
    ASSERT_NE(options, databases);
    platform::ui::SearchBar* listBar = options->searchBar();
    ASSERT_TRUE(listBar && listBar->isVisible());
    GestureSynthesizer::tap(listBar->searchTextField());
    settle(100);
    type("Back");
    ASSERT_EQ(titles(options), QStringList { "Backup" });
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_TRUE(listBar->text().isEmpty());
    EXPECT_FALSE(listBar->isFirstResponder());
    EXPECT_EQ(titles(options).size(), 4);
    EXPECT_TRUE(listBar->isVisible());
    if (tablet()) {
        press(Qt::Key_Escape);
        settle(300);
        EXPECT_EQ(shownPopup(databases), nullptr);
    }
}

// The columns a search looks in, chosen in a popup on a tablet: Escape closes it as its
// Close button does, and the columns stay as they were.
TEST_P(RealDisplayKeys, EscapeClosesTheSearchColumnsAsItsCloseButtonDoes)
{
    if (!tablet())
        GTEST_SKIP() << "a phone pushes the form as a screen of its own";
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    platform::ui::SearchBar* bar = books->searchBar();
    ASSERT_TRUE(bar && bar->isVisible());
    platform::ui::Button* bookmark = bar->bookmarkButton();
    ASSERT_TRUE(bookmark && bookmark->isVisible());
    const QVariantMap searched = books->dataController()->searchColumns();
    GestureSynthesizer::tap(bookmark);
    QuickDetailViewController* form = awaitedForm(books);
    ASSERT_NE(form, nullptr);
    settle(300);
    ASSERT_EQ(shownPanels(), 1);
    EXPECT_EQ(form->title(), LocalizedStrings::SearchColumns());

    // A column ticked off, then Escape.
    auto* columns = qobject_cast<FormSelectSection*>(
        form->root()->sectionWithKey(SearchColumnSelectorDetailViewController::SectionKey));
    ASSERT_TRUE(columns && !columns->elements().isEmpty());
    const auto first = columns->elements().first()->getIndexPath();
    ASSERT_TRUE(first);
    const qsizetype ticked = columns->selectedItems().size();
    GestureSynthesizer::tap(
        form->formTableView()->cellForRowAtIndexPath(FormTableView::tablePath(*first)));
    settle(300);
    ASSERT_NE(columns->selectedItems().size(), ticked);
    press(Qt::Key_Escape);
    settle(300);
    EXPECT_EQ(shownPanels(), 0);
    EXPECT_EQ(shownForm(books), nullptr);
    EXPECT_EQ(top(), books);
    EXPECT_EQ(books->dataController()->searchColumns(), searched);
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayKeys, ::testing::Values("tablet", "phone"));

struct RealDisplayForms : RealDisplayDesktop { };

TEST_P(RealDisplayForms, AFocusedFieldScrollsTheFormOnlyAsFarAsItsRowNeeds)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    QuickDetailViewController* form = openAddForm(books);
    ASSERT_NE(form, nullptr);
    FormTableView* table = form->formTableView();
    platform::ui::InputPanel* panel = window()->inputPanel();

    // A row in sight above the keyboard bar stays where it is.
    const auto visibleAbovePanel = [&](const QString& key) {
        const QRectF row = inWindow(cellOf(form, key));
        const QRectF shown = inWindow(table);
        const double floor
            = panel->isShowing() ? std::min(shown.bottom(), panel->frame().top()) : shown.bottom();
        if (!row.isEmpty() && row.top() >= shown.top() - 0.5 && row.bottom() <= floor + 0.5)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << "row " << row.top() << "-" << row.bottom() << " in " << shown.top() << "-" << floor;
    };
    // What shows of the table above the panel is rows, never empty room past the last.
    const auto noEmptyRoom = [&] {
        const QRectF shown = inWindow(table);
        const double visible
            = (panel->isShowing() ? std::min(shown.bottom(), panel->frame().top()) : shown.bottom())
            - shown.top();
        return table->contentOffset().y() + visible <= table->contentSize().height() + 0.5;
    };

    const double before = table->contentOffset().y();
    ASSERT_TRUE(visibleAbovePanel(kRating) || !tablet());
    ASSERT_TRUE(clickField(form, kRating));
    ASSERT_TRUE(panel->isShowing());
    EXPECT_TRUE(visibleAbovePanel(kRating));
    if (tablet()) {
        EXPECT_EQ(table->contentOffset().y(), before);
    }
    EXPECT_TRUE(noEmptyRoom());

    // The date's picker takes more room: the row still shows above it.
    ASSERT_TRUE(clickField(form, kFinishedOn));
    ASSERT_NE(panel->shownInputView(), nullptr);
    EXPECT_TRUE(visibleAbovePanel(kFinishedOn));
    EXPECT_TRUE(noEmptyRoom());
}

TEST_P(RealDisplayForms, OnAPhoneTurnedOnItsSideTheDateBeingEditedStaysInSightOverItsPicker)
{
    if (tablet())
        GTEST_SKIP() << "a phone on its side";
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    QuickDetailViewController* form = openAddForm(books);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(clickField(form, kFinishedOn));
    platform::ui::InputPanel* panel = window()->inputPanel();
    ASSERT_NE(panel->shownInputView(), nullptr);
    platform::ui::TextInput* editing = platform::ui::TextInput::firstResponder();

    ASSERT_TRUE(resizeWindow(667, 375));
    settle(400);
    EXPECT_EQ(platform::ui::TextInput::firstResponder(), editing);
    EXPECT_TRUE(panel->isShowing());
    EXPECT_NE(panel->shownInputView(), nullptr);
    const QRectF row = inWindow(cellOf(form, kFinishedOn));
    const QRectF table = inWindow(form->formTableView());
    EXPECT_GE(row.top(), table.top() - 0.5);
    EXPECT_LE(row.bottom(), panel->frame().top() + 0.5);
}

// A choice list opened from a form while a field was being edited: the field's editing
// ends, so the keyboard bar does not stay up under the list.
TEST_P(RealDisplayForms, AChoiceListOpenedOverAFormTakesTheKeyboardBarAway)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    QuickDetailViewController* form = openAddForm(books);
    ASSERT_NE(form, nullptr);
    platform::ui::InputPanel* panel = window()->inputPanel();
    ASSERT_TRUE(clickField(form, kRating));
    ASSERT_TRUE(panel->isShowing());

    platform::ui::TableViewCell* genre = cellOf(form, kGenre);
    ASSERT_NE(genre, nullptr);
    GestureSynthesizer::tap(genre);
    settle(400);
    // The list shows: over the form on a tablet, in its place on a phone.
    const bool listShown = tablet() ? shownPanels() > 0 || form->presentedViewController()
                                    : navigation->topViewController() != form;
    EXPECT_TRUE(listShown);
    EXPECT_EQ(platform::ui::TextInput::firstResponder(), nullptr);
    EXPECT_FALSE(panel->isShowing());
    settle(300);
    EXPECT_FALSE(panel->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayForms, ::testing::Values("tablet", "phone"));

struct RealDisplayTurn : RealDisplayDesktop { };

TEST_P(RealDisplayTurn, APopupOpenWhileTheWindowTurnsIsCentredAndSizedForTheNewShape)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    ASSERT_TRUE(resizeWindow(768, 1024));
    const auto toolbarTop = [&] { return inWindow(navigation->toolbar()).top(); };

    // The filter list, centred when it opened.
    GestureSynthesizer::tap(barButton(books, BaseDataController::FilterAction));
    settle(400);
    SimplePopupViewController* popup = shownPopup(books);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(resizeWindow(1024, 768));
    settle(400);
    QRectF shown = inWindow(popup->containerView());
    EXPECT_NEAR(shown.center().x(), 512, 2);
    EXPECT_NEAR(shown.center().y(), 384, 2);
    EXPECT_LE(shown.bottom(), toolbarTop());
    popup->dismissPopover();
    settle(100);

    // The add form: opened in portrait, then turned.
    ASSERT_TRUE(resizeWindow(768, 1024));
    QuickDetailViewController* form = openAddForm(books);
    ASSERT_NE(form, nullptr);
    PopoverController* popover = books->popupController();
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(resizeWindow(1024, 768));
    settle(400);
    shown = inWindow(popover->contentView());
    EXPECT_NEAR(shown.center().x(), 512, 2);
    EXPECT_LE(shown.bottom(), toolbarTop());
    // As large as the form opened in landscape would be.
    books->dismissPopup();
    settle(300);
    QuickDetailViewController* fresh = openAddForm(books);
    ASSERT_NE(fresh, nullptr);
    ASSERT_NE(books->popupController(), nullptr);
    const QRectF opened = inWindow(books->popupController()->contentView());
    EXPECT_NEAR(shown.height(), opened.height(), 1);
    EXPECT_NEAR(shown.top(), opened.top(), 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayTurn, ::testing::Values("tablet"));

struct RealDisplayNotch : RealDisplayDesktop { };

TEST_P(RealDisplayNotch, OnItsSideTheScreensAndTheBarsKeepClearOfTheNotch)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(resizeWindow(812, 375));
    const QMarginsF safe = platform::ui::Device::current().safeAreaInsets();
    ASSERT_EQ(safe.left(), 44);
    ASSERT_EQ(safe.right(), 44);

    const auto clear = [&](const char* what, const QRectF& frame) {
        return frame.left() >= safe.left() - 0.5 && frame.right() <= 812 - safe.right() + 0.5
            ? ::testing::AssertionSuccess()
            : ::testing::AssertionFailure()
                << what << " from " << frame.left() << " to " << frame.right();
    };
    const auto checkScreen = [&](ApplicationScreen* screen) {
        EXPECT_TRUE(clear("grid", inWindow(screen->collectionView())));
        for (platform::ui::View* item : navigation->navigationBar()->rightItemViews())
            EXPECT_TRUE(clear("bar item", inWindow(item)));
        for (platform::ui::BarButtonItem* item : screen->toolbarItems())
            if (item && item->view() && item->view()->isVisible()) {
                EXPECT_TRUE(clear("toolbar item", inWindow(item->view())));
            }
        // The bars themselves still reach the window's edges.
        EXPECT_EQ(inWindow(navigation->toolbar()).width(), 812);
    };
    checkScreen(databases);

    // A screen pushed in landscape, and its back button.
    ASSERT_TRUE(open(databases, "Household"));
    settle(400);
    ApplicationScreen* home = top();
    ASSERT_NE(home, databases);
    checkScreen(home);
    platform::ui::View* back = navigation->navigationBar()->leftItemView();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(clear("back button", inWindow(back)));
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayNotch, ::testing::Values("phone-x"));

// The screens pushed over the grids and forms, on a notched phone lying on either side:
// what they show stays inside the safe area once they have come to rest.
struct RealDisplayNotchSides : RealDisplayDesktop {
    static constexpr int kLong = 812;
    static constexpr int kShort = 375;

    // The phone turned upright or onto that side, as its sensor turns it.
    static bool turn(platform::ui::Orientation side)
    {
        platform::ui::Device::current().setOrientation(side);
        const bool upright = side == platform::ui::Orientation::Portrait;
        const int width = upright ? kShort : kLong;
        const int height = upright ? kLong : kShort;
        return testsupport::waitUntil(
            [&] {
                settle(20);
                return window()->width() == width && window()->height() == height;
            },
            3000);
    }

    static ::testing::AssertionResult clear(const char* what, const QRectF& frame)
    {
        const QMarginsF safe = platform::ui::Device::current().safeAreaInsets();
        if (safe.left() < 40 || safe.right() < 40)
            return ::testing::AssertionFailure() << "no notch at the sides";
        if (frame.width() <= 0)
            return ::testing::AssertionFailure() << what << " is not shown";
        if (frame.left() >= safe.left() - 0.5 && frame.right() <= kLong - safe.right() + 0.5)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << what << " from " << frame.left() << " to " << frame.right();
    }

    static QRectF inWindow(const QWidget* widget)
    {
        return widget
            ? QRectF(QPointF(widget->mapTo(widget->window(), QPoint(0, 0))), QSizeF(widget->size()))
            : QRectF();
    }

    // Pushed as a person's tap pushes it, and left to slide all the way in.
    void pushAndRest(platform::ui::ViewController* controller)
    {
        navigation->pushViewController(controller, true);
        settle(700);
    }

    // Upright, and lying on either side.
    static QList<platform::ui::Orientation> everyWay()
    {
        return { platform::ui::Orientation::Portrait, platform::ui::Orientation::LandscapeLeft,
            platform::ui::Orientation::LandscapeRight };
    }

    static const char* sideName(platform::ui::Orientation side)
    {
        return side == platform::ui::Orientation::Portrait     ? "upright"
            : side == platform::ui::Orientation::LandscapeLeft ? "left"
                                                               : "right";
    }

    // The frame lies inside what the notch (at the top or a side) and the home
    // indicator's strip leave of the screen.
    static ::testing::AssertionResult inside(const char* what, const QRectF& frame)
    {
        const QMarginsF safe = platform::ui::Device::current().safeAreaInsets();
        if (safe.bottom() < 20 || (safe.top() < 40 && safe.left() < 40))
            return ::testing::AssertionFailure() << "no notch";
        if (frame.width() <= 0 || frame.height() <= 0)
            return ::testing::AssertionFailure() << what << " is not shown";
        const QRectF free
            = QRectF(window()->rect()).marginsRemoved(safe).adjusted(-0.5, -0.5, 0.5, 0.5);
        if (free.contains(frame))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << what << " at (" << frame.left() << ", " << frame.top() << ") to (" << frame.right()
            << ", " << frame.bottom() << "), the free part (" << free.left() << ", " << free.top()
            << ") to (" << free.right() << ", " << free.bottom() << ")";
    }

    // The pixels of the area that a person tells from the colour around them.
    static int standingOut(const QImage& shot, const QRect& area, const QColor& around)
    {
        int count = 0;
        for (int y = std::max(0, area.top()); y <= std::min(area.bottom(), shot.height() - 1); ++y)
            for (int x = std::max(0, area.left()); x <= std::min(area.right(), shot.width() - 1);
                 ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (std::max({ std::abs(c.red() - around.red()),
                        std::abs(c.green() - around.green()), std::abs(c.blue() - around.blue()) })
                    > 40)
                    ++count;
            }
        return count;
    }

    // The wheel turned down notch by notch over the middle of the view, as a person reads a
    // list through, until the content moves no further.
    static void wheelToTheEnd(platform::ui::ScrollView* view)
    {
        const QPointF pointer(view->width() / 2.0, view->height() / 2.0);
        for (int notch = 0; notch < 100; ++notch) {
            const double before = view->contentOffset().y();
            QWheelEvent wheel(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, -120),
                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
            settle(20);
            if (view->contentOffset().y() == before)
                break;
        }
        settle(300);
    }

    // The visible buttons inside the view, each where it shows on the screen.
    static QList<QRectF> shownButtons(const QWidget* view)
    {
        QList<QRectF> frames;
        for (const platform::ui::Button* button : view->findChildren<platform::ui::Button*>())
            if (button->isVisible())
                frames.append(inWindow(button));
        return frames;
    }
};

TEST_P(RealDisplayNotchSides, TheGuideAWebPageAndANoteKeepClearOfTheNotch)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    QTemporaryDir folder;
    const QString page = folder.filePath("page.html");
    {
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><head><title>Shelves</title></head><body><p>"
            + QByteArray("Every shelf of the house, wall by wall. ").repeated(40)
            + "</p></body></html>");
    }

    for (const auto side :
        { platform::ui::Orientation::LandscapeLeft, platform::ui::Orientation::LandscapeRight }) {
        SCOPED_TRACE(side == platform::ui::Orientation::LandscapeLeft ? "left" : "right");
        ASSERT_TRUE(turn(side));
        ASSERT_EQ(platform::ui::Device::current().orientation(), side);

        // The user guide, from the home screen's help button.
        GestureSynthesizer::tap(barButton(home, kGuideButton));
        settle(700);
        auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
        ASSERT_NE(preview, nullptr);
        platform::ui::PdfPagesView* pages = preview->pdfView();
        ASSERT_NE(pages, nullptr);
        EXPECT_TRUE(clear("the guide", inWindow(pages)));
        EXPECT_TRUE(clear("its first page",
            pages->pageRect(0).translated(inWindow(pages->viewport()).topLeft())));
        navigation->popToViewController(home, false);
        settle(100);

        // A web page.
        auto* browser = new BrowserViewController(QUrl::fromLocalFile(page));
        pushAndRest(browser);
        ASSERT_TRUE(testsupport::waitUntil([&] { return !browser->mainWebView()->isLoading(); }));
        EXPECT_TRUE(browser->mainWebView()->plainText().contains("Every shelf"));
        EXPECT_TRUE(clear("the page", inWindow(browser->mainWebView()->textBrowser())));
        navigation->popToViewController(home, false);
        settle(100);

        // A note's own screen.
        auto* note = new FormMultilineTextViewController(QStringLiteral("Note"));
        pushAndRest(note);
        EXPECT_TRUE(clear("the note", inWindow(note->textView()->textEdit())));
        navigation->popToViewController(home, false);
        settle(100);
    }
    ASSERT_TRUE(saveShot("real-notch-sides-guide.png"));
}

TEST_P(RealDisplayNotchSides, AListsValuesAndAChartKeepClearOfTheNotch)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    ASSERT_TRUE(addRow(books, { { kTitle, "Dune" }, { kRating, "5" } }));
    ASSERT_TRUE(addRow(books, { { kTitle, "Emma" }, { kRating, "4" } }));

    for (const auto side :
        { platform::ui::Orientation::LandscapeLeft, platform::ui::Orientation::LandscapeRight }) {
        SCOPED_TRACE(side == platform::ui::Orientation::LandscapeLeft ? "left" : "right");
        ASSERT_TRUE(turn(side));

        // The genre's values, pushed from the add form.
        QuickDetailViewController* form = openAddForm(books);
        ASSERT_NE(form, nullptr);
        settle(600);
        FormElement* genre = element(form, kGenre);
        ASSERT_NE(genre, nullptr);
        form->formTableView()->scrollToRowAtIndexPath(
            FormTableView::tablePath(*genre->getIndexPath()),
            platform::ui::TableView::ScrollPosition::None, false);
        settle(100);
        platform::ui::TableViewCell* cell = cellOf(form, kGenre);
        ASSERT_NE(cell, nullptr);
        GestureSynthesizer::tap(cell);
        settle(700);
        platform::ui::ViewController* list = navigation->topViewController();
        ASSERT_NE(list, form);
        auto* table = qobject_cast<platform::ui::TableView*>(list->view());
        ASSERT_NE(table, nullptr);
        const QList<platform::ui::TableViewCell*> values = table->visibleCells();
        ASSERT_FALSE(values.isEmpty());
        for (platform::ui::TableViewCell* value : values)
            EXPECT_TRUE(clear("a value", inWindow(value)));
        if (side == platform::ui::Orientation::LandscapeRight) {
            ASSERT_TRUE(saveShot("real-notch-sides-list.png"));
        }
        navigation->popToViewController(books, false);
        settle(100);

        // A chart of the ratings.
        ChartDataController(books->dataController().get())
            .plotChart({ { "xaxis", "Title" }, { "yaxis", "Rating" },
                { "type", LocalizedStrings::Bar() }, { "function", LocalizedStrings::Sum() },
                { "grouping", LocalizedStrings::None() },
                { "theme", platform::plot::Theme::PlainWhite } });
        settle(700);
        auto* chart = dynamic_cast<ChartHostViewController*>(navigation->topViewController());
        ASSERT_NE(chart, nullptr);
        ASSERT_TRUE(chart->plotItem());
        EXPECT_TRUE(clear("the chart", inWindow(chart->plotItem()->defaultLayerHostingView())));
        if (side == platform::ui::Orientation::LandscapeLeft) {
            ASSERT_TRUE(saveShot("real-notch-sides-chart.png"));
        }
        navigation->popToViewController(books, false);
        settle(100);
    }
}

// Presented screens, menus and the picker in the keyboard's place keep what they show
// inside the safe area too: upright (under the notch, above the home indicator) and on
// either side, also when the phone turns while they are open.
TEST_P(RealDisplayNotchSides, TheMailComposerKeepsClearOfTheNotchAndKeepsTheKeys)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    const auto check = [](platform::ui::MailComposeViewController* composer) {
        platform::ui::NavigationBar* bar = composer->navigationBar();
        EXPECT_TRUE(inside("Cancel", inWindow(bar->leftItemView())));
        for (platform::ui::View* item : bar->rightItemViews())
            EXPECT_TRUE(inside("Send", inWindow(item)));
        EXPECT_TRUE(inside("To:", inWindow(composer->toField())));
        EXPECT_GE(inWindow(composer->toField()).top(), inWindow(bar).bottom() - 0.5);
    };
    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));
        MailHelper::sendEmailTo(QString(), "Books", "The list.", books);
        settle(700);
        auto* composer = dynamic_cast<platform::ui::MailComposeViewController*>(
            navigation->presentedViewController());
        ASSERT_NE(composer, nullptr);
        check(composer);
        if (side == platform::ui::Orientation::Portrait) {
            ASSERT_TRUE(saveShot("real-notch-composer-upright.png"));
        }
        // Turned while it is open: laid out again, and what is typed still goes to To:.
        const auto other = side == platform::ui::Orientation::Portrait
            ? platform::ui::Orientation::LandscapeRight
            : platform::ui::Orientation::Portrait;
        ASSERT_TRUE(turn(other));
        settle(100);
        check(composer);
        EXPECT_EQ(type("ana@example.com"), "QLineEdit");
        EXPECT_EQ(composer->message().to, QStringList { "ana@example.com" });
        composer->cancel();
        settle(500);
        ASSERT_EQ(navigation->presentedViewController(), nullptr);
    }
}

TEST_P(RealDisplayNotchSides, TheColourPickerKeepsClearOfTheNotch)
{
    // A new colour's picker, from Home's options as a person opens it.
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    GestureSynthesizer::tap(barButton(home, kOptionsButton));
    settle(300);
    auto* options = dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(open(options, "Colors"));
    settle(300);
    ApplicationScreen* colours = top();
    ASSERT_NE(colours, home);
    GestureSynthesizer::tap(barButton(colours, kAddButton));
    auto* form = dynamic_cast<ColorDetailViewController*>(awaitedForm(colours));
    ASSERT_NE(form, nullptr);
    settle(600);
    platform::ui::TableViewCell* row = cellOf(form, QStringLiteral("color"));
    ASSERT_NE(row, nullptr);
    GestureSynthesizer::tap(row);
    settle(700);
    ColorPickerController* picker = form->colorPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(navigation->topViewController(), picker);

    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));
        settle(100);
        for (platform::ui::TextField* field :
            { picker->hueField(), picker->saturationField(), picker->brightnessField(),
                picker->redField(), picker->greenField(), picker->blueField(), picker->hexField() })
            EXPECT_TRUE(inside("a field", inWindow(field)));
        EXPECT_TRUE(inside("the colour", inWindow(picker->colorView())));
        EXPECT_TRUE(inside("the hues", inWindow(picker->hueSaturationContainer())));
        EXPECT_TRUE(inside("the brightness", inWindow(picker->brightnessView())));
        // A tap on the strip's brightest end still picks from it.
        const QRectF strip = inWindow(picker->brightnessView());
        GestureSynthesizer::tap(window(), QPointF(strip.left() + 2, strip.center().y()));
        settle(60);
        EXPECT_GE(picker->hsvColor().brightness, 0.95);
        picker->setSelectedColor(Color::blackColor());
        if (side == platform::ui::Orientation::LandscapeLeft) {
            ASSERT_TRUE(saveShot("real-notch-colour-picker.png"));
        }
    }
    picker->cancelButtonPressed();
    settle(400);
}

TEST_P(RealDisplayNotchSides, AMenuAndTheDatesPickerKeepClearOfTheNotch)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    QTemporaryDir folder;
    const QString page = folder.filePath("page.html");
    {
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><body><p>Shelves</p></body></html>");
    }
    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));

        // The page's menu.
        auto* browser = new BrowserViewController(QUrl::fromLocalFile(page));
        pushAndRest(browser);
        browser->actionButtonClicked();
        settle(300);
        platform::ui::ActionSheet* sheet = browser->pageActionSheet();
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->isVisible());
        const QList<QRectF> buttons = shownButtons(sheet);
        ASSERT_GE(buttons.size(), 2);
        for (const QRectF& button : buttons)
            EXPECT_TRUE(inside("a menu entry", button));
        sheet->clickButtonAtIndex(sheet->cancelButtonIndex());
        settle(300);
        navigation->popToViewController(books, false);
        settle(100);

        // A date's wheels, in the keyboard's place.
        QuickDetailViewController* form = openAddForm(books);
        ASSERT_NE(form, nullptr);
        settle(600);
        ASSERT_TRUE(clickField(form, kFinishedOn));
        platform::ui::InputPanel* panel = window()->inputPanel();
        ASSERT_TRUE(panel->isShowing());
        ASSERT_NE(panel->shownInputView(), nullptr);
        EXPECT_TRUE(inside("the wheels", inWindow(panel->shownInputView())));
        ASSERT_NE(panel->accessoryView(), nullptr);
        for (const QRectF& button : shownButtons(panel->accessoryView()))
            EXPECT_TRUE(inside("a keyboard bar button", button));
        if (side == platform::ui::Orientation::Portrait) {
            ASSERT_TRUE(saveShot("real-notch-dates-picker.png"));
        }
        platform::ui::TextInput::endEditing(form->formTableView(), true);
        settle(400);
        closeForm(books);
        settle(200);
    }
}

TEST_P(RealDisplayNotchSides, ALongAlertKeepsClearOfTheNotch)
{
    ApplicationScreen* databases = top();
    ASSERT_NE(databases, nullptr);
    QStringList lines;
    for (int line = 1; line <= 60; ++line)
        lines << QStringLiteral("Line %1: the value \"abc\" is not a number.").arg(line);
    auto* alert = new platform::ui::AlertView(
        QStringLiteral("Import Failed"), lines.join('\n'), nullptr, QStringLiteral("OK"), {});
    alert->show();
    settle(300);
    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));
        settle(100);
        const platform::ui::Label* title = nullptr;
        for (const platform::ui::Label* label : alert->findChildren<platform::ui::Label*>())
            if (label->text() == "Import Failed")
                title = label;
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(inside("the title", inWindow(title)));
        const QList<QRectF> buttons = shownButtons(alert);
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_TRUE(inside("OK", buttons.first()));
        if (side == platform::ui::Orientation::Portrait) {
            ASSERT_TRUE(saveShot("real-notch-long-alert.png"));
        }
    }
    alert->dismissWithClickedButtonIndex(0, false);
    settle(100);
}

// Opened upright, then turned on its side: the form's section headings move clear of the
// notch as its rows do, those in sight at the turn and those scrolled back into it.
TEST_P(RealDisplayNotchSides, TheChartFormsHeadingsMoveClearOfTheNotchWhenItTurns)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    ASSERT_TRUE(addRow(books, { { kTitle, "Dune" }, { kRating, "5" } }));
    const auto checkHeadings = [&](FormTableView* table) {
        settle(100);
        int checked = 0;
        for (int s = 0; s < table->numberOfSections(); ++s)
            if (auto* heading = qobject_cast<platform::ui::TableViewHeaderFooterView*>(
                    table->headerViewForSection(s))) {
                const platform::ui::Label* label = heading->textLabel();
                EXPECT_TRUE(clear(qPrintable(label->text()), inWindow(label)));
                ++checked;
            }
        // What the server shows under the notch on the left is the table's background alone.
        const QImage shot = server();
        const QRectF shown = inWindow(table);
        const QMarginsF safe = platform::ui::Device::current().safeAreaInsets();
        const QColor background = shot.pixelColor(1, int(shown.top()) + 1);
        EXPECT_EQ(
            standingOut(shot, QRect(0, int(shown.top()), int(safe.left()), int(shown.height())),
                background),
            0);
        return checked;
    };
    for (const auto side :
        { platform::ui::Orientation::LandscapeLeft, platform::ui::Orientation::LandscapeRight }) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(platform::ui::Orientation::Portrait));
        books->dataController()->chart(nullptr);
        QuickDetailViewController* form = awaitedForm(books);
        ASSERT_NE(form, nullptr);
        settle(600);
        FormTableView* table = form->formTableView();
        ASSERT_TRUE(turn(side));
        EXPECT_GE(checkHeadings(table), 2);
        if (side == platform::ui::Orientation::LandscapeLeft) {
            ASSERT_TRUE(saveShot("real-notch-chart-form-turned.png"));
        }
        // Scrolled down until the first heading has gone, and back, as a person reads
        // the form through.
        table->setContentOffset(QPointF(0, table->rectForHeaderInSection(1).top()));
        EXPECT_EQ(table->headerViewForSection(0), nullptr);
        EXPECT_GE(checkHeadings(table), 1);
        table->setContentOffset(table->minimumContentOffset());
        EXPECT_GE(checkHeadings(table), 2);
        navigation->popToViewController(books, false);
        settle(200);
    }
}

// A form longer than the screen, wheeled to its end as a person reads it through: its last
// row, Save, comes to rest above the home indicator's strip, upright and on either side.
TEST_P(RealDisplayNotchSides, ALongFormsSaveRowScrollsClearOfTheHomeIndicator)
{
    ApplicationScreen* books = openBooks();
    ASSERT_NE(books, nullptr);
    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));
        QuickDetailViewController* form = openAddForm(books);
        ASSERT_NE(form, nullptr);
        settle(600);
        FormTableView* table = form->formTableView();
        ASSERT_GT(table->contentSize().height(), table->height());
        wheelToTheEnd(table);
        const int section = table->numberOfSections() - 1;
        const platform::ui::IndexPath last(table->numberOfRowsInSection(section) - 1, section);
        platform::ui::TableViewCell* save = table->cellForRowAtIndexPath(last);
        ASSERT_NE(save, nullptr);
        ASSERT_EQ(table->elementAt(last)->controllerAction(), "onSave:");
        EXPECT_TRUE(inside("Save", inWindow(save)));
        if (side == platform::ui::Orientation::Portrait) {
            ASSERT_TRUE(saveShot("real-notch-form-save-row.png"));
        }
        navigation->popToViewController(books, false);
        settle(200);
    }
}

// Home's Options list, a list of tiles with no toolbar under it, wheeled to its end as a
// person looks for Restore: its last tile comes to rest above the home indicator's strip,
// upright and on either side.
TEST_P(RealDisplayNotchSides, ATileListsLastTileScrollsClearOfTheHomeIndicator)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    ASSERT_NE(home, databases);
    for (const auto side : everyWay()) {
        SCOPED_TRACE(sideName(side));
        ASSERT_TRUE(turn(side));
        GestureSynthesizer::tap(barButton(home, kOptionsButton));
        settle(700);
        auto* options
            = dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        ASSERT_NE(options, nullptr);
        ASSERT_NE(options, home);
        platform::ui::CollectionView* tiles = options->collectionView();
        wheelToTheEnd(tiles);
        const int last = tiles->numberOfItemsInSection(0) - 1;
        auto* title = qobject_cast<platform::ui::Label*>(tileView(options, last, 3000));
        ASSERT_NE(title, nullptr);
        ASSERT_EQ(title->text(), LocalizedStrings::Restore());
        EXPECT_TRUE(inside(
            "Restore", inWindow(tiles->cellForItemAtIndexPath(platform::ui::IndexPath(last, 0)))));
        if (side == platform::ui::Orientation::LandscapeLeft) {
            ASSERT_TRUE(saveShot("real-notch-options-last-tile.png"));
        }
        navigation->popToViewController(home, false);
        settle(200);
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayNotchSides, ::testing::Values("phone-x"));

} // namespace
} // namespace e2e
