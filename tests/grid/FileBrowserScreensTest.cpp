#include "GridScreenFixture.h"

#include "grid/BridgeScreenFactory.h"
#include "grid/FileBrowserViewController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "utilities/shell/FileBrowserProtocol.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

using gridtest::GridScreens;

namespace {

// Hears the chosen entry and closes the browser: the popups of the screen that opened
// it, or back to that screen on its stack.
class Chooser : public FileBrowserProtocol {
public:
    explicit Chooser(BaseViewController* opener, bool pop = false)
        : opener(opener)
        , pop(pop)
    {
    }
    void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& file, platform::ui::ViewController*) override
    {
        chosen << file;
    }
    bool respondsToDismissPopup() const override { return true; }
    void dismissPopup() override
    {
        if (pop)
            opener->navigationController()->popToViewController(opener, true);
        else
            opener->dismissPopup();
    }

    BaseViewController* opener;
    bool pop;
    QList<std::shared_ptr<FileInfo>> chosen;
};

struct FileBrowsers : GridScreens {
    void SetUp() override
    {
        GridScreens::SetUp();
        FileBrowserViewController::registerStoryboard(platform::ui::Storyboard::main());
        QDir().mkpath(FileManager::documentsDirectory());
    }

    static FileBrowserViewController* browserOf(BaseViewController* screen)
    {
        return qobject_cast<FileBrowserViewController*>(screen->fileBrowser());
    }
    static FileBrowserViewController* cloudBrowserOf(BaseViewController* screen)
    {
        return qobject_cast<FileBrowserViewController*>(screen->cloudFileBrowser());
    }

    static platform::ui::NavigationController* shownWrapper(BaseViewController* screen)
    {
        SimplePopupViewController* popup = screen->simplepopupController();
        return popup
            ? qobject_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
    }
};

TEST_F(FileBrowsers, ASaveDialogOfTheSameTypeIsShownAgainWithTheNewDelegateNameAndTitle)
{
    auto* screen = open(itemsRecord());
    Chooser first(screen);
    Chooser second(screen);
    screen->showLocalFileBrowser(true, "sales.csv", "csv", {}, "Export", &first);
    settle();
    QPointer<FileBrowserViewController> browser = browserOf(screen);
    ASSERT_TRUE(browser);
    SimplePopupViewController* popup = screen->simplepopupController();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->contentSize(), QSizeF(400, 800));
    ASSERT_NE(shownWrapper(screen), nullptr);
    // The browser is the first screen of its own stack: nothing to go back to.
    EXPECT_EQ(shownWrapper(screen)->viewControllers(),
        QList<platform::ui::ViewController*> { browser.data() });
    EXPECT_EQ(browser->screen()->id, "SCREEN_FILE_BROWSER");
    EXPECT_EQ(browser->screen()->title, "Export");
    EXPECT_EQ(browser->title(), "Export");
    EXPECT_TRUE(browser->saveDialog());
    EXPECT_EQ(browser->type(), "csv");
    EXPECT_EQ(browser->fileBrowserDelegate(), &first);
    ASSERT_NE(browser->fileNameField(), nullptr);
    EXPECT_EQ(browser->navigationItem()->titleView(), browser->fileNameField());
    EXPECT_EQ(browser->fileName(), "sales.csv");
    EXPECT_TRUE(saveShot("file-browser-save-tablet.png"));

    // The person types another name, then leaves.
    browser->fileNameField()->setText("sales-march.csv");
    screen->dismissPopup();
    settle();

    screen->showLocalFileBrowser(true, "stock.csv", "csv", "/reports", "Export Stock", &second);
    settle();
    EXPECT_EQ(browserOf(screen), browser.data());
    EXPECT_EQ(shownWrapper(screen)->topViewController(), browser.data());
    EXPECT_EQ(browser->fileBrowserDelegate(), &second);
    // Never the last save's name, which would overwrite that file.
    EXPECT_EQ(browser->fileName(), "stock.csv");
    EXPECT_EQ(browser->defaultFileName(), "stock.csv");
    EXPECT_EQ(browser->startupDir(), "/reports");
    EXPECT_EQ(browser->title(), "Export Stock");
    EXPECT_EQ(browser->screen()->title, "Export Stock");
    screen->dismissPopup();
    settle();

    // Another type, or opening instead of saving, needs a browser of its own.
    screen->showLocalFileBrowser(true, "stock.xls", "xls", {}, "Export", &second);
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(browser.isNull());
    QPointer<FileBrowserViewController> xls = browserOf(screen);
    ASSERT_TRUE(xls);
    EXPECT_EQ(xls->type(), "xls");
    screen->dismissPopup();
    settle();
    screen->showLocalFileBrowser(false, {}, "xls", {}, "Import", &second);
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(xls.isNull());
    ASSERT_NE(browserOf(screen), nullptr);
    EXPECT_FALSE(browserOf(screen)->saveDialog());
    EXPECT_EQ(browserOf(screen)->fileNameField(), nullptr);
    screen->dismissPopup();
    settle();
}

TEST_F(FileBrowsers, TheCloudBrowserKeepsItsOwnSlotAndTheRemoteOneSharesTheLocal)
{
    auto* screen = open(itemsRecord());
    Chooser chooser(screen);
    screen->showLocalFileBrowser(true, "a.csv", "csv", {}, "Local", &chooser);
    settle();
    QPointer<FileBrowserViewController> local = browserOf(screen);
    screen->dismissPopup();
    screen->showCloudFileBrowser(true, "a.csv", "csv", {}, "Cloud", &chooser);
    settle();
    QPointer<FileBrowserViewController> cloud = cloudBrowserOf(screen);
    ASSERT_TRUE(local && cloud);
    EXPECT_NE(local.data(), cloud.data());
    EXPECT_EQ(cloud->screen()->id, "SCREEN_CLOUD_FILE_BROWSER_ID");
    EXPECT_EQ(local->title(), "Local");
    screen->dismissPopup();
    screen->showFileBrowser(true, "b.csv", "csv", {}, "Remote", &chooser);
    settle();
    EXPECT_EQ(browserOf(screen), local.data());
    EXPECT_EQ(cloudBrowserOf(screen), cloud.data());
    screen->dismissPopup();
    settle();
}

TEST_F(FileBrowsers, OnAPhoneTheBrowserIsPushedAndReturnSavesUnderTheTypedName)
{
    auto* screen = open(itemsRecord(), "phone");
    Chooser chooser(screen, /*pop*/ true);
    screen->showLocalFileBrowser(true, "notes.csv", "csv", {}, "Save", &chooser);
    settle();
    QPointer<FileBrowserViewController> browser = browserOf(screen);
    ASSERT_TRUE(browser);
    EXPECT_EQ(navigation->topViewController(), browser.data());
    EXPECT_EQ(screen->simplepopupController(), nullptr);
    EXPECT_TRUE(saveShot("file-browser-save-phone.png"));

    browser->fileNameField()->setText("march.csv");
    browser->textFieldShouldReturn(browser->fileNameField());
    settle(60);
    ASSERT_EQ(chooser.chosen.size(), 1);
    EXPECT_EQ(chooser.chosen[0]->name, "march.csv");
    EXPECT_EQ(
        chooser.chosen[0]->fullName, QDir(FileManager::documentsDirectory()).filePath("march.csv"));
    // Back on the screen that opened it, which keeps the browser for the next time.
    EXPECT_EQ(navigation->topViewController(), screen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(browser);
    screen->showLocalFileBrowser(true, "april.csv", "csv", {}, "Save", &chooser);
    settle();
    EXPECT_EQ(navigation->topViewController(), browser.data());
    EXPECT_EQ(browser->fileName(), "april.csv");
}

// A save dialog saves from the save button in its navigation bar and, in a popup where it
// has no back button, closes from Cancel telling no one of a choice; an open dialog has
// neither.
TEST_F(FileBrowsers, ASaveDialogSavesFromItsBarButtonAndCancelsWithoutAChoice)
{
    auto* screen = open(itemsRecord());
    Chooser chooser(screen);
    const auto saveButton = [](FileBrowserViewController* browser) -> platform::ui::View* {
        for (platform::ui::BarButtonItem* item : browser->navigationItem()->rightBarButtonItems())
            if (item && item->tag() == FileBrowserViewController::SaveButton && item->view())
                return item->view();
        return nullptr;
    };
    screen->showLocalFileBrowser(true, "sales.csv", "csv", {}, "Export", &chooser);
    settle();
    QPointer<FileBrowserViewController> browser = browserOf(screen);
    ASSERT_TRUE(browser);
    ASSERT_NE(saveButton(browser), nullptr);
    EXPECT_TRUE(browser->isButtonInTopBar(saveButton(browser)));
    ASSERT_NE(browser->cancelItem(), nullptr);
    EXPECT_EQ(browser->navigationItem()->leftBarButtonItem(), browser->cancelItem());

    browser->cancelItem()->trigger();
    settle();
    EXPECT_EQ(screen->simplepopupController(), nullptr);
    EXPECT_TRUE(chooser.chosen.isEmpty());

    // Shown again, the same browser saves from its button under the typed name.
    screen->showLocalFileBrowser(true, "sales.csv", "csv", {}, "Export", &chooser);
    settle();
    ASSERT_EQ(browserOf(screen), browser.data());
    ASSERT_NE(saveButton(browser), nullptr);
    browser->fileNameField()->setText("sales-may.csv");
    testsupport::GestureSynthesizer::tap(saveButton(browser));
    settle(60);
    ASSERT_EQ(chooser.chosen.size(), 1);
    EXPECT_EQ(chooser.chosen[0]->name, "sales-may.csv");
    EXPECT_EQ(screen->simplepopupController(), nullptr);

    // Opening a file: the tapped file is the choice, no button saves and nothing cancels.
    screen->showLocalFileBrowser(false, {}, "csv", {}, "Import", &chooser);
    settle();
    FileBrowserViewController* opening = browserOf(screen);
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(saveButton(opening), nullptr);
    EXPECT_EQ(opening->cancelItem(), nullptr);
    screen->dismissPopup();
    settle();
}

} // namespace

namespace {

// The names a browser lists now, sorted.
QStringList listed(FileBrowserViewController* browser)
{
    QStringList names = GridScreens::shownTitles(browser);
    names.sort();
    return names;
}

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

TEST_F(FileBrowsers, ABrowserShownAgainListsWhatIsThereNowFromItsStartFolder)
{
    const QDir documents(FileManager::documentsDirectory());
    ASSERT_TRUE(documents.mkpath("reports/2026"));
    ASSERT_TRUE(touch(documents.filePath("a.csv")));
    ASSERT_TRUE(touch(documents.filePath("reports/r.csv")));
    auto* screen = open(itemsRecord());
    Chooser chooser(screen);
    const auto show = [&](const QString& startupDir) {
        screen->showLocalFileBrowser(false, {}, "csv", startupDir, "Import", &chooser);
        settle();
        FileBrowserViewController* browser = browserOf(screen);
        return browser ? listed(browser) : QStringList { "no browser" };
    };
    EXPECT_EQ(show({}), QStringList({ "a.csv", "reports" }));
    screen->dismissPopup();
    settle();

    // A file made meanwhile is listed when the same browser shows again.
    ASSERT_TRUE(touch(documents.filePath("b.csv")));
    EXPECT_EQ(show({}), QStringList({ "a.csv", "b.csv", "reports" }));
    screen->dismissPopup();
    settle();

    // The start folder, from Documents or as a full path inside it.
    EXPECT_EQ(show("reports"), QStringList({ "2026", "r.csv" }));
    screen->dismissPopup();
    settle();
    EXPECT_EQ(show("/reports/"), QStringList({ "2026", "r.csv" }));
    screen->dismissPopup();
    settle();
    EXPECT_TRUE(show(documents.filePath("reports/2026")).isEmpty());
    screen->dismissPopup();
    settle();
    // One that is missing or leads out of Documents opens Documents.
    for (const QString& outside : { QString("missing"), QString("reports/../.."), QDir::tempPath(),
             documents.filePath("a.csv") }) {
        EXPECT_EQ(show(outside), QStringList({ "a.csv", "b.csv", "reports" }))
            << outside.toStdString();
        screen->dismissPopup();
        settle();
    }
}

TEST_F(FileBrowsers, ASaveAtTheTopOfTheStartFolderPutsTheFileThere)
{
    const QDir documents(FileManager::documentsDirectory());
    ASSERT_TRUE(documents.mkpath("reports"));
    auto* screen = open(itemsRecord(), "phone");
    Chooser chooser(screen, /*pop*/ true);
    screen->showLocalFileBrowser(true, "march.csv", "csv", "reports", "Save", &chooser);
    settle();
    FileBrowserViewController* browser = browserOf(screen);
    ASSERT_NE(browser, nullptr);
    browser->textFieldShouldReturn(browser->fileNameField());
    settle(60);
    ASSERT_EQ(chooser.chosen.size(), 1);
    EXPECT_EQ(chooser.chosen[0]->fullName, documents.filePath("reports/march.csv"));
    EXPECT_EQ(navigation->topViewController(), screen);
}

// A swipe over a listed file offers only delete; the confirmed delete takes the file off
// the disk and the list.
TEST_F(FileBrowsers, ASwipedEntryOffersDeleteAlone)
{
    const QDir documents(FileManager::documentsDirectory());
    ASSERT_TRUE(touch(documents.filePath("a.csv")));
    ASSERT_TRUE(touch(documents.filePath("b.csv")));
    auto* screen = open(itemsRecord());
    Chooser chooser(screen);
    screen->showLocalFileBrowser(false, {}, "csv", {}, "Import", &chooser);
    settle();
    FileBrowserViewController* browser = browserOf(screen);
    ASSERT_NE(browser, nullptr);
    const QStringList shown = shownTitles(browser);
    const int first = int(shown.indexOf("a.csv"));
    ASSERT_GE(first, 0);

    testsupport::GestureSynthesizer::swipe(cell(browser, first)->contentView(),
        platform::ui::SwipeGestureRecognizer::Left, QPointF(150, 20));
    settle();
    platform::ui::View* remove = tileView(browser, first, 2002);
    ASSERT_NE(remove, nullptr);
    EXPECT_FALSE(remove->isHidden());
    EXPECT_EQ(tileView(browser, first, 2001), nullptr);

    testsupport::GestureSynthesizer::tap(remove);
    settle();
    const auto alerts = platform::ui::AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    alerts.first()->clickButtonAtIndex(1);
    settle(60);
    EXPECT_FALSE(QFileInfo::exists(documents.filePath("a.csv")));
    EXPECT_TRUE(QFileInfo::exists(documents.filePath("b.csv")));
    EXPECT_EQ(listed(browser), QStringList { "b.csv" });
    screen->dismissPopup();
    settle();
}
