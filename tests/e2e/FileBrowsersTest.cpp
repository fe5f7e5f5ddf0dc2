#include "AppFixture.h"

#include "grid/FileBrowserViewController.h"
#include "grid/KivoPreviewController.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>

namespace e2e {
namespace {

constexpr int kSettings = 28;

QString documents(const QString& name = {})
{
    return QDir(platform::Folders::documents()).filePath(name);
}

bool writeFile(const QString& path, const QByteArray& bytes)
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
        QDir(documents())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
}

// The file browsers as a person reaches them: the settings' File Browser over Documents.
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
        ASSERT_TRUE(writeFile(documents("notes.txt"), "hello\n"));
        ASSERT_TRUE(writeFile(documents("sales.csv"), "a,b\n1,2\n"));
        ASSERT_TRUE(QDir().mkpath(documents("reports")));
        ASSERT_TRUE(writeFile(documents("reports/march.csv"), "x\n"));
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
    EXPECT_EQ(preview->url().toLocalFile(), documents("reports/march.csv"));
    back();
    back();
    ASSERT_EQ(top(), files);

    // A file at the top opens in the preview too.
    ASSERT_TRUE(open(files, "notes.txt"));
    preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->url().toLocalFile(), documents("notes.txt"));
    back();
    ASSERT_EQ(top(), files);

    // A folder made through the add button's form, in Documents.
    files->dataController()->add(nullptr);
    ASSERT_TRUE(fillAndSave(files, { { "name", "archive" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Folder Created." }));
    EXPECT_TRUE(QFileInfo(documents("archive")).isDir());
    reload(files);
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
    EXPECT_TRUE(titles(files).contains("archive"));

    // Deleted after the confirmation, with what it holds; the rest stays.
    ASSERT_TRUE(writeFile(documents("archive/old.csv"), "y\n"));
    files->setSelectedRow(titles(files).indexOf("archive"));
    files->dataController()->remove(nullptr);
    ASSERT_NE(alertTitled("Confirmation"), nullptr);
    alertTitled("Confirmation")->clickButtonAtIndex(1);
    settle(300);
    EXPECT_FALSE(QFileInfo::exists(documents("archive")));
    EXPECT_FALSE(titles(files).contains("archive"));
    EXPECT_EQ(sorted(titles(files)), documentsEntries());
    EXPECT_TRUE(QFileInfo::exists(documents("reports/march.csv")));
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

INSTANTIATE_TEST_SUITE_P(Devices, FileBrowsers, ::testing::Values("tablet", "phone", "phone-se"));

} // namespace
} // namespace e2e
