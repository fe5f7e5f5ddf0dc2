#include "DetailFormFixture.h"

#include "forms/DirectoryDetailViewController.h"
#include "grid/FileBrowserDataController.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"

#include <QDir>
#include <QFileInfo>

using namespace detailtest;

namespace {

// The folder form over a file browser of Documents, on a tablet.
struct FolderFormTest : DetailFormTest {
    void SetUp() override
    {
        DetailFormTest::SetUp();
        showHost("tablet");
        host->use(browser);
        documents = FileManager::documentsDirectory();
        QDir().mkpath(documents);
    }

    DirectoryDetailViewController* openForm()
    {
        entry = std::make_shared<FileInfo>();
        entry->parent = FileManager::getHomeDirectory();
        host->ShowDetail(RowObject::fromRecord(entry), "DirectoryDetailViewController", {});
        EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }))
            << messages().join(u'|').toStdString();
        settle();
        return qobject_cast<DirectoryDetailViewController*>(shownForm());
    }

    static QStringList messages()
    {
        settle();
        QStringList shown;
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            shown << alert->message();
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        settle();
        return shown;
    }

    std::shared_ptr<FileBrowserDataController> browser
        = std::make_shared<FileBrowserDataController>();
    std::shared_ptr<FileInfo> entry;
    QString documents;
};

TEST_F(FolderFormTest, ATypedNameBecomesAFolderOfTheShownFolderAndTheFormCloses)
{
    DirectoryDetailViewController* form = openForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->root()->title(), "Create Folder");
    EXPECT_EQ(form->popupContentSize(), QSizeF(400, 200));
    FormElement* name = elementBound(form, "name");
    ASSERT_NE(name, nullptr);

    // Nothing typed: refused, the form stays for another try.
    form->onSave();
    EXPECT_EQ(messages(), QStringList({ "Invalid Directory." }));
    EXPECT_EQ(shownForm(), form);

    typeInto(form, name, "Archive");
    form->onSave();
    EXPECT_EQ(messages(), QStringList({ "Folder Created." }));
    EXPECT_TRUE(QFileInfo(QDir(documents).filePath("Archive")).isDir());
    settle();
    EXPECT_EQ(shownForm(), nullptr);
}

TEST_F(FolderFormTest, ANameThatLeavesTheFolderIsRefused)
{
    for (const QString& typed :
        { QStringLiteral("../Outside"), QStringLiteral("a/b"), QStringLiteral("..") }) {
        DirectoryDetailViewController* form = openForm();
        ASSERT_NE(form, nullptr);
        typeInto(form, elementBound(form, "name"), typed);
        form->onSave();
        EXPECT_EQ(messages(), QStringList({ "Invalid Directory." })) << typed.toStdString();
        EXPECT_EQ(shownForm(), form);
        host->dismissPopup();
        settle();
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(documents).filePath("../Outside")));
    EXPECT_FALSE(QFileInfo::exists(QDir(documents).filePath("a")));
}

} // namespace
