#include "AppFixture.h"

#include "grid/FileBrowserViewController.h"
#include "grid/KivoPreviewController.h"
#include "model/BackupRestore.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>

namespace e2e {
namespace {

constexpr int kSettings = 28;
constexpr int kSave = 31;

QString documentsPath(const QString& name = {})
{
    return QDir(platform::Folders::documents()).filePath(name);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

// What Documents holds now, as a person would expect the browser to list it.
QStringList documentsEntries()
{
    return sorted(
        QDir(documentsPath())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
}

// The file browsers as a person reaches them: the settings' File Browser over Documents,
// and the save dialogs of the backup.
struct FileBrowsers : AppTest {
    // The list the settings button opened: in a popup on a tablet, pushed on a phone.
    MainCollectionViewController* shownList(ApplicationScreen* screen) const
    {
        if (!tablet())
            return dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<MainCollectionViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    // Taps the settings button, then the item of that text in the list it opened.
    bool choose(ApplicationScreen* screen, const QString& item) const
    {
        platform::ui::View* settings = barButton(screen, kSettings);
        if (!settings)
            return false;
        GestureSynthesizer::tap(settings);
        settle(100);
        MainCollectionViewController* list = shownList(screen);
        const int at = list ? int(titles(list).indexOf(item)) : -1;
        if (at < 0)
            return false;
        GestureSynthesizer::tap(tileView(list, at, 2000));
        settle(150);
        return true;
    }

    // The browser a command opened: pushed on a phone, in a popup on a tablet.
    FileBrowserViewController* browser(ApplicationScreen* screen) const
    {
        if (auto* pushed
            = dynamic_cast<FileBrowserViewController*>(navigation->topViewController()))
            return pushed;
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<FileBrowserViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    static platform::ui::NavigationBar* barOf(BaseViewController* screen)
    {
        platform::ui::NavigationController* stack = screen->navigationController();
        return stack ? stack->navigationBar() : nullptr;
    }

    // The settings' File Browser, opened on a screen with a settings button.
    ApplicationScreen* openFileBrowser(ApplicationScreen* from)
    {
        if (!choose(from, "File Browser"))
            return nullptr;
        ApplicationScreen* shown = top();
        return shown != from ? shown : nullptr;
    }

    void fillDocuments()
    {
        ASSERT_TRUE(writeBytes(documentsPath("notes.txt"), "hello\n"));
        ASSERT_TRUE(writeBytes(documentsPath("sales.csv"), "a,b\n1,2\n"));
        ASSERT_TRUE(QDir().mkpath(documentsPath("reports")));
        ASSERT_TRUE(writeBytes(documentsPath("reports/march.csv"), "x\n"));
    }
};

TEST_P(FileBrowsers, TheSettingsFileBrowserListsDocumentsOpensFilesAndMakesAndDeletesFolders)
{
    fillDocuments();
    ApplicationScreen* databases = top();
    ApplicationScreen* files = openFileBrowser(databases);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->screen()->id, "SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID");
    EXPECT_EQ(files->title(), "File Browser");
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
    EXPECT_TRUE(titles(files).contains("reports"));
    ASSERT_TRUE(saveShot(QString("e2e-settings-file-browser-%1.png").arg(GetParam())));

    // A folder opens as a level of its own, titled after it; a file there opens in the
    // preview.
    ASSERT_TRUE(open(files, "reports"));
    auto* reports = dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(reports, nullptr);
    ASSERT_NE(reports, files);
    EXPECT_EQ(reports->title(), "reports");
    EXPECT_EQ(titles(reports), QStringList({ "march.csv" }));
    ASSERT_TRUE(open(reports, "march.csv"));
    auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->url().toLocalFile(), documentsPath("reports/march.csv"));
    back();
    back();
    ASSERT_EQ(top(), files);

    // A file at the top opens in the preview too.
    ASSERT_TRUE(open(files, "notes.txt"));
    preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->url().toLocalFile(), documentsPath("notes.txt"));
    back();
    ASSERT_EQ(top(), files);

    // A folder made through the add button's form, in Documents.
    files->dataController()->add(nullptr);
    ASSERT_TRUE(fillAndSave(files, { { "name", "archive" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Folder Created." }));
    EXPECT_TRUE(QFileInfo(documentsPath("archive")).isDir());
    reload(files);
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
    EXPECT_TRUE(titles(files).contains("archive"));

    // Deleted after the confirmation, with what it holds; the rest stays.
    ASSERT_TRUE(writeBytes(documentsPath("archive/old.csv"), "y\n"));
    files->setSelectedRow(titles(files).indexOf("archive"));
    files->dataController()->remove(nullptr);
    ASSERT_NE(alertTitled("Confirmation"), nullptr);
    alertTitled("Confirmation")->clickButtonAtIndex(1);
    settle(300);
    EXPECT_FALSE(QFileInfo::exists(documentsPath("archive")));
    EXPECT_FALSE(titles(files).contains("archive"));
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
    EXPECT_TRUE(QFileInfo::exists(documentsPath("reports/march.csv")));
}

TEST_P(FileBrowsers, HomesSettingsOpenTheSameFileBrowser)
{
    fillDocuments();
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    ASSERT_NE(home, databases);
    ApplicationScreen* files = openFileBrowser(home);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->screen()->id, "SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID");
    EXPECT_EQ(files->title(), "File Browser");
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
}

// The backup's save dialog: the whole default name shows, the save button on the right of
// the navigation bar saves under it, and where the dialog has no back button (its first
// level, in a popup) Cancel closes it without saving.
TEST_P(FileBrowsers, TheBackupDialogShowsTheWholeNameSavesFromItsButtonAndCancels)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(choose(databases, "Backup"));
    FileBrowserViewController* saving = browser(databases);
    ASSERT_NE(saving, nullptr);
    ASSERT_TRUE(saving->saveDialog());
    const QString name = saving->fileName();
    EXPECT_TRUE(name.startsWith("Backup_")) << name.toStdString();
    EXPECT_EQ(name.size(), QString("Backup_2026-12-08_14-30-00.zip").size());

    // The field shows every letter, between the bar's buttons and inside the bar.
    platform::ui::TextField* field = saving->fileNameField();
    ASSERT_NE(field, nullptr);
    platform::ui::NavigationBar* bar = barOf(saving);
    ASSERT_NE(bar, nullptr);
    const QRectF shown = field->convertRectToView(field->bounds(), bar);
    const double room = field->textRectForBounds(field->bounds()).width();
    EXPECT_LE(platform::ui::Font::measure(name, field->shownFont()).width(), room)
        << "the name needs " << platform::ui::Font::measure(name, field->shownFont()).width()
        << " of " << room;
    EXPECT_GE(shown.left(), 0);
    EXPECT_LE(shown.right(), bar->bounds().width());
    platform::ui::View* save = barButton(saving, kSave);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(saving->isButtonInTopBar(save));
    EXPECT_LE(shown.right(), save->convertRectToView(save->bounds(), bar).left());
    if (platform::ui::View* left = bar->leftItemView()) {
        EXPECT_GE(shown.left(), left->convertRectToView(left->bounds(), bar).right());
    }
    if (tablet()) {
        ASSERT_NE(saving->cancelItem(), nullptr);
        EXPECT_EQ(saving->cancelItem()->title(), "Cancel");
    } else {
        // Pushed: Back goes back, and there is no Cancel beside it.
        EXPECT_EQ(saving->cancelItem(), nullptr);
        EXPECT_FALSE(bar->backButton()->isHidden());
    }
    ASSERT_TRUE(saveShot(QString("e2e-backup-dialog-%1.png").arg(GetParam())));

    // Cancel leaves no archive and the dialog closed.
    if (tablet()) {
        saving->cancelItem()->trigger();
        settle(100);
        EXPECT_EQ(browser(databases), nullptr);
        EXPECT_EQ(documentsEntries().filter(".zip"), QStringList());
        ASSERT_TRUE(choose(databases, "Backup"));
        saving = browser(databases);
        ASSERT_NE(saving, nullptr);
        save = barButton(saving, kSave);
        ASSERT_NE(save, nullptr);
    }

    // The save button saves under the name shown.
    const QString offered = saving->fileName();
    GestureSynthesizer::tap(save);
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    EXPECT_EQ(top(), databases);
    EXPECT_TRUE(QFile::exists(documentsPath(offered)));
}

// The default names must show whole on the narrowest phone too, and in a folder level of
// the dialog, which has its back button instead of Cancel.
TEST_P(FileBrowsers, TheDefaultNameShowsWholeInEveryLevelOfTheDialog)
{
    ASSERT_TRUE(QDir().mkpath(documentsPath("backups")));
    ApplicationScreen* databases = top();
    ASSERT_TRUE(choose(databases, "Backup"));
    FileBrowserViewController* saving = browser(databases);
    ASSERT_NE(saving, nullptr);
    ASSERT_TRUE(open(saving, "backups"));
    FileBrowserViewController* inside = browser(databases);
    ASSERT_NE(inside, nullptr);
    ASSERT_NE(inside, saving);
    EXPECT_EQ(inside->fileName(), saving->fileName());
    EXPECT_EQ(inside->cancelItem(), nullptr);
    platform::ui::NavigationBar* bar = barOf(inside);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->backButton()->isHidden());
    platform::ui::TextField* field = inside->fileNameField();
    ASSERT_NE(field, nullptr);
    EXPECT_LE(platform::ui::Font::measure(inside->fileName(), field->shownFont()).width(),
        field->textRectForBounds(field->bounds()).width());
    const QRectF shown = field->convertRectToView(field->bounds(), bar);
    EXPECT_GE(shown.left(), bar->backButton()->frame().right());
    platform::ui::View* save = barButton(inside, kSave);
    ASSERT_NE(save, nullptr);
    EXPECT_LE(shown.right(), save->convertRectToView(save->bounds(), bar).left());
    ASSERT_TRUE(saveShot(QString("e2e-backup-dialog-folder-%1.png").arg(GetParam())));

    // Saved from the folder, the archive goes there and the dialog closes at once.
    const QString offered = inside->fileName();
    GestureSynthesizer::tap(save);
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 30000));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Operation Completed Successfully." }));
    EXPECT_EQ(top(), databases);
    EXPECT_TRUE(QFile::exists(documentsPath("backups/" + offered)));
}

INSTANTIATE_TEST_SUITE_P(Devices, FileBrowsers, ::testing::Values("tablet", "phone", "phone-se"));

} // namespace
} // namespace e2e
