#include "FakeGridScreen.h"

#include "common/TestSupport.h"
#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/ColumnTableDataController.h"
#include "grid/FileBrowserDataController.h"
#include "grid/FileBrowserScreenProtocol.h"
#include "grid/GridData.h"
#include "grid/RowObject.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "utilities/shell/FileBrowserProtocol.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using gridtest::FakeGridScreen;
using platform::ui::AlertView;
using platform::ui::ViewController;

namespace {

// A file-browser screen: a fake grid screen that also has the browser's dialog fields.
class FakeBrowserScreen : public FakeGridScreen, public FileBrowserScreenProtocol {
    Q_OBJECT
public:
    FakeBrowserScreen(std::shared_ptr<ScreenData> record,
        std::shared_ptr<BaseDataController> controller, std::shared_ptr<Parent> link = nullptr)
        : FakeGridScreen(std::move(record), std::move(controller), std::move(link))
    {
    }

    bool saveDialog() const override { return save; }
    void setSaveDialog(bool on) override { save = on; }
    FileBrowserProtocol* fileBrowserDelegate() const override { return delegate; }
    void setFileBrowserDelegate(FileBrowserProtocol* to) override { delegate = to; }
    QString fileName() const override { return typed; }
    QString defaultFileName() const override { return defaultName; }
    void setDefaultFileName(const QString& name) override
    {
        defaultName = name;
        typed = name;
    }
    void setParentLink(std::shared_ptr<Parent> to) override { link = std::move(to); }
    void setScreen(std::shared_ptr<ScreenData> to) override { record = std::move(to); }

    bool save = false;
    FileBrowserProtocol* delegate = nullptr;
    QString typed;
    QString defaultName;
};

// The screen that opened the browser and hears its result.
class OpenerScreen : public ViewController, public FileBrowserProtocol {
    Q_OBJECT
public:
    void fileBrowseCompleted(const std::shared_ptr<FileInfo>& file, ViewController* sender) override
    {
        chosen.append(file);
        senders.append(sender);
    }
    QList<std::shared_ptr<FileInfo>> chosen;
    QList<ViewController*> senders;
};

// Neither a screen nor a data controller; it may close the browser itself.
class PlainDelegate : public FileBrowserProtocol {
public:
    void fileBrowseCompleted(const std::shared_ptr<FileInfo>& file, ViewController*) override
    {
        chosen.append(file);
    }
    bool respondsToDismissPopup() const override { return dismisses; }
    void dismissPopup() override { ++dismissals; }
    bool dismisses = false;
    int dismissals = 0;
    QList<std::shared_ptr<FileInfo>> chosen;
};

// A folder form: its afterSave closes it.
class FolderForm : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void afterSave() { ++saves; }
    int saves = 0;
};

struct FileBrowserTest : ::testing::Test {
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
        documents = FileManager::documentsDirectory();
        QDir().mkpath(documents);
        platform::ui::Storyboard::main().registerController(
            FileBrowserScreenProtocol::StoryboardIdentifier, [] {
                return new FakeBrowserScreen(
                    nullptr, std::make_shared<FileBrowserDataController>());
            });
        navigation = std::make_unique<platform::ui::NavigationController>();
        opener = new OpenerScreen();
        navigation->pushViewController(opener, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
    }

    void TearDown() override
    {
        for (auto* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        navigation.reset();
        platform::ui::Storyboard::main().clear();
        platform::ui::Application::shared().reset();
    }

    // The browser's first level, pushed over the opener and loaded.
    FakeBrowserScreen* openBrowser(bool save, FileBrowserProtocol* delegate)
    {
        controller = std::make_shared<FileBrowserDataController>();
        auto* screen = new FakeBrowserScreen(
            BridgeScreenFactory::GetScreen(BridgeScreenFactory::FileBrowser, nullptr), controller);
        screen->save = save;
        screen->delegate = delegate;
        screen->setDefaultFileName("Clients.csv");
        navigation->pushViewController(screen, false);
        screen->refreshView();
        return screen;
    }

    void make(const QString& relative, bool folder)
    {
        const QString path = QDir(documents).filePath(relative);
        if (folder) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QStringList names(FileBrowserDataController& browser) const
    {
        QStringList found;
        for (qint64 i = 0; i < browser.count(); ++i)
            found << browser.getGridData(i)->Menu;
        found.sort();
        return found;
    }

    qint64 indexOf(FileBrowserDataController& browser, const QString& name) const
    {
        for (qint64 i = 0; i < browser.count(); ++i) {
            if (browser.getGridData(i)->Menu == name)
                return i;
        }
        return -1;
    }

    // Taps the entry of that name on the screen.
    void tap(FakeBrowserScreen* screen, const QString& name)
    {
        auto* browser = static_cast<FileBrowserDataController*>(screen->dataController.get());
        screen->selected = indexOf(*browser, name);
        ASSERT_GE(screen->selected, 0) << name.toStdString();
        browser->tapOnDisclosure(screen->selected);
        testsupport::processEvents(10);
    }

    static void dismissAll()
    {
        testsupport::processEvents(10);
        for (auto* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(10);
    }

    static QStringList messages()
    {
        testsupport::processEvents(10);
        QStringList shown;
        for (auto* alert : AlertView::visibleAlerts())
            shown << alert->message();
        return shown;
    }

    QString documents;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    OpenerScreen* opener = nullptr;
    std::shared_ptr<FileBrowserDataController> controller;
};

} // namespace

TEST_F(FileBrowserTest, TheTopListsDocumentsAndAFolderItsOwnEntries)
{
    make("Reports", true);
    make("Reports/inner.csv", false);
    make("top.xls", false);
    openBrowser(false, opener);
    EXPECT_EQ(names(*controller), QStringList({ "Reports", "top.xls" }));
    const qint64 folder = indexOf(*controller, "Reports");
    EXPECT_EQ(controller->getGridData(folder)->Image, "adbuiltin");
    EXPECT_EQ(controller->getGridData(indexOf(*controller, "top.xls"))->Image, "workitems");
    EXPECT_EQ(RowObject::record<FileInfo>(controller->getGridData(folder)->Data)->fullName,
        QDir(documents).filePath("Reports"));
    // The column view reads the same through the column table's questions.
    auto* columns = dynamic_cast<ColumnTableDataController*>(controller.get());
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(columns->columnWidths(), QList<double>({ 200 }));
    EXPECT_EQ(columns->columnHeaders(), QStringList({ "Name" }));
    EXPECT_EQ(columns->columnValues(folder), QStringList({ "Reports" }));
    EXPECT_TRUE(columns->respondsToGetDynamicImage());

    auto link = std::make_shared<Parent>();
    link->data = controller->getRowData(folder);
    controller->loadData(link);
    EXPECT_EQ(names(*controller), QStringList({ "inner.csv" }));
}

TEST_F(FileBrowserTest, SearchFindsNamesIgnoringCaseAndAccents)
{
    make("Résumé.csv", false);
    make("other.csv", false);
    openBrowser(false, opener);
    controller->searchData("resume");
    ASSERT_EQ(controller->count(), 1);
    EXPECT_EQ(controller->getGridData(0)->Menu, QString::fromUtf8("Résumé.csv"));
}

TEST_F(FileBrowserTest, ANewFolderIsMadeInTheFolderShownAndTheFormCloses)
{
    FakeBrowserScreen* screen = openBrowser(true, opener);
    controller->addRow();
    ASSERT_EQ(screen->shownRows.size(), 1);
    EXPECT_EQ(screen->shownForms.value(0), "DirectoryDetailViewController");
    const auto entry = RowObject::record<FileInfo>(screen->shownRows[0]);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->name.isEmpty());
    EXPECT_EQ(entry->parent->fullName, documents);

    FolderForm form;
    EXPECT_FALSE(controller->saveRow(screen->shownRows[0], &form));
    EXPECT_EQ(messages(), QStringList({ "Invalid Directory." }));
    dismissAll();
    entry->name = "../Outside";
    EXPECT_FALSE(controller->saveRow(screen->shownRows[0], &form));
    EXPECT_FALSE(QFileInfo::exists(QDir(documents).filePath("../Outside")));
    EXPECT_EQ(messages(), QStringList({ "Invalid Directory." }));
    dismissAll();

    entry->name = "Archive";
    EXPECT_TRUE(controller->saveRow(screen->shownRows[0], &form));
    EXPECT_TRUE(QFileInfo(QDir(documents).filePath("Archive")).isDir());
    EXPECT_EQ(messages(), QStringList({ "Folder Created." }));
    EXPECT_EQ(form.saves, 1);
    dismissAll();

    // The same name again: the file manager refuses it and the form stays.
    EXPECT_FALSE(controller->saveRow(screen->shownRows[0], &form));
    EXPECT_EQ(form.saves, 1);
}

TEST_F(FileBrowserTest, DeleteRemovesTheSelectedEntryWithItsContents)
{
    make("Old", true);
    make("Old/a.csv", false);
    FakeBrowserScreen* screen = openBrowser(false, opener);
    screen->selected = indexOf(*controller, "Old");
    EXPECT_TRUE(controller->deleteRow());
    EXPECT_FALSE(QFileInfo::exists(QDir(documents).filePath("Old")));
}

TEST_F(FileBrowserTest, TappingAFileOpensItAndClosesTheBrowser)
{
    make("data.csv", false);
    FakeBrowserScreen* screen = openBrowser(false, opener);
    tap(screen, "data.csv");
    ASSERT_EQ(opener->chosen.size(), 1);
    EXPECT_EQ(opener->chosen[0]->fullName, QDir(documents).filePath("data.csv"));
    EXPECT_EQ(opener->senders[0], screen);
    EXPECT_EQ(navigation->topViewController(), opener);
}

// Three levels of folders, then a save: one step back to the opener, with the entry in
// the deepest folder.
TEST_F(FileBrowserTest, SavingThreeFoldersDeepReturnsToTheOpenerInOneStep)
{
    make("a/b/c", true);
    FakeBrowserScreen* screen = openBrowser(true, opener);
    for (const char* folder : { "a", "b", "c" }) {
        tap(screen, folder);
        auto* next = dynamic_cast<FakeBrowserScreen*>(navigation->topViewController());
        ASSERT_TRUE(next && next != screen) << folder;
        EXPECT_EQ(next->title(), folder);
        EXPECT_TRUE(next->save);
        EXPECT_EQ(next->delegate, opener);
        EXPECT_EQ(next->defaultName, "Clients.csv");
        ASSERT_TRUE(next->record);
        EXPECT_EQ(next->record->id, "SCREEN_FILE_BROWSER");
        ASSERT_TRUE(next->link);
        EXPECT_EQ(RowObject::record<FileInfo>(next->link->data)->name, folder);
        next->refreshView();
        screen = next;
    }
    EXPECT_EQ(navigation->viewControllers().size(), 5);
    screen->typed = "report.csv";
    screen->dataController->saveTouched(nullptr);
    testsupport::processEvents(10);
    EXPECT_EQ(navigation->topViewController(), opener);
    ASSERT_EQ(opener->chosen.size(), 1);
    EXPECT_EQ(opener->chosen[0]->name, "report.csv");
    EXPECT_EQ(opener->chosen[0]->fullName, QDir(documents).filePath("a/b/c/report.csv"));
}

TEST_F(FileBrowserTest, ASaveAtTheTopPutsTheFileInDocumentsAndRefusesOtherNames)
{
    FakeBrowserScreen* screen = openBrowser(true, opener);
    for (const QString& bad :
        { QString(), QString(".."), QString("../escape.csv"), QString("a/b") }) {
        screen->typed = bad;
        controller->saveTouched(nullptr);
        EXPECT_EQ(messages(), QStringList({ "Invalid File Name." })) << bad.toStdString();
        dismissAll();
    }
    EXPECT_TRUE(opener->chosen.isEmpty());
    screen->typed = "Clients.csv";
    controller->saveTouched(nullptr);
    ASSERT_EQ(opener->chosen.size(), 1);
    EXPECT_EQ(opener->chosen[0]->fullName, QDir(documents).filePath("Clients.csv"));
    EXPECT_EQ(opener->chosen[0]->parent->fullName, documents);
}

TEST_F(FileBrowserTest, ADelegateThatIsNoScreenIsStillToldAndMayCloseTheBrowser)
{
    make("x.csv", false);
    PlainDelegate quiet;
    FakeBrowserScreen* screen = openBrowser(false, &quiet);
    tap(screen, "x.csv");
    ASSERT_EQ(quiet.chosen.size(), 1);
    EXPECT_EQ(quiet.dismissals, 0);

    PlainDelegate closing;
    closing.dismisses = true;
    screen->delegate = &closing;
    tap(screen, "x.csv");
    ASSERT_EQ(closing.chosen.size(), 1);
    EXPECT_EQ(closing.dismissals, 1);
}

#include "FileBrowserTest.moc"
