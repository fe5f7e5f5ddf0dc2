#include "ScreensFixture.h"

#include "platform/NotificationCenter.h"
#include "platform/coredata/StoreOptions.h"
#include "screens/TemplateColumnDataController.h"
#include "screens/TemplateDataController.h"

using screenstest::FakeAppScreen;

namespace {

struct TemplateScreensTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        books = addDefinition("Books");
        books->setDescr(QStringLiteral("Read and unread"));
        books->setTilescolumns(2);
        ASSERT_TRUE(books->saveTemplate());
        title = addColumn(bookId(), "Title", "Text");
        author = addColumn(bookId(), "Author", "Text");
        pages = addColumn(bookId(), "Pages", "Numeric", 5);
        templates = open<TemplateDataController>(ScreenFactory::Templates);
        const qint64 at = controllerOf<TemplateDataController>(templates)->rows().indexOf(
            RowObject::fromObject(books));
        ASSERT_GE(at, 0);
        columnsScreen = open<TemplateColumnDataController>(
            ScreenFactory::TemplateColumns, linkFrom(templates, at));
        columns = controllerOf<TemplateColumnDataController>(columnsScreen);
    }

    QString bookId() const { return books->id().toString(); }

    QStringList columnNames() const
    {
        QStringList names;
        for (TemplateColumn* column : TemplateColumn::getColumns(bookId()))
            names << column->name().toString() + "@" + column->order().toString();
        return names;
    }

    // How many commits the store made while the work ran.
    template<class Work> int commitsDuring(Work work)
    {
        int commits = 0;
        auto& center = platform::NotificationCenter::defaultCenter();
        const auto token = center.addObserver(platform::coredata::ContextDidSaveNotification,
            nullptr, [&](const platform::Notification&) { ++commits; });
        work();
        center.removeObserver(token);
        return commits;
    }

    Template* books = nullptr;
    TemplateColumn* title = nullptr;
    TemplateColumn* author = nullptr;
    TemplateColumn* pages = nullptr;
    FakeAppScreen* templates = nullptr;
    FakeAppScreen* columnsScreen = nullptr;
    std::shared_ptr<TemplateColumnDataController> columns;
};

} // namespace

TEST_F(TemplateScreensTest, TheColumnsScreenListsTheChosenDefinitionsColumnsInOrder)
{
    EXPECT_EQ(columns->templateId(), bookId());
    ASSERT_EQ(columns->count(), 3);
    EXPECT_EQ(columns->columnValues(2), QStringList({ "Pages", "Numeric" }));
    EXPECT_EQ(columns->getGridData(0)->Image, "columns");
    const OrderedDictionary ordering = columns->getOrderingData();
    EXPECT_EQ(ordering.keyEnumerator(),
        QStringList({ title->id().toString(), author->id().toString(), pages->id().toString() }));
    EXPECT_EQ(ordering.allValues(), QVariantList({ "Title", "Author", "Pages" }));
}

TEST_F(TemplateScreensTest, BothReorderingsNumberEveryColumnFromZero)
{
    // The ordering form's answer, also one that leaves a column out or names one twice.
    ASSERT_TRUE(columns->onOrderingComplete(
        { pages->id().toString(), "unknown", pages->id().toString(), title->id().toString() }));
    EXPECT_EQ(columnNames(), QStringList({ "Pages@0", "Title@1", "Author@2" }));

    // A drag: the rows in their new order, then one commit.
    QVariantList dragged = columns->rows();
    dragged.move(2, 0);
    columns->setRows(dragged);
    EXPECT_EQ(commitsDuring([&] { columns->itemsReorderd(); }), 1);
    EXPECT_EQ(columnNames(), QStringList({ "Author@0", "Pages@1", "Title@2" }));
}

TEST_F(TemplateScreensTest, ADefinitionInUseKeepsItselfAndItsColumns)
{
    Database* household = addDatabase("Household");
    addTable(household->id().toString(), bookId(), "Library");
    auto controller = controllerOf<TemplateDataController>(templates);
    templates->setSelectedRow(controller->rows().indexOf(RowObject::fromObject(books)));
    EXPECT_FALSE(controller->deleteRow());
    EXPECT_EQ(lastAlertText(), "Template in use.");
    dismissAlerts();
    columnsScreen->setSelectedRow(0);
    EXPECT_FALSE(columns->deleteRow());
    EXPECT_EQ(lastAlertText(), "Template in use.");
    EXPECT_NE(Template::getTemplate(bookId()), nullptr);
    EXPECT_EQ(TemplateColumn::getColumns(bookId()).size(), 3);
}

TEST_F(TemplateScreensTest, AnUnusedDefinitionGoesWithItsColumnsInOneCommit)
{
    auto controller = controllerOf<TemplateDataController>(templates);
    const QString id = bookId();
    templates->setSelectedRow(controller->rows().indexOf(RowObject::fromObject(books)));
    bool deleted = false;
    EXPECT_EQ(commitsDuring([&] { deleted = controller->deleteRow(); }), 1);
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(alertTexts().isEmpty());
    EXPECT_EQ(Template::getTemplate(id), nullptr);
    EXPECT_TRUE(TemplateColumn::getColumns(id).isEmpty());
}

TEST_F(TemplateScreensTest, ARefusedSaveShowsEveryMessageTogetherAndStoresNothing)
{
    auto controller = controllerOf<TemplateDataController>(templates);
    controller->setLastClickedButton(2);
    books->setName(QString());
    books->setDescr(QString());
    books->setTilescolumns(-1);
    EXPECT_FALSE(controller->saveRow(RowObject::fromObject(books)));
    EXPECT_EQ(alertTexts(),
        QStringList({ "Invalid Name.\r\nInvalid Description.\r\nInvalid Tiles Column" }));
    // Put back as stored: a later commit carries none of it.
    EXPECT_EQ(books->name().toString(), "Books");
    ASSERT_TRUE(KivoLib::commit());
    EXPECT_EQ(Template::getTemplate(bookId())->tilescolumns().toInt(), 2);

    columns->setLastClickedButton(1);
    TemplateColumn* fresh = TemplateColumn::add(bookId());
    fresh->setName(QStringLiteral("Title"));
    fresh->setType(QStringLiteral("Numeric"));
    fresh->setLength(-4);
    fresh->setPrecision(21);
    dismissAlerts();
    EXPECT_FALSE(columns->saveRow(RowObject::fromObject(fresh)));
    EXPECT_EQ(
        alertTexts(), QStringList({ "Duplicate Entry.\r\nInvalid Length.\r\nInvalid Precision." }));
    EXPECT_EQ(TemplateColumn::getColumns(bookId()).size(), 3);
}

TEST_F(TemplateScreensTest, CheckoutOpensTheTemplateDownload)
{
    controllerOf<TemplateDataController>(templates)->checkout(nullptr);
    ASSERT_EQ(templates->opened.size(), 1);
    EXPECT_EQ(templates->opened.first().screenId, "Download Templates");
    EXPECT_EQ(templates->opened.first().segue, "Menus1");
}
