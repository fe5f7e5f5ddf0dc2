#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/HorizontalPickerViewCell.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>

using namespace platform::ui;
using testsupport::GestureSynthesizer;
using Swipe = SwipeGestureRecognizer;

namespace {

// Pages as the grid's page picker titles them, and the selections the picker reports.
struct Pages : HorizontalPickerViewDataSource, HorizontalPickerViewDelegate {
    int count = 0;
    int titleCalls = 0;
    QList<int> selections;
    int numberOfItemsInPickerView(HorizontalPickerView*) override { return count; }
    bool respondsToTitleForItem() const override { return true; }
    QString pickerViewTitleForItem(HorizontalPickerView*, int item) override
    {
        ++titleCalls;
        return QStringLiteral("%1/%2").arg(item + 1).arg(count);
    }
    void pickerViewDidSelectItem(HorizontalPickerView*, int item) override { selections << item; }
};

QList<Label*> labelsOnStrip(HorizontalPickerView* picker)
{
    QList<Label*> labels;
    for (View* view : picker->contentView()->subviews())
        if (auto* label = qobject_cast<Label*>(view))
            labels << label;
    return labels;
}

// The items the labels on the strip stand at, in order.
QList<int> shownItems(HorizontalPickerView* picker)
{
    const double width = picker->contentView()->frame().width();
    QList<int> items;
    for (Label* label : labelsOnStrip(picker))
        items << int(std::lround(label->frame().x() / width));
    std::sort(items.begin(), items.end());
    return items;
}

QString titleAt(HorizontalPickerView* picker, int item)
{
    const double width = picker->contentView()->frame().width();
    for (Label* label : labelsOnStrip(picker))
        if (std::lround(label->frame().x() / width) == item)
            return label->text();
    return {};
}

QList<int> range(int first, int last)
{
    QList<int> items;
    for (int i = first; i <= last; ++i)
        items << i;
    return items;
}

// A picker on the screen of each device, with a page source and delegate.
struct HorizontalPicker : ScreenFixture, ::testing::WithParamInterface<const char*> {
    Pages pages;
    QPointer<HorizontalPickerView> picker;

    void SetUp() override
    {
        open(GetParam());
        picker = make(QRectF(100, 120, 60, 25), 10);
    }

    HorizontalPickerView* make(const QRectF& frame, int count)
    {
        auto* made = new HorizontalPickerView(frame);
        screen->view()->addSubview(made);
        pages.count = count;
        made->setDelegate(&pages);
        made->setDataSource(&pages);
        made->reloadData();
        return made;
    }

    double offset() const { return picker->contentView()->contentOffset().x(); }

    // Waits for the picker to report the user's choice, and long enough for a second one.
    bool reported()
    {
        const bool told = testsupport::waitUntil([&] { return !pages.selections.isEmpty(); });
        testsupport::processEvents(100);
        return told;
    }
};

} // namespace

TEST_P(HorizontalPicker, StartsAtTheFirstItemWithAPagingStripThatShowsItsNeighbours)
{
    HorizontalPickerView plain(QRectF(0, 0, 100, 30));
    EXPECT_EQ(plain.selectedItem(), 0);
    EXPECT_EQ(plain.itemCount(), 0);
    EXPECT_FALSE(plain.showGlass());
    EXPECT_EQ(plain.itemFont(), Font::boldSystem(24));
    EXPECT_EQ(plain.itemColor(), QColor(Qt::black));
    EXPECT_EQ(plain.peekInset(), QMarginsF());
    ScrollView* strip = plain.contentView();
    EXPECT_EQ(strip->frame(), QRectF(0, 0, 100, 30));
    EXPECT_TRUE(strip->isPagingEnabled());
    EXPECT_FALSE(strip->clipsToBounds());
    EXPECT_FALSE(strip->showsHorizontalScrollIndicator());
    EXPECT_FALSE(strip->showsVerticalScrollIndicator());
    EXPECT_FALSE(strip->scrollsToTop());
    EXPECT_TRUE(plain.clipsToBounds());
    EXPECT_EQ(plain.layer()->cornerRadius(), 3.0);
    EXPECT_EQ(plain.layer()->borderWidth(), 0.5);
    EXPECT_EQ(plain.layer()->borderColor(), Theme::current()->buttonTitleColor().toQColor());

    // The whole picker swipes the strip; nothing outside it does.
    plain.setPeekInset(QMarginsF(20, 0, 20, 0));
    EXPECT_EQ(strip->frame(), QRectF(20, 0, 60, 30));
    EXPECT_EQ(plain.hitTest(QPointF(5, 15)), strip);
    EXPECT_EQ(plain.hitTest(QPointF(50, 15)), strip);
    EXPECT_EQ(plain.hitTest(QPointF(105, 15)), nullptr);

    // The layers it draws are in the bundle, with room for their caps.
    EXPECT_EQ(Image::named("wheelBackground").size(), QSizeF(8, 11));
    EXPECT_EQ(Image::named("stretchableGlass").size(), QSizeF(3, 25));
    EXPECT_EQ(Image::named("shadowOverlay").size(), QSizeF(100, 25));
}

TEST_P(HorizontalPicker, ADataSourceWithoutItemsShowsNothing)
{
    HorizontalPickerViewDataSource silent; // answers nothing
    for (HorizontalPickerViewDataSource* source :
        { &silent, static_cast<HorizontalPickerViewDataSource*>(&pages),
            static_cast<HorizontalPickerViewDataSource*>(nullptr) }) {
        pages.count = 0;
        picker->setDataSource(source);
        picker->reloadData();
        EXPECT_EQ(picker->contentView()->contentSize(), QSizeF(0, 25));
        EXPECT_TRUE(labelsOnStrip(picker).isEmpty());
        EXPECT_EQ(picker->selectedItem(), 0);
        picker->setSelectedItem(0);
        EXPECT_EQ(picker->selectedItem(), 0);
    }

    // Without titles the labels keep their text.
    struct Untitled : HorizontalPickerViewDataSource {
        int numberOfItemsInPickerView(HorizontalPickerView*) override { return 4; }
    } untitled;
    picker->setDataSource(&untitled);
    picker->reloadData();
    EXPECT_EQ(shownItems(picker), range(0, 2));
    EXPECT_EQ(titleAt(picker, 1), QString());
}

TEST_P(HorizontalPicker, ShowsTheItemAndTwoOnEachSideWithinTheItems)
{
    EXPECT_EQ(picker->itemCount(), 10);
    EXPECT_EQ(picker->contentView()->contentSize(), QSizeF(600, 25));
    EXPECT_EQ(shownItems(picker), range(0, 2));
    EXPECT_EQ(titleAt(picker, 0), "1/10");
    EXPECT_EQ(titleAt(picker, 2), "3/10");
    for (Label* label : labelsOnStrip(picker))
        EXPECT_EQ(label->frame().size(), QSizeF(60, 25));

    picker->setSelectedItem(1);
    EXPECT_EQ(shownItems(picker), range(0, 3));
    picker->setSelectedItem(5);
    EXPECT_EQ(offset(), 300);
    EXPECT_EQ(shownItems(picker), range(3, 7));
    EXPECT_EQ(titleAt(picker, 7), "8/10");
    picker->setSelectedItem(9);
    EXPECT_EQ(shownItems(picker), range(7, 9));
    // Between pages, the page the offset is in counts.
    picker->contentView()->setContentOffset(QPointF(60 * 4.9, 0));
    EXPECT_EQ(shownItems(picker), range(2, 6));

    // Only an item there is can be selected.
    picker->setSelectedItem(6);
    for (int index : { 10, 11, -1 }) {
        picker->setSelectedItem(index);
        EXPECT_EQ(picker->selectedItem(), 6);
        EXPECT_EQ(offset(), 360);
    }
    // Scrolling to an item in code does not select it.
    picker->selectItemAtIndex(2, false);
    EXPECT_EQ(offset(), 120);
    EXPECT_EQ(picker->selectedItem(), 6);
}

TEST_P(HorizontalPicker, AtMostFiveLabelsOverTenThousandItems)
{
    picker->setDataSource(nullptr);
    pages.count = 10000;
    picker->setDataSource(&pages);
    pages.titleCalls = 0;
    picker->reloadData();
    EXPECT_EQ(picker->contentView()->contentSize(), QSizeF(600000, 25));
    QSet<Label*> made;
    auto check = [&](int item) {
        const QList<Label*> labels = labelsOnStrip(picker);
        EXPECT_LE(labels.size(), 5) << "at item " << item;
        EXPECT_EQ(shownItems(picker), range(std::max(0, item - 2), std::min(9999, item + 2)));
        EXPECT_EQ(picker->contentView()->findChildren<Label*>().size(), labels.size());
        for (Label* label : labels)
            made.insert(label);
    };
    check(0);
    for (int item : { 1, 2, 3, 4, 5, 6, 7, 5000, 9999, 9998, 9997, 4321, 0 }) {
        picker->setSelectedItem(item);
        check(item);
    }
    // A step through the whole strip as the user sees it.
    for (int item = 0; item < 10000; item += 97) {
        picker->contentView()->setContentOffset(QPointF(item * 60.0, 0));
        check(item);
    }
    // Labels scrolled away are used again: five are all there ever were.
    EXPECT_EQ(made.size(), 5);
    EXPECT_LT(pages.titleCalls, 1000);

    // The user's swipes keep to five as well.
    picker->setSelectedItem(500);
    GestureSynthesizer::swipe(picker, Swipe::Left, QPointF(45, 12), 30);
    ASSERT_TRUE(reported());
    EXPECT_EQ(pages.selections, QList<int>({ 501 }));
    check(501);
}

TEST_P(HorizontalPicker, OnlyASwipeThatComesToRestTellsTheDelegate)
{
    picker->setSelectedItem(4);
    picker->selectItemAtIndex(6, false);
    picker->selectItemAtIndex(2, true);
    picker->reloadData();
    picker->setSelectedItem(2);
    testsupport::processEvents(100);
    EXPECT_TRUE(pages.selections.isEmpty());

    // From item 2, half a page on and let go quickly: it rests on item 3.
    GestureSynthesizer::swipe(picker, Swipe::Left, QPointF(45, 12), 30);
    ASSERT_TRUE(reported());
    EXPECT_EQ(pages.selections, QList<int>({ 3 }));
    EXPECT_EQ(picker->selectedItem(), 3);
    EXPECT_EQ(offset(), 180);

    // A slow drag back over two pages rests where it was let go.
    pages.selections.clear();
    GestureSynthesizer::press(picker, QPointF(10, 12));
    for (int i = 1; i <= 4; ++i)
        GestureSynthesizer::move(QPointF(10 + 110.0 * i / 4, 12));
    QThread::msleep(120);
    GestureSynthesizer::release();
    ASSERT_TRUE(reported());
    EXPECT_EQ(pages.selections, QList<int>({ 1 }));
    EXPECT_EQ(picker->selectedItem(), 1);

    // The wheel turns an item a notch.
    pages.selections.clear();
    QWheelEvent notch(QPointF(30, 12), picker->mapToGlobal(QPointF(30, 12)), QPoint(),
        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picker->contentView(), &notch);
    ASSERT_TRUE(reported());
    EXPECT_EQ(pages.selections, QList<int>({ 2 }));
}

TEST_P(HorizontalPicker, ComingToRestTwoAndAHalfPagesOnSelectsTheThirdItem)
{
    ScrollView* strip = picker->contentView();
    strip->setContentOffset(QPointF(150, 0));
    strip->delegate()->scrollViewDidEndDecelerating(strip);
    EXPECT_EQ(picker->selectedItem(), 3);
    strip->setContentOffset(QPointF(149, 0));
    strip->delegate()->scrollViewDidEndDecelerating(strip);
    EXPECT_EQ(picker->selectedItem(), 2);
    EXPECT_EQ(pages.selections, QList<int>({ 3, 2 }));
}

TEST_P(HorizontalPicker, APeekInsetReloadsOnlyWhenItChanges)
{
    picker->setSelectedItem(4);
    const QList<Label*> before = labelsOnStrip(picker);
    const int titles = pages.titleCalls;
    picker->setPeekInset(QMarginsF());
    EXPECT_EQ(picker->selectedItem(), 4);
    EXPECT_EQ(labelsOnStrip(picker), before);
    EXPECT_EQ(pages.titleCalls, titles);

    picker->setPeekInset(QMarginsF(10, 2, 20, 3));
    EXPECT_EQ(picker->contentView()->frame(), QRectF(10, 2, 30, 20));
    EXPECT_EQ(picker->selectedItem(), 0);
    EXPECT_EQ(offset(), 0);
    EXPECT_EQ(picker->contentView()->contentSize(), QSizeF(300, 20));
    EXPECT_EQ(shownItems(picker), range(0, 2));
    for (Label* label : labelsOnStrip(picker))
        EXPECT_EQ(label->frame().size(), QSizeF(30, 20));
    EXPECT_TRUE(pages.selections.isEmpty());
}

TEST_P(HorizontalPicker, NeighboursPeekInBesideTheStripAndSwipeItToo)
{
    delete picker;
    picker = make(QRectF(60, 120, 200, 40), 10);
    picker->setItemColor(Qt::red);
    picker->setPeekInset(QMarginsF(70, 0, 70, 0));
    picker->setSelectedItem(1);
    const QImage shot = screen->view()->snapshot();
    const double ratio = shot.devicePixelRatio();
    auto redIn = [&](double left, double right) {
        int red = 0;
        for (double x = left; x < right; x += 0.5)
            for (double y = 125; y < 155; y += 0.5) {
                const QColor c = shot.pixelColor(QPointF(x * ratio, y * ratio).toPoint());
                if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                    ++red;
            }
        return red;
    };
    EXPECT_GT(redIn(60, 130), 0); // item 0, left of the strip
    EXPECT_GT(redIn(130, 190), 0); // item 1, on it
    EXPECT_GT(redIn(190, 260), 0); // item 2, right of it
    EXPECT_EQ(redIn(10, 58), 0); // nothing beyond the picker
    EXPECT_EQ(redIn(262, 300), 0);

    // A swipe that starts on a neighbour moves the strip.
    GestureSynthesizer::swipe(picker, Swipe::Left, QPointF(180, 20), 30);
    ASSERT_TRUE(reported());
    EXPECT_EQ(pages.selections, QList<int>({ 2 }));

    // A press the strip has no use for reaches the screen below once.
    struct Presses : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::MouseButtonPress;
            return false;
        }
    } presses;
    screen->view()->installEventFilter(&presses);
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(180, 20),
        picker->mapToGlobal(QPointF(180, 20)), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(picker, &right);
    EXPECT_EQ(presses.count, 1);
    screen->view()->removeEventFilter(&presses);
}

TEST_P(HorizontalPicker, FontAndColourReachTheSpareLabelsToo)
{
    picker->setSelectedItem(5); // five labels, 3 to 7
    picker->setSelectedItem(9); // 7 to 9: two spare
    const QFont font = Font::boldSystem(11);
    picker->setItemFont(font);
    picker->setItemColor(Qt::blue);
    picker->setSelectedItem(5); // the spare ones come back
    ASSERT_EQ(labelsOnStrip(picker).size(), 5);
    for (Label* label : labelsOnStrip(picker)) {
        EXPECT_EQ(label->font(), font);
        EXPECT_EQ(label->textColor(), QColor(Qt::blue));
    }
}

TEST_P(HorizontalPicker, AStripOfNoWidthTilesNothingAndKeepsTheFirstItem)
{
    // A picker made before its size is known.
    auto* flat = make(QRectF(10, 10, 0, 25), 5);
    EXPECT_EQ(flat->contentView()->contentSize(), QSizeF(0, 25));
    EXPECT_TRUE(labelsOnStrip(flat).isEmpty());
    EXPECT_EQ(flat->selectedItem(), 0);
    flat->setSelectedItem(3);
    flat->contentView()->delegate()->scrollViewDidEndDecelerating(flat->contentView());
    EXPECT_EQ(flat->selectedItem(), 0);
    EXPECT_TRUE(labelsOnStrip(flat).isEmpty());
    EXPECT_TRUE(pages.selections.isEmpty());

    // Insets as wide as the picker leave no strip either, and a swipe does nothing.
    picker->setSelectedItem(4);
    picker->setPeekInset(QMarginsF(30, 0, 40, 0));
    EXPECT_EQ(picker->contentView()->frame().width(), 0);
    EXPECT_TRUE(labelsOnStrip(picker).isEmpty());
    EXPECT_EQ(picker->selectedItem(), 0);
    GestureSynthesizer::swipe(picker, Swipe::Left, QPointF(45, 12), 30);
    testsupport::processEvents(300);
    picker->contentView()->delegate()->scrollViewDidEndDecelerating(picker->contentView());
    EXPECT_EQ(picker->selectedItem(), 0);
    EXPECT_TRUE(pages.selections.isEmpty());

    // Room again: the items come back.
    picker->setPeekInset(QMarginsF());
    EXPECT_EQ(shownItems(picker), range(0, 2));
}

TEST_P(HorizontalPicker, ScreenshotOfThePagePickerInTheNavigationBar)
{
    delete picker;
    const Theme* style = Theme::current();
    auto* pagePicker = new HorizontalPickerView(QRectF(0, 0, 60, 25));
    pagePicker->setItemFont(style->subbuttonTitleFont());
    pagePicker->setItemColor(style->buttonTitleColor().toQColor());
    pagePicker->setShowGlass(true);
    pagePicker->setDelegate(&pages);
    pagePicker->setDataSource(&pages);
    screen->navigationItem()->setRightBarButtonItem(new BarButtonItem(pagePicker, screen));
    pages.count = 12;
    pagePicker->reloadData();
    pagePicker->setSelectedItem(2);
    EXPECT_EQ(titleAt(pagePicker, 2), "3/12");
    EXPECT_TRUE(save(QStringLiteral("horizontal-picker-page-%1.png").arg(GetParam())));

    // The table picker of a multi-table answer, wider and in the title font.
    struct Tables : HorizontalPickerViewDataSource {
        int numberOfItemsInPickerView(HorizontalPickerView*) override { return 3; }
        bool respondsToTitleForItem() const override { return true; }
        QString pickerViewTitleForItem(HorizontalPickerView*, int item) override
        {
            return QStringLiteral("T%1").arg(item + 1);
        }
    } tables;
    auto* tablePicker = new HorizontalPickerView(QRectF(0, 0, 100, 25));
    tablePicker->setItemFont(style->buttonTitleFont());
    tablePicker->setItemColor(style->buttonTitleColor().toQColor());
    tablePicker->setShowGlass(true);
    tablePicker->setDataSource(&tables);
    screen->navigationItem()->setRightBarButtonItem(new BarButtonItem(tablePicker, screen));
    tablePicker->reloadData();
    EXPECT_TRUE(save(QStringLiteral("horizontal-picker-table-%1.png").arg(GetParam())));
    screen->navigationItem()->setRightBarButtonItem(nullptr);
}

namespace {

// Rows of a table, each with a picker of as many items as its row number plus two.
struct PickerRows : TableViewDataSource,
                    HorizontalPickerViewCellDataSource,
                    HorizontalPickerViewCellDelegate {
    int rows = 5;
    QList<std::optional<IndexPath>> asked;
    QList<std::pair<std::optional<IndexPath>, int>> chosen;
    int tableViewNumberOfRowsInSection(TableView*, int) override { return rows; }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView*, const IndexPath& path) override
    {
        auto* cell = new HorizontalPickerViewCell(TableViewCell::Style::Default, "picker");
        cell->textLabel()->setText(QStringLiteral("Row %1").arg(path.row()));
        cell->setDataSource(this);
        cell->setDelegate(this);
        cell->reloadData();
        return cell;
    }
    void tableViewMoveRowAtIndexPath(TableView*, const IndexPath&, const IndexPath&) override { }
    int numberOfItemsInPickerViewAtIndexPath(const std::optional<IndexPath>& path) override
    {
        asked << path;
        return path ? path->row() + 2 : 0;
    }
    QString pickerViewAtIndexPathTitleForItem(
        const std::optional<IndexPath>& path, int item) override
    {
        return QStringLiteral("%1.%2").arg(path ? path->row() : -1).arg(item);
    }
    void pickerViewAtIndexPathDidSelectItem(const std::optional<IndexPath>& path, int item) override
    {
        chosen << std::make_pair(path, item);
    }
};

} // namespace

TEST_P(HorizontalPicker, ACellPassesItsPickersQuestionsOnWithItsRow)
{
    HorizontalPickerViewCell loose;
    HorizontalPickerView* cellPicker = loose.pickerView();
    ASSERT_NE(cellPicker, nullptr);
    EXPECT_EQ(cellPicker->frame(), QRectF(192, 8, 112, 30));
    EXPECT_EQ(cellPicker->itemFont(), Font::boldSystem(14));
    EXPECT_EQ(cellPicker->itemColor(), QColor(Qt::black));
    EXPECT_EQ(cellPicker->dataSource(), &loose);
    // Not in a table: no row, and without a data source no items.
    EXPECT_EQ(loose.currentIndexPath(), std::nullopt);
    loose.reloadData();
    EXPECT_EQ(cellPicker->itemCount(), 0);
    loose.setShowGlass(true);
    EXPECT_TRUE(cellPicker->showGlass());
    loose.setPeekInset(QMarginsF(10, 0, 10, 0));
    EXPECT_EQ(loose.peekInset(), QMarginsF(10, 0, 10, 0));

    delete picker;
    PickerRows rows;
    auto* table = new TableView(screen->view()->bounds());
    table->setDataSource(&rows);
    screen->view()->addSubview(table);
    table->reloadData();
    table->layoutIfNeeded();
    auto* cell = qobject_cast<HorizontalPickerViewCell*>(table->cellForRowAtIndexPath({ 2, 0 }));
    ASSERT_NE(cell, nullptr);
    // Made before the table knew its row, the cell asks again at the next reload.
    cell->reloadData();
    EXPECT_EQ(rows.asked.last(), IndexPath(2, 0));
    EXPECT_EQ(cell->pickerView()->itemCount(), 4);
    EXPECT_EQ(titleAt(cell->pickerView(), 1), "2.1");

    // A cell moved to another row goes on with the first one until told.
    table->moveRowAtIndexPath({ 2, 0 }, { 4, 0 });
    table->layoutIfNeeded();
    EXPECT_EQ(table->indexPathForCell(cell), IndexPath(4, 0));
    cell->reloadData();
    EXPECT_EQ(rows.asked.last(), IndexPath(2, 0));
    cell->setCurrentIndexPath(std::nullopt);
    cell->reloadData();
    EXPECT_EQ(rows.asked.last(), IndexPath(4, 0));
    EXPECT_EQ(cell->pickerView()->itemCount(), 6);

    // The user's choice reaches the cell's delegate with the row.
    cell->selectItemAtIndex(2, false);
    EXPECT_EQ(cell->selectedItem(), 0);
    GestureSynthesizer::swipe(cell->pickerView(), Swipe::Left, QPointF(80, 15), 40);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !rows.chosen.isEmpty(); }));
    testsupport::processEvents(100);
    ASSERT_EQ(rows.chosen.size(), 1);
    EXPECT_EQ(rows.chosen.first().first, IndexPath(4, 0));
    EXPECT_EQ(rows.chosen.first().second, 3);
    EXPECT_EQ(cell->selectedItem(), 3);
}

INSTANTIATE_TEST_SUITE_P(Devices, HorizontalPicker, ::testing::Values("tablet", "phone"));
