#include "AppFixture.h"

#include "forms/FormMultilineTextViewController.h"
#include "forms/FormTableView.h"
#include "grid/FileBrowserViewController.h"
#include "platform/ui/Font.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/PopoverView.h"
#include "widgets/SimplePopupViewController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QWindow>

#include <functional>

// What a person sees on a real X server: the pixels the server holds, which only the
// paints that reached it make. Offscreen, a grab paints the widgets afresh and hides
// whatever never reached the screen, so these tests run only on an X server.
namespace e2e {
namespace {

const QString kBooksTable = QStringLiteral("69905CFA-4BDD-4FED-91B9-D7B1EB140839");
const QString kGenreColumn = QStringLiteral("5ADEB9BA-2C5D-416C-B5F0-2D5594B34347");
const QString kNotesColumn = QStringLiteral("94A4FA44-21A5-45A5-A961-5FCA0A0937A4");
constexpr int kSettings = 28;
constexpr int kExpandCollapse = 35;
constexpr int kSave = 31;

struct RealDisplay : AppTest {
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs a real X server (QT_QPA_PLATFORM=xcb)";
        AppTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()->windowHandle()));
        settle(100);
    }

    // The share of the window's pixels that the X server shows otherwise than the window
    // draws them now. The server is read first, after a moment with no input: painting
    // the window afresh for the comparison would bring it up to date.
    static double unshownShare()
    {
        settle(300);
        platform::ui::Window* shown = window();
        const QPoint at = shown->mapToGlobal(QPoint(0, 0));
        const QImage server = shown->screen()
                                  ->grabWindow(0, at.x(), at.y(), shown->width(), shown->height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const QImage drawn = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (server.size() != drawn.size())
            return 1.0;
        qint64 differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(server.constScanLine(y));
            for (int x = 0; x < drawn.width(); ++x)
                if (std::abs(qRed(a[x]) - qRed(b[x])) > 40
                    || std::abs(qGreen(a[x]) - qGreen(b[x])) > 40
                    || std::abs(qBlue(a[x]) - qBlue(b[x])) > 40)
                    ++differing;
        }
        return double(differing) / (double(drawn.width()) * drawn.height());
    }

    // Back to the first screen with nothing open over it.
    void closeAll()
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        // A form's own popups (a choice list) first, then the screens'.
        for (platform::ui::ViewController* controller : navigation->viewControllers()) {
            auto* screen = dynamic_cast<BaseViewController*>(controller);
            PopoverController* popover = screen ? screen->popupController() : nullptr;
            if (auto* form = popover
                    ? dynamic_cast<BaseViewController*>(popover->contentViewController())
                    : nullptr)
                form->dismissPopup();
            if (screen)
                screen->dismissPopup();
        }
        navigation->popToRootViewController(false);
        settle(100);
        // A list popup still up goes as a person closes it, with a tap beside it.
        for (PopoverTouchView* outside : window()->findChildren<PopoverTouchView*>())
            if (outside->isVisible())
                GestureSynthesizer::tap(outside, QPointF(3, outside->height() - 3));
        settle(100);
    }

    ApplicationScreen* openBooks()
    {
        ApplicationScreen* databases = top();
        if (!open(databases, "Household"))
            return nullptr;
        ApplicationScreen* home = top();
        return home != databases && open(home, "Books") ? top() : nullptr;
    }

    // The screen's Options list, in a popup on a tablet and pushed on a phone.
    MainCollectionViewController* openOptions(ApplicationScreen* screen)
    {
        platform::ui::View* settings = barButton(screen, kSettings);
        if (!settings)
            return nullptr;
        // Two taps on the button in a moment are a double click, which no button takes.
        settle(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        GestureSynthesizer::tap(settings);
        settle(100);
        if (!tablet())
            return dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<MainCollectionViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    FileBrowserViewController* openSaveBrowser()
    {
        ApplicationScreen* databases = top();
        MainCollectionViewController* options = openOptions(databases);
        const int at = options ? int(titles(options).indexOf("Backup")) : -1;
        if (at < 0)
            return nullptr;
        // The list has faded in before it is tapped, and the browser after.
        settle(300);
        GestureSynthesizer::tap(tileView(options, at, 2000));
        settle(400);
        if (auto* pushed
            = dynamic_cast<FileBrowserViewController*>(navigation->topViewController()))
            return pushed;
        SimplePopupViewController* popup = databases->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<FileBrowserViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    // The form the screen opened for the browser's add button: Create Folder.
    QuickDetailViewController* openCreateFolder(FileBrowserViewController* browser)
    {
        if (!browser)
            return nullptr;
        browser->dataController()->add(nullptr);
        settle(150);
        if (auto* pushed
            = dynamic_cast<QuickDetailViewController*>(navigation->topViewController()))
            return pushed;
        PopoverController* popover = browser->popupController();
        return popover ? dynamic_cast<QuickDetailViewController*>(popover->contentViewController())
                       : nullptr;
    }

    static platform::ui::TextField* firstField(QuickDetailViewController* form)
    {
        return form ? form->view()->findChild<platform::ui::TextField*>() : nullptr;
    }

    // Types as a person does: the keys go wherever the keyboard focus is.
    static void typeText(const QString& text)
    {
        if (QWidget* focus = QApplication::focusWidget())
            QTest::keyClicks(focus, text);
        settle(60);
    }

    // The bottom toolbar of the screen on top shows in full, with no input panel over it.
    ::testing::AssertionResult toolbarBack()
    {
        settle(100);
        platform::ui::InputPanel* panel = window()->inputPanel();
        if (panel->isShowing() || panel->isVisible())
            return ::testing::AssertionFailure() << "the input panel still shows";
        platform::ui::Toolbar* bar = navigation->toolbar();
        if (navigation->isToolbarHidden() || !bar->isVisible())
            return ::testing::AssertionFailure() << "no toolbar";
        const QRectF frame = bar->convertRectToView(bar->bounds(), nullptr);
        if (std::abs(frame.bottom() - window()->height()) > 1 || frame.width() != window()->width())
            return ::testing::AssertionFailure() << "toolbar at " << frame.x() << "," << frame.y();
        if (unshownShare() >= 0.002)
            return ::testing::AssertionFailure() << "the screen shows something else";
        return ::testing::AssertionSuccess();
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

    // The screens fill the window and the toolbar lies whole along its bottom.
    ::testing::AssertionResult filled()
    {
        settle(150);
        const QRectF window = platform::ui::Application::shared().keyWindow()->bounds();
        const QRectF root = navigation->view()->frame();
        if (root != window)
            return ::testing::AssertionFailure()
                << "screens " << root.width() << "x" << root.height() << " in a window of "
                << window.width() << "x" << window.height();
        platform::ui::Toolbar* bar = navigation->toolbar();
        const QRectF toolbar = bar->convertRectToView(bar->bounds(), nullptr);
        if (toolbar.width() != window.width() || std::abs(toolbar.bottom() - window.height()) > 1)
            return ::testing::AssertionFailure()
                << "toolbar " << toolbar.x() << "," << toolbar.y() << " " << toolbar.width() << "x"
                << toolbar.height();
        const QRectF screen = top()->view()->convertRectToView(top()->view()->bounds(), nullptr);
        if (screen.width() != window.width())
            return ::testing::AssertionFailure() << "screen " << screen.width() << " wide";
        return ::testing::AssertionSuccess();
    }
};

TEST_P(RealDisplay, EveryKindOfPanelShowsItsContentWhenOpened)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ASSERT_TRUE(addTable(top(), "Books", kBooksTable));
    closeAll();

    struct Kind {
        const char* name;
        std::function<bool()> open;
    };
    const QList<Kind> kinds = {
        { "the Options list", [&] { return openOptions(databases) != nullptr; } },
        { "the add form",
            [&] {
                databases->dataController()->add(nullptr);
                return awaitedForm(databases) != nullptr;
            } },
        { "the edit form",
            [&] {
                databases->setSelectedRow(titles(databases).indexOf("Household"));
                databases->dataController()->edit(nullptr);
                return awaitedForm(databases) != nullptr;
            } },
        { "the Books add form",
            [&] {
                ApplicationScreen* books = openBooks();
                if (!books)
                    return false;
                books->dataController()->add(nullptr);
                return awaitedForm(books) != nullptr;
            } },
        { "the Genre list",
            [&] {
                // Only the list fades in; the form under it is opened at once.
                platform::ui::Animation::setInstant(true);
                ApplicationScreen* books = openBooks();
                if (!books)
                    return false;
                books->dataController()->add(nullptr);
                QuickDetailViewController* form = awaitedForm(books);
                platform::ui::Animation::setInstant(false);
                FormElement* genre = element(form, kGenreColumn);
                const auto path = genre ? genre->getIndexPath() : std::nullopt;
                platform::ui::TableViewCell* cell = path
                    ? form->formTableView()->cellForRowAtIndexPath(FormTableView::tablePath(*path))
                    : nullptr;
                if (!cell)
                    return false;
                GestureSynthesizer::tap(cell);
                settle(150);
                return true;
            } },
        { "the save browser", [&] { return openSaveBrowser() != nullptr; } },
        { "Create Folder",
            [&] {
                platform::ui::Animation::setInstant(true);
                FileBrowserViewController* browser = openSaveBrowser();
                platform::ui::Animation::setInstant(false);
                return openCreateFolder(browser) != nullptr;
            } },
        { "an alert",
            [&] {
                databases->dataController()->add(nullptr);
                QuickDetailViewController* form = awaitedForm(databases);
                if (!form)
                    return false;
                form->onSave();
                settle(100);
                return !platform::ui::AlertView::visibleAlerts().isEmpty();
            } },
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        // Opened as a person sees it, fading in.
        platform::ui::Animation::setInstant(false);
        const bool opened = kind.open();
        const double unshown = unshownShare();
        platform::ui::Animation::setInstant(true);
        ASSERT_TRUE(opened);
        EXPECT_LT(unshown, 0.002);
        closeAll();
    }
}

TEST_P(RealDisplay, TheToolbarComesBackWhenAFormWithAFocusedFieldCloses)
{
    ApplicationScreen* databases = top();
    const auto focusedForm = [&] {
        databases->dataController()->add(nullptr);
        QuickDetailViewController* form = awaitedForm(databases);
        platform::ui::TextField* field = firstField(form);
        if (!field || !field->becomeFirstResponder())
            return static_cast<QuickDetailViewController*>(nullptr);
        settle(100);
        return window()->inputPanel()->isShowing() ? form : nullptr;
    };
    struct Way {
        const char* name;
        std::function<void(QuickDetailViewController*)> close;
    };
    QList<Way> ways = {
        { "Save",
            [&](QuickDetailViewController* form) {
                if (auto* name = qobject_cast<FormEntryElement*>(element(form, "name")))
                    name->setTextValue("Garage");
                if (auto* descr = qobject_cast<FormEntryElement*>(element(form, "descr")))
                    descr->setTextValue("Tools");
                form->onSave();
            } },
    };
    if (tablet()) {
        ways.append({ "Close", [&](QuickDetailViewController*) { databases->dismissPopup(); } });
    } else {
        ways.append(
            { "Back", [&](QuickDetailViewController*) { navigation->popViewController(true); } });
        ways.append({ "Home",
            [&](QuickDetailViewController*) { navigation->popToRootViewController(true); } });
    }
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        QuickDetailViewController* form = focusedForm();
        ASSERT_NE(form, nullptr);
        way.close(form);
        EXPECT_TRUE(toolbarBack());
        // The next field focused shows its bar again.
        closeAll();
    }
    EXPECT_TRUE(titles(databases).contains("Garage"));
}

TEST_P(RealDisplay, ResizingTheWindowLaysTheScreensOutAgain)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(filled());
    const QSize first = window()->size();
    // Across square both ways: turned, then back.
    const QList<QSize> sizes = tablet()
        ? QList<QSize> { QSize(700, 880), QSize(1024, 768), QSize(640, 860), first }
        : QList<QSize> { QSize(667, 375), first, QSize(500, 420), first };
    for (const QSize& size : sizes) {
        SCOPED_TRACE(QString("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        ASSERT_TRUE(resizeWindow(size.width(), size.height()));
        EXPECT_TRUE(filled());
        EXPECT_LT(unshownShare(), 0.002);
    }
}

TEST_P(RealDisplay, AColumnTableMeasuresItsColumnsForTheNewWidth)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    GestureSynthesizer::tap(barButton(databases, kExpandCollapse));
    settle(100);
    ASSERT_EQ(QString(databases->rowViewContoller()->metaObject()->className()),
        "ModelColumnsRowViewController");
    int row = 0;
    while (!columnTexts(databases, row).isEmpty()
        && columnTexts(databases, row).first() != "Household")
        ++row;
    // Where the last column ends, in the window.
    const auto columnsEnd = [&] {
        settle(150);
        platform::ui::View* last = nullptr;
        for (int tag = 100; platform::ui::View* column = tileView(databases, row, tag); ++tag)
            last = column;
        return last ? last->convertRectToView(last->bounds(), nullptr).right() : -1.0;
    };
    const double before = columnsEnd();
    ASSERT_GT(before, 0);
    const int wider = window()->width() + 200;
    ASSERT_TRUE(resizeWindow(wider, window()->height()));
    EXPECT_NEAR(columnsEnd() - before, 200, 20);
    ASSERT_TRUE(saveShot(QString("real-columns-resized-%1.png").arg(GetParam())));
}

TEST_P(RealDisplay, CreateFolderOpensOverTheSaveBrowser)
{
    if (!tablet())
        GTEST_SKIP() << "a phone pushes the form";
    QuickDetailViewController* form = openCreateFolder(openSaveBrowser());
    ASSERT_NE(form, nullptr);
    PopoverView* panel = nullptr;
    for (QWidget* w = form->view(); w && !panel; w = w->parentWidget())
        panel = qobject_cast<PopoverView*>(w);
    ASSERT_NE(panel, nullptr);
    const QRectF shown = panel->convertRectToView(panel->bounds(), nullptr);
    // Centred on the window, as the browser is, not pinned to its corner.
    EXPECT_NEAR(shown.center().x(), window()->width() / 2.0, 2);
    EXPECT_LT(unshownShare(), 0.002);
}

// The save browser as the X server shows it: the whole default name in its field, and the
// save button beside it, which saves under that name.
TEST_P(RealDisplay, TheSaveBrowserShowsItsWholeNameAndSavesFromItsButton)
{
    FileBrowserViewController* saving = openSaveBrowser();
    ASSERT_NE(saving, nullptr);
    platform::ui::TextField* field = saving->fileNameField();
    ASSERT_NE(field, nullptr);
    const QString name = saving->fileName();
    ASSERT_TRUE(name.startsWith("Backup_"));
    EXPECT_LE(platform::ui::Font::measure(name, field->shownFont()).width(),
        field->textRectForBounds(field->bounds()).width());
    platform::ui::View* save = barButton(saving, kSave);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isVisible());
    const QRectF button = save->convertRectToView(save->bounds(), nullptr);
    const QRectF shown = field->convertRectToView(field->bounds(), nullptr);
    EXPECT_LE(shown.right(), button.left());
    EXPECT_TRUE(QRectF(window()->bounds()).contains(button));
    EXPECT_LT(unshownShare(), 0.002);
    ASSERT_TRUE(saveShot(QString("real-save-browser-%1.png").arg(GetParam())));

    GestureSynthesizer::tap(save);
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    EXPECT_TRUE(QFile::exists(QDir(platform::Folders::documents()).filePath(name)));
}

// The note editor, the folder name of Create Folder and the mail composer's To: take the
// keys as they show: what is typed at once goes in, with no click first.
TEST_P(RealDisplay, AScreenThatAsksForTheKeysAsItAppearsHasThemAtOnce)
{
    window()->activateWindow();
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ASSERT_TRUE(addTable(top(), "Books", kBooksTable));
    ASSERT_TRUE(open(top(), "Books"));
    ApplicationScreen* books = top();
    books->dataController()->add(nullptr);
    QuickDetailViewController* form = awaitedForm(books);
    ASSERT_NE(form, nullptr);
    auto* notes = qobject_cast<FormEntryElement*>(element(form, kNotesColumn));
    ASSERT_NE(notes, nullptr);
    const auto path = notes->getIndexPath();
    ASSERT_TRUE(path);
    const auto row = FormTableView::tablePath(*path);
    form->formTableView()->scrollToRowAtIndexPath(
        row, platform::ui::TableView::ScrollPosition::None, false);
    settle(100);
    platform::ui::TableViewCell* cell = form->formTableView()->cellForRowAtIndexPath(row);
    ASSERT_NE(cell, nullptr);
    // Typed while the editor still slides in.
    platform::ui::Animation::setInstant(false);
    GestureSynthesizer::tap(cell);
    settle(100);
    typeText("Signed copy");
    platform::ui::Animation::setInstant(true);
    settle(300);
    EXPECT_EQ(notes->textValue(), "Signed copy");
    ASSERT_TRUE(saveShot(QString("real-note-typed-%1.png").arg(GetParam())));
    closeAll();

    QuickDetailViewController* folder = openCreateFolder(openSaveBrowser());
    ASSERT_NE(folder, nullptr);
    typeText("Receipts");
    ASSERT_NE(firstField(folder), nullptr);
    EXPECT_EQ(firstField(folder)->text(), "Receipts");
    closeAll();

    MailHelper::sendEmailTo(QString(), "Books", "The list.", top());
    settle(400);
    auto* composer = dynamic_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_NE(composer, nullptr);
    typeText("ana@example.com");
    EXPECT_EQ(composer->message().to, QStringList { "ana@example.com" });
    composer->cancel();
    settle(400);
}

// A password prompt shown while a screen that asks for the keys comes in keeps them: what
// is typed goes into the prompt, not into the screen under it; once the prompt has closed,
// the screen has them. The screen asks as it shows (the note editor), once it has come to
// rest (Create Folder) or as it rises (the mail composer).
TEST_P(RealDisplay, APromptKeepsTheKeysFromAScreenComingInAndHandsThemOnWhenItCloses)
{
    window()->activateWindow();
    const auto showPrompt = [] {
        auto* prompt = new platform::ui::AlertView(LocalizedStrings::Password(),
            QStringLiteral("\n"), nullptr, LocalizedStrings::Cancel(), { LocalizedStrings::OK() });
        prompt->setAlertViewStyle(platform::ui::AlertView::Style::SecureTextInput);
        prompt->show();
        settle(100);
        return QPointer<platform::ui::AlertView>(prompt);
    };
    // The prompt has the keys: it takes what is typed; then it is cancelled.
    const auto promptKeepsTheKeys = [](const QPointer<platform::ui::AlertView>& prompt) {
        if (!prompt || !prompt->isVisible())
            return ::testing::AssertionFailure() << "no prompt";
        typeText("secret");
        const QString typed = prompt->textFieldAtIndex(0)->text();
        prompt->clickButtonAtIndex(prompt->cancelButtonIndex());
        settle(300);
        if (typed != "secret")
            return ::testing::AssertionFailure()
                << "the prompt got \"" << typed.toStdString() << "\"";
        return ::testing::AssertionSuccess();
    };

    {
        SCOPED_TRACE("the note editor, pushed under the prompt");
        QPointer<platform::ui::AlertView> prompt = showPrompt();
        platform::ui::Animation::setInstant(false);
        auto* note = new FormMultilineTextViewController(QStringLiteral("Note"));
        navigation->pushViewController(note, true);
        settle(700);
        platform::ui::Animation::setInstant(true);
        EXPECT_TRUE(promptKeepsTheKeys(prompt));
        EXPECT_TRUE(note->textView()->text().isEmpty());
        typeText("Signed copy");
        EXPECT_EQ(note->textView()->text(), "Signed copy");
        closeAll();
    }
    {
        SCOPED_TRACE("Create Folder, the prompt shown as it comes in");
        FileBrowserViewController* browser = openSaveBrowser();
        ASSERT_NE(browser, nullptr);
        platform::ui::Animation::setInstant(false);
        browser->dataController()->add(nullptr);
        settle(60);
        QPointer<platform::ui::AlertView> prompt = showPrompt();
        settle(700);
        platform::ui::Animation::setInstant(true);
        QuickDetailViewController* folder
            = dynamic_cast<QuickDetailViewController*>(navigation->topViewController());
        if (!folder && browser->popupController())
            folder = dynamic_cast<QuickDetailViewController*>(
                browser->popupController()->contentViewController());
        ASSERT_NE(folder, nullptr);
        ASSERT_NE(firstField(folder), nullptr);
        EXPECT_TRUE(promptKeepsTheKeys(prompt));
        EXPECT_TRUE(firstField(folder)->text().isEmpty());
        typeText("Receipts");
        EXPECT_EQ(firstField(folder)->text(), "Receipts");
        closeAll();
    }
    {
        SCOPED_TRACE("the mail composer, risen under the prompt");
        QPointer<platform::ui::AlertView> prompt = showPrompt();
        platform::ui::Animation::setInstant(false);
        MailHelper::sendEmailTo(QString(), "Books", "The list.", top());
        settle(700);
        platform::ui::Animation::setInstant(true);
        auto* composer = dynamic_cast<platform::ui::MailComposeViewController*>(
            navigation->presentedViewController());
        ASSERT_NE(composer, nullptr);
        EXPECT_TRUE(promptKeepsTheKeys(prompt));
        EXPECT_TRUE(composer->message().to.isEmpty());
        typeText("ana@example.com");
        EXPECT_EQ(composer->message().to, QStringList { "ana@example.com" });
        composer->cancel();
        settle(400);
    }
}

// Inside a folder the field still takes the title's place: the folder's name shows over
// it, on the bar, whatever the back button has room for.
TEST_P(RealDisplay, InsideAFolderTheSaveBrowserShowsTheFoldersName)
{
    ASSERT_TRUE(QDir(platform::Folders::documents()).mkpath("Invoices 2026"));
    FileBrowserViewController* saving = openSaveBrowser();
    ASSERT_NE(saving, nullptr);
    EXPECT_EQ(saving->folderNameLabel(), nullptr);
    saving->refreshView();
    const int at = int(titles(saving).indexOf("Invoices 2026"));
    ASSERT_GE(at, 0);
    GestureSynthesizer::tap(tileView(saving, at, 2000));
    settle(400);
    platform::ui::NavigationController* stack = saving->navigationController();
    ASSERT_NE(stack, nullptr);
    auto* folder = dynamic_cast<FileBrowserViewController*>(stack->topViewController());
    ASSERT_NE(folder, nullptr);
    ASSERT_NE(folder, saving);

    platform::ui::Label* name = folder->folderNameLabel();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Invoices 2026");
    EXPECT_TRUE(name->isVisible());
    const QRectF shown = name->convertRectToView(name->bounds(), nullptr);
    platform::ui::NavigationBar* bar = stack->navigationBar();
    const QRectF barShown = bar->convertRectToView(bar->bounds(), nullptr);
    EXPECT_TRUE(barShown.contains(shown)) << shown.x() << "," << shown.y();
    EXPECT_LE(platform::ui::Font::measure(name->text(), name->font()).width(), shown.width() + 0.5);
    // The name field beneath it, whole and usable.
    platform::ui::TextField* field = folder->fileNameField();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isVisible());
    const QRectF fieldShown = field->convertRectToView(field->bounds(), nullptr);
    EXPECT_TRUE(barShown.contains(fieldShown));
    EXPECT_GE(fieldShown.top(), shown.bottom() - 0.5);
    EXPECT_LE(platform::ui::Font::measure(folder->fileName(), field->shownFont()).width(),
        field->textRectForBounds(field->bounds()).width());
    EXPECT_LT(unshownShare(), 0.002);
    ASSERT_TRUE(saveShot(QString("real-save-browser-folder-%1.png").arg(GetParam())));

    // Back at the first level, the field alone again.
    stack->popViewController(false);
    settle(200);
    EXPECT_EQ(saving->folderNameLabel(), nullptr);
    EXPECT_TRUE(saving->fileNameField()->isVisible());
}

// A tablet on its side is shorter than the browser's popup: the popup fits the window,
// with its bars and their buttons on screen.
TEST_P(RealDisplay, TheBrowserPopupFitsATabletOnItsSide)
{
    if (!tablet())
        GTEST_SKIP() << "a phone pushes the browser";
    ASSERT_TRUE(resizeWindow(1024, 768));
    FileBrowserViewController* saving = openSaveBrowser();
    ASSERT_NE(saving, nullptr);
    SimplePopupViewController* popup = top()->simplepopupController();
    ASSERT_NE(popup, nullptr);
    const QRectF frame = window()->bounds();
    const QRectF container
        = popup->containerView()->convertRectToView(popup->containerView()->bounds(), nullptr);
    EXPECT_TRUE(frame.contains(container)) << container.y() << "+" << container.height();
    QList<platform::ui::BarButtonItem*> items = saving->toolbarItems();
    items += saving->navigationItem()->rightBarButtonItems();
    items += saving->navigationItem()->leftBarButtonItem();
    int checked = 0;
    for (platform::ui::BarButtonItem* item : std::as_const(items)) {
        if (!item || !item->view() || !item->view()->isVisible())
            continue;
        const QRectF button = item->view()->convertRectToView(item->view()->bounds(), nullptr);
        EXPECT_TRUE(container.contains(button)) << item->title().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 4);
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplay, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
