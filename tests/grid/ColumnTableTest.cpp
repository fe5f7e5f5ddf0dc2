#include "GridScreenFixture.h"

#include "grid/ColumnTableDataController.h"
#include "grid/ColumnsRowViewController.h"
#include "grid/GridFlowLayout.h"
#include "grid/ModelColumnsRowViewController.h"
#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"
#include "grid/ResponseTable.h"
#include "model/Sort.h"
#include "platform/ui/CollectionViewLayoutAttributes.h"
#include "platform/ui/ImageView.h"
#include "widgets/DisclosureView.h"

#include <QElapsedTimer>
#include <QFontMetricsF>

using namespace gridtest;
using platform::ui::CollectionView;
using platform::ui::CollectionViewLayoutAttributes;

namespace {

// A local screen's rows as a column table: three columns, values by row.
class LocalColumnsController : public ItemsController, public ColumnTableDataController {
    Q_OBJECT
public:
    QStringList columnHeaders() const override { return headers; }
    QList<double> columnWidths() const override { return widths; }
    QStringList columnValues(qint64 index) override
    {
        return { QStringLiteral("Name %1").arg(index), QString::number(index * 10),
            QStringLiteral("Note") };
    }
    void headerLabelTouched(qint64 column) override { touched << column; }
    bool respondsToHeaderLabelTouched() const override { return true; }

    static inline QStringList headers { "Name", "Count", "Note" };
    static inline QList<double> widths { 100, 60, 40 };
    QList<qint64> touched;
};

// A desktop-server table's rows.
class ServerColumnsController : public ItemsController {
    Q_OBJECT
public:
    void loadData(const std::shared_ptr<Parent>&) override
    {
        QVariantList made;
        if (!table())
            return;
        for (const auto& row : table()->Rows)
            made << RowObject::fromRecord(std::make_shared<GridData>(RowObject::fromRecord(row)));
        setRows(made);
    }
    std::shared_ptr<GridData> getGridData(qint64 index) override
    {
        return RowObject::record<GridData>(getRowData(index));
    }
    QString getImage() override { return {}; }
};

ResponseColumn serverColumn(const QString& name, const QString& header, unsigned length,
    unsigned order, const QString& hide = "N")
{
    ResponseColumn column;
    column.Name = name;
    column.Header = header;
    column.Length = length;
    column.Order = order;
    column.Hide = hide;
    return column;
}

struct ColumnTables : GridScreens {
    void SetUp() override
    {
        GridScreens::SetUp();
        ClassRegistry::registerClass<LocalColumnsController>();
        ClassRegistry::registerClass<ServerColumnsController>();
        LocalColumnsController::headers = { "Name", "Count", "Note" };
        LocalColumnsController::widths = { 100, 60, 40 };
    }

    std::shared_ptr<BridgeScreenData> localRecord(int rows, bool disclosure = false)
    {
        ItemsController::seed.clear();
        for (int i = 0; i < rows; ++i)
            ItemsController::seed << QStringLiteral("Item %1").arg(i);
        auto record = itemsRecord("SCREEN_LOCAL");
        record->dataController = "LocalColumnsController";
        record->rowView = "ModelColumnsRowViewController";
        record->disclosure = disclosure;
        return record;
    }

    static void save(const QString& name)
    {
        settle();
        platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    static GridFlowLayout* layoutOf(MainCollectionViewController* screen)
    {
        return qobject_cast<GridFlowLayout*>(screen->collectionView()->collectionViewLayout());
    }

    // A server screen in columns whose table the test sets.
    MainCollectionViewController* openServer(bool disclosure)
    {
        auto record = itemsRecord("SCREEN_SERVER");
        record->dataController = "ServerColumnsController";
        record->rowView = "ColumnsRowViewController";
        record->disclosure = disclosure;
        return open(record, "tablet");
    }

    // The table loaded as the screen's, its widths measured anew.
    static ColumnsRowViewController* show(
        MainCollectionViewController* screen, const std::shared_ptr<ResponseTable>& table)
    {
        screen->dataController()->setTable(table);
        screen->refreshView();
        settle();
        auto* rows = qobject_cast<ColumnsRowViewController*>(screen->rowViewContoller());
        if (rows)
            rows->clear();
        return rows;
    }

    // The texts of a cell's or header's labels ("blank" for none) and the tags of its
    // images, left to right.
    static std::string drawn(platform::ui::View* view)
    {
        QList<platform::ui::View*> shown = view->subviews();
        std::stable_sort(shown.begin(), shown.end(),
            [](auto* a, auto* b) { return a->frame().left() < b->frame().left(); });
        QStringList texts;
        for (platform::ui::View* subview : shown) {
            if (auto* label = qobject_cast<platform::ui::Label*>(subview))
                texts << (label->text().isEmpty() ? QStringLiteral("blank") : label->text());
            else
                texts << QStringLiteral("image %1").arg(subview->tag());
        }
        return texts.join(" | ").toStdString();
    }

    static CollectionViewLayoutAttributes headerIn(const QList<CollectionViewLayoutAttributes>& all)
    {
        for (const auto& attributes : all)
            if (attributes.representedElementCategory()
                == CollectionViewLayoutAttributes::Category::SupplementaryView)
                return attributes;
        return {};
    }
};

} // namespace

TEST_F(ColumnTables, RowsLieUnderTheHeaderPinnedToTheTopWhileScrolling)
{
    auto* screen = open(localRecord(60), "phone");
    GridFlowLayout* layout = layoutOf(screen);
    ASSERT_NE(layout, nullptr);
    const double width = layout->contentSize().width();
    EXPECT_EQ(layout->contentSize(), QSizeF(width, 30 * 61));
    EXPECT_EQ(layout->rowRect(0), QRectF(0, 30, width, 30));
    EXPECT_EQ(layout->rowRect(2), QRectF(0, 90, width, 30));

    CollectionView* view = screen->collectionView();
    view->setContentOffset(QPointF(0, 200));
    settle();
    auto all = layout->layoutAttributesForElementsInRect(QRectF(0, 200, width, 300));
    CollectionViewLayoutAttributes header = headerIn(all);
    EXPECT_EQ(header.frame().top(), 200);
    EXPECT_EQ(header.zIndex(), GridFlowLayout::HeaderZIndex);
    // Rows 5 (y 180..210) to 15 (y 480..510) meet the rectangle.
    EXPECT_EQ(all.size(), 1 + 11);
    // The header cell drawn on screen follows the pinned frame, above the rows.
    auto* drawn = view->supplementaryViewForElementKind(
        CollectionView::ElementKindSectionHeader, platform::ui::IndexPath::forItem(0, 0));
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->frame().top(), 200);
    save("column-table-scrolled.png");
}

TEST_F(ColumnTables, NoRowsGiveTheHeaderAloneUnpinned)
{
    auto* screen = open(localRecord(0));
    GridFlowLayout* layout = layoutOf(screen);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->contentSize().height(), 30);
    screen->collectionView()->setContentOffset(QPointF(0, 100));
    const auto all = layout->layoutAttributesForElementsInRect(QRectF(0, 0, 300, 300));
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(headerIn(all).frame().top(), 0);
    EXPECT_EQ(headerIn(all).zIndex(), 0);
}

TEST_F(ColumnTables, ThreeRowsAndAHundredThousandFoundByTheirPlace)
{
    auto* screen = open(localRecord(3));
    GridFlowLayout* layout = layoutOf(screen);
    EXPECT_EQ(layout->contentSize().height(), 120);
    EXPECT_EQ(layout->rowRect(1).top(), 60);
    EXPECT_EQ(layout->rowRect(2).top(), 90);

    QStringList many;
    for (int i = 0; i < 100000; ++i)
        many << QString::number(i);
    auto* big = open(localRecord(0));
    auto* controller = qobject_cast<ItemsController*>(big->dataController().get());
    controller->names = many;
    big->refreshView();
    settle();
    layout = layoutOf(big);
    ASSERT_EQ(layout->rowCount(), 100000);
    EXPECT_EQ(layout->rowRect(99999).top(), 30.0 * 100000);
    QElapsedTimer timer;
    timer.start();
    for (int step = 0; step < 1000; ++step) {
        const double y = 2900.0 * step;
        const auto all = layout->layoutAttributesForElementsInRect(QRectF(0, y, 320, 480));
        ASSERT_GE(all.size(), 16);
        ASSERT_LE(all.size(), 18);
    }
    // A thousand scroll steps over the table look at the visible rows only.
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST_F(ColumnTables, LocalWidthsFillAWideScreenAndTheHeaderShowsTheSort)
{
    auto* screen = open(localRecord(3, true), "tablet");
    auto* rows = qobject_cast<ModelColumnsRowViewController*>(screen->rowViewContoller());
    ASSERT_NE(rows, nullptr);
    const double screenWidth = screen->view()->bounds().width();
    rows->clear();
    rows->initColumns();
    const double scale = screenWidth / 200.0;
    EXPECT_FLOAT_EQ(rows->columnWidth()->value("Name"), float(100 * scale));
    // The disclosure and image columns come first.
    const QSizeF size = rows->getRowSize();
    EXPECT_NEAR(size.width(), screenWidth + 60, 0.01);

    auto* controller = screen->dataController().get();
    auto sort = std::make_shared<Sort>();
    sort->setHeader("Name");
    sort->setAscending(false);
    controller->sorts() = { sort };
    platform::ui::View header;
    rows->CreateHeader(&header);
    auto* name = qobject_cast<platform::ui::Label*>(header.viewWithTag(100));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QString::fromUtf8("\u2191Name"));
    EXPECT_EQ(name->frame().left(), 60);
    sort->setAscending(true);
    rows->CreateHeader(&header);
    EXPECT_EQ(name->text(), QString::fromUtf8("\u2193Name"));
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(header.viewWithTag(102))->text(), "Note");

    auto* shown = screen->collectionView()->supplementaryViewForElementKind(
        CollectionView::ElementKindSectionHeader, platform::ui::IndexPath::forItem(0, 0));
    ASSERT_NE(shown, nullptr);
    auto* third = shown->viewWithTag(102);
    ASSERT_NE(third, nullptr);
    testsupport::GestureSynthesizer::tap(third, QPointF(5, 5));
    settle();
    EXPECT_EQ(qobject_cast<LocalColumnsController*>(controller)->touched, QList<qint64>({ 2 }));
}

TEST_F(ColumnTables, ARowReusesItsLabelsAndShowsNumbersAsText)
{
    auto* screen = open(localRecord(3, true));
    auto* rows = qobject_cast<ModelColumnsRowViewController*>(screen->rowViewContoller());
    platform::ui::View cell;
    rows->createRow(&cell, 1, QSizeF(300, 30));
    auto* count = qobject_cast<platform::ui::Label*>(cell.viewWithTag(101));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), "10");
    ASSERT_NE(cell.viewWithTag(2000), nullptr);
    const int subviews = cell.subviews().size();
    rows->createRow(&cell, 2, QSizeF(300, 30));
    EXPECT_EQ(cell.subviews().size(), subviews);
    EXPECT_EQ(cell.viewWithTag(101), count);
    EXPECT_EQ(count->text(), "20");
}

TEST_F(ColumnTables, ServerWidthsComeFromSamplesAndStretchOnlyWhenNarrower)
{
    EXPECT_EQ(ColumnsRowViewController::sampleText(20), QString(20, u'M'));
    EXPECT_EQ(ColumnsRowViewController::sampleText(30), "MaWqMaWqMaWqMaWqMaWqMaWqMaWqMa");

    auto record = itemsRecord("SCREEN_SERVER");
    record->dataController = "ServerColumnsController";
    record->rowView = "ListSelectColumnsRowViewController";
    record->disclosure = false;
    auto* screen = open(record, "phone");
    BaseDataController* controller = screen->dataController().get();
    auto table = std::make_shared<ResponseTable>();
    table->Columns = { serverColumn("QDGUDPicon", "I", 0, 0), serverColumn("name", "Name", 2, 1),
        serverColumn("code", "Code", 3, 2), serverColumn("hidden", "Hidden", 5, 3, "Y") };
    controller->setTable(table);

    Theme* style = Theme::current();
    const QFontMetricsF rowFont(style->RowLabelFont());
    const double measured = rowFont.horizontalAdvance("MM") + rowFont.horizontalAdvance("MMM");
    const double screenWidth = screen->view()->bounds().width();
    ASSERT_LT(measured, screenWidth);
    QHash<QString, float> widths = ColumnsRowViewController::getColumnWidths(controller);
    const float scale = float(screenWidth) / float(measured);
    EXPECT_NEAR(widths.value("name"), rowFont.horizontalAdvance("MM") * scale, 0.01);
    EXPECT_GE(widths.value("QDGUDPicon"), 30.0f);
    EXPECT_FALSE(widths.contains("hidden"));

    // Wider than the screen: the widths stay and the table scrolls sideways.
    table->Columns[1].Length = 200;
    widths = ColumnsRowViewController::getColumnWidths(controller);
    EXPECT_NEAR(widths.value("name"),
        rowFont.horizontalAdvance(ColumnsRowViewController::sampleText(200)), 0.01);

    // A table whose text columns measure nothing scales nothing.
    table->Columns = { serverColumn("name", "Name", 0, 1) };
    widths = ColumnsRowViewController::getColumnWidths(controller);
    EXPECT_EQ(widths.value("name"), 0.0f);
}

TEST_F(ColumnTables, AWideTableScrollsSidewaysWithItsHeader)
{
    LocalColumnsController::headers = { "Name", "Count", "Note", "City", "Phone" };
    LocalColumnsController::widths = { 200, 150, 150, 150, 150 };
    auto* screen = open(localRecord(50, true), "phone");
    GridFlowLayout* layout = layoutOf(screen);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->contentSize().width(), 800 + 60);
    CollectionView* view = screen->collectionView();
    view->setContentOffset(QPointF(200, 400));
    settle();
    EXPECT_EQ(view->contentOffset(), QPointF(200, 400));
    auto* drawn = view->supplementaryViewForElementKind(
        CollectionView::ElementKindSectionHeader, platform::ui::IndexPath::forItem(0, 0));
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->frame(), QRectF(0, 400, 860, 30));
    save("column-table-50-rows-scrolled-both-ways.png");
}

TEST_F(ColumnTables, AServerTableDrawsItsVisibleColumnsByOrderWithBlankImageHeaders)
{
    auto record = itemsRecord("SCREEN_SERVER");
    record->dataController = "ServerColumnsController";
    record->rowView = "ColumnsRowViewController";
    record->disclosure = true;
    auto* screen = open(record, "tablet");
    BaseDataController* controller = screen->dataController().get();
    auto table = std::make_shared<ResponseTable>();
    table->Columns = { serverColumn("QDGUDPicon", "Icon", 0, 0), serverColumn("name", "Name", 4, 1),
        serverColumn("hidden", "Hidden", 5, 2, "Y"), serverColumn("qty", "Qty", 3, 3) };
    auto row = std::make_shared<ResponseRow>();
    row->Columns = { { 0, "database" }, { 1, "Ada" }, { 2, "secret" }, { 3, 42 } };
    table->Rows = { row };
    controller->setTable(table);
    screen->refreshView();
    settle();
    auto* rows = qobject_cast<ColumnsRowViewController*>(screen->rowViewContoller());
    ASSERT_NE(rows, nullptr);
    rows->clear();

    platform::ui::View header;
    rows->CreateHeader(&header);
    ASSERT_NE(header.viewWithTag(ColumnsRowViewController::DisclosureHeaderTag), nullptr);
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(header.viewWithTag(100))->text(), "");
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(header.viewWithTag(101))->text(), "Name");
    EXPECT_EQ(header.viewWithTag(102), nullptr);
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(header.viewWithTag(103))->text(), "Qty");
    EXPECT_EQ(header.viewWithTag(100)->frame().left(), 30);

    platform::ui::View cell;
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_TRUE(qobject_cast<platform::ui::ImageView*>(cell.viewWithTag(100)));
    EXPECT_EQ(cell.viewWithTag(100)->frame().width(), 30);
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(cell.viewWithTag(101))->text(), "Ada");
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(cell.viewWithTag(103))->text(), "42");
    EXPECT_EQ(cell.viewWithTag(102), nullptr);
    // The row is as wide as its columns plus the disclosure.
    double sum = 0;
    for (const ResponseColumn& column : table->Columns)
        sum += double(rows->columnWidth()->value(column.Name));
    EXPECT_NEAR(rows->getRowSize().width(), sum + 30, 0.01);
}

TEST_F(ColumnTables, AReusedRowAndHeaderShowExactlyTheColumnsOfTheTableShownNow)
{
    auto* screen = openServer(true);
    const auto row = [](QList<ResponseRowColumn> cells) {
        auto made = std::make_shared<ResponseRow>();
        made->Columns = std::move(cells);
        return made;
    };
    auto orders = std::make_shared<ResponseTable>();
    orders->Columns
        = { serverColumn("OrderNo", "Order", 6, 0), serverColumn("City", "City", 8, 2) };
    orders->Rows = { row({ { 0, "A-17" }, { 2, "Bergen" } }) };
    ColumnsRowViewController* rows = show(screen, orders);
    ASSERT_NE(rows, nullptr);
    platform::ui::View header;
    platform::ui::View cell;
    rows->CreateHeader(&header);
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_EQ(drawn(&header), "blank | Order | City");
    EXPECT_EQ(drawn(&cell), "image 2000 | A-17 | Bergen");

    // Another table, with a column at another position and fewer columns: nothing of the
    // first is left under or beside the new labels.
    auto customers = std::make_shared<ResponseTable>();
    customers->Columns = { serverColumn("Name", "Name", 6, 5) };
    customers->Rows = { row({ { 5, "Bob" } }) };
    show(screen, customers);
    rows->CreateHeader(&header);
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_EQ(drawn(&header), "blank | Name");
    EXPECT_EQ(drawn(&cell), "image 2000 | Bob");

    // The same position as an image column, then as text again: one view of the kind the
    // column needs.
    auto pictures = std::make_shared<ResponseTable>();
    pictures->Columns = { serverColumn("QDGUDPpicture", "Picture", 0, 5) };
    pictures->Rows = { row({ { 5, "database" } }) };
    show(screen, pictures);
    rows->CreateHeader(&header);
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_EQ(drawn(&header), "blank | blank");
    EXPECT_EQ(drawn(&cell), "image 2000 | image 105");
    show(screen, customers);
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_EQ(drawn(&cell), "image 2000 | Bob");
    // An unchanged table reuses every view.
    const QList<platform::ui::View*> views = cell.subviews();
    rows->createRow(&cell, 0, rows->getRowSize());
    EXPECT_EQ(cell.subviews(), views);
}

TEST_F(ColumnTables, PositionsNearTheTopOfTheRangeAndClashingTagsEachGetTheirOwnView)
{
    auto* screen = openServer(true);
    auto table = std::make_shared<ResponseTable>();
    // 1900 is the arrow's tag less 100; the last two are past what 100 more can reach.
    table->Columns = { serverColumn("a", "A", 2, 1900), serverColumn("b", "B", 2, 2147483600),
        serverColumn("c", "C", 2, 2147483647), serverColumn("d", "D", 2, 9900) };
    auto row = std::make_shared<ResponseRow>();
    row->Columns = { { 1900, "a1" }, { 2147483600, "b1" }, { 2147483647, "c1" }, { 9900, "d1" } };
    table->Rows = { row };
    ColumnsRowViewController* rows = show(screen, table);
    platform::ui::View header;
    platform::ui::View cell;
    for (int pass = 0; pass < 2; ++pass) {
        rows->CreateHeader(&header);
        rows->createRow(&cell, 0, rows->getRowSize());
        EXPECT_EQ(drawn(&header), "blank | A | B | C | D");
        EXPECT_EQ(drawn(&cell), "image 2000 | a1 | b1 | c1 | d1");
    }
    EXPECT_EQ(cell.subviews().size(), 5);
    EXPECT_TRUE(qobject_cast<DisclosureView*>(cell.viewWithTag(2000)));
}

TEST_F(ColumnTables, ALengthPastAThousandIsMeasuredAsAThousandCharacters)
{
    const unsigned most = 1000;
    ASSERT_EQ(ColumnsRowViewController::sampleText(5000000).size(), qsizetype(most));
    EXPECT_EQ(
        ColumnsRowViewController::sampleText(most + 1), ColumnsRowViewController::sampleText(most));
    EXPECT_EQ(ColumnsRowViewController::sampleText(most - 1).size(), qsizetype(most - 1));

    auto* screen = openServer(false);
    auto table = std::make_shared<ResponseTable>();
    table->Columns
        = { serverColumn("memo", "Memo", 2147483647, 0), serverColumn("note", "Note", most, 1) };
    screen->dataController()->setTable(table);
    QElapsedTimer timer;
    timer.start();
    const QHash<QString, float> widths
        = ColumnsRowViewController::getColumnWidths(screen->dataController().get());
    EXPECT_LT(timer.elapsed(), 1000);
    const QFontMetricsF rowFont(Theme::current()->RowLabelFont());
    EXPECT_NEAR(widths.value("memo"),
        rowFont.horizontalAdvance(ColumnsRowViewController::sampleText(most)), 0.01);
    EXPECT_EQ(widths.value("memo"), widths.value("note"));
}

#include "ColumnTableTest.moc"
