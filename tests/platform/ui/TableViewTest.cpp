#include "platform/ui/TableView.h"
#include "ScrollTestSupport.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewHeaderFooterView.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace platform::ui;

namespace {

using Accessory = TableViewCell::AccessoryType;

struct Row {
    QString title;
    QString value;
    bool hidden = false;
    Accessory accessory = Accessory::None;
    bool checked = false;
};

struct Group {
    QString header;
    QString footer;
    std::vector<Row> rows;
    bool sortable = false;
    bool multipleChecks = false;
    bool checks = false;
};

// A small form: sections of titled rows, some hidden; the table sees only the others, as
// the form engine shows its elements. Taps tick rows in sections of checks.
class Form : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<Group> groups;
    QStringList log;
    int cellRequests = 0;

    std::vector<int> visible(int section) const
    {
        std::vector<int> result;
        const auto& rows = groups[size_t(section)].rows;
        for (size_t i = 0; i < rows.size(); ++i)
            if (!rows[i].hidden)
                result.push_back(int(i));
        return result;
    }
    Row& rowAt(const IndexPath& p)
    {
        return groups[size_t(p.section())].rows[size_t(visible(p.section())[size_t(p.row())])];
    }

    int numberOfSectionsInTableView(TableView*) override { return int(groups.size()); }
    int tableViewNumberOfRowsInSection(TableView*, int section) override
    {
        return int(visible(section).size());
    }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView* table, const IndexPath& p) override
    {
        ++cellRequests;
        TableViewCell* cell = table->dequeueReusableCellWithIdentifier("Value1");
        if (!cell)
            cell = new TableViewCell(TableViewCell::Style::Value1, "Value1");
        const Row& row = rowAt(p);
        cell->textLabel()->setText(row.title);
        cell->detailTextLabel()->setText(row.value);
        cell->setAccessoryType(row.checked ? Accessory::Checkmark : row.accessory);
        return cell;
    }
    QString tableViewTitleForHeaderInSection(TableView*, int section) override
    {
        return groups[size_t(section)].header;
    }
    QString tableViewTitleForFooterInSection(TableView*, int section) override
    {
        return groups[size_t(section)].footer;
    }
    bool respondsToMoveRow() const override { return true; }
    bool tableViewCanMoveRowAtIndexPath(TableView*, const IndexPath& p) override
    {
        return groups[size_t(p.section())].sortable;
    }
    void tableViewMoveRowAtIndexPath(
        TableView*, const IndexPath& from, const IndexPath& to) override
    {
        log << QString("move %1.%2 to %3.%4")
                   .arg(from.section())
                   .arg(from.row())
                   .arg(to.section())
                   .arg(to.row());
        const int raw = visible(from.section())[size_t(from.row())];
        Row moved = groups[size_t(from.section())].rows[size_t(raw)];
        auto& source = groups[size_t(from.section())].rows;
        source.erase(source.begin() + raw);
        auto& target = groups[size_t(to.section())].rows;
        const auto places = visible(to.section());
        const int at
            = to.row() < int(places.size()) ? places[size_t(to.row())] : int(target.size());
        target.insert(target.begin() + at, moved);
    }
    IndexPath tableViewTargetIndexPathForMoveFromRowAtIndexPath(
        TableView*, const IndexPath& source, const IndexPath& proposed) override
    {
        return groups[size_t(proposed.section())].sortable ? proposed : source;
    }
    void tableViewDidSelectRowAtIndexPath(TableView* table, const IndexPath& p) override
    {
        log << QString("select %1.%2").arg(p.section()).arg(p.row());
        Group& group = groups[size_t(p.section())];
        if (!group.checks)
            return;
        Row& row = rowAt(p);
        if (group.multipleChecks) {
            row.checked = !row.checked;
        } else {
            // One tick in the section: the old one goes, redrawn in place.
            const auto places = visible(p.section());
            for (size_t i = 0; i < places.size(); ++i) {
                Row& other = group.rows[size_t(places[i])];
                if (&other != &row && other.checked) {
                    other.checked = false;
                    if (auto* cell = table->cellForRowAtIndexPath(IndexPath(int(i), p.section())))
                        cell->setAccessoryType(Accessory::None);
                }
            }
            row.checked = true;
        }
        if (auto* cell = table->cellForRowAtIndexPath(p))
            cell->setAccessoryType(row.checked ? Accessory::Checkmark : Accessory::None);
        table->deselectRowAtIndexPath(p, true);
    }
    void tableViewAccessoryButtonTappedForRowWithIndexPath(TableView*, const IndexPath& p) override
    {
        log << QString("detail %1.%2").arg(p.section()).arg(p.row());
    }
};

Form sampleForm()
{
    Form form;
    form.groups = {
        { "Table", "", { { "Name", "Customers" }, { "Hidden", "", true }, { "Rows", "1,024" } } },
        { "Sort", "Rows keep this order on every device.",
            { { "Name", "" }, { "City", "", true }, { "Created", "" }, { "Size", "" } }, true },
        { "", "", { { "Secret", "", true } } },
        { "Show", "", { { "Tiles", "" }, { "Columns", "" }, { "Chart", "" } }, false, true, true },
    };
    return form;
}

struct Fixture {
    explicit Fixture(Form f, const QRectF& frame = QRectF(0, 0, 768, 1024),
        TableView::Style style = TableView::Style::Grouped)
        : form(std::move(f))
    {
        Animation::setInstant(true);
        table = std::make_unique<TableView>(frame, style);
        table->setDelegate(&form);
        table->setDataSource(&form);
        table->show();
        table->layoutIfNeeded();
    }
    QString titleAt(int row, int section)
    {
        auto* cell = table->cellForRowAtIndexPath(IndexPath(row, section));
        return cell ? cell->textLabel()->text() : QString();
    }
    // A tap on a row, where a person sees it.
    void tap(const IndexPath& p, double x = 100)
    {
        const QRectF r = table->rectForRowAtIndexPath(p);
        scrolltest::click(table.get(), QPointF(x, r.center().y()) - table->contentOffset());
    }

    Form form;
    std::unique_ptr<TableView> table;
};

} // namespace

TEST(TableView, GroupedSectionsShowOnlyTheRowsThatAreNotHidden)
{
    Fixture f(sampleForm());
    TableView& table = *f.table;
    ASSERT_EQ(table.numberOfSections(), 4);
    EXPECT_EQ(table.numberOfRowsInSection(0), 2);
    EXPECT_EQ(table.numberOfRowsInSection(1), 3);
    EXPECT_EQ(table.numberOfRowsInSection(2), 0);
    EXPECT_EQ(f.titleAt(1, 0), "Rows");
    EXPECT_EQ(f.titleAt(1, 1), "Created");
    EXPECT_EQ(table.visibleCells().size(), 2 + 3 + 3);
    EXPECT_EQ(f.form.cellRequests, 8);

    // Sections stack: header, rows of 44, footer; a section without rows keeps its gaps.
    const QRectF s0 = table.rectForSection(0);
    const QRectF header1 = table.rectForHeaderInSection(1);
    EXPECT_EQ(s0.top(), 0);
    EXPECT_EQ(header1.top(), s0.bottom());
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(0, 1)).top(), header1.bottom());
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(0, 0)).height(), 44);
    EXPECT_GT(table.rectForFooterInSection(1).height(), table.rectForFooterInSection(0).height());
    EXPECT_GT(table.rectForSection(2).height(), 0);
    // The header reads in capitals; an empty title shows no view.
    auto* title = qobject_cast<TableViewHeaderFooterView*>(table.headerViewForSection(1));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->textLabel()->text(), "SORT");
    EXPECT_EQ(table.headerViewForSection(2), nullptr);

    // Hiding a row deletes it from the table; the other rows keep their cells.
    TableViewCell* rows = table.cellForRowAtIndexPath(IndexPath(1, 0));
    TableViewCell* created = table.cellForRowAtIndexPath(IndexPath(1, 1));
    const double createdTop = created->frame().top();
    f.form.groups[0].rows[0].hidden = true;
    table.deleteRowsAtIndexPaths({ IndexPath(0, 0) }, TableView::RowAnimation::Fade);
    EXPECT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(0, 0)), rows);
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(1, 1)), created);
    EXPECT_EQ(created->frame().top(), createdTop - 44);

    // Showing two hidden rows inserts them where they stand in the form.
    f.form.groups[0].rows[1].hidden = false;
    f.form.groups[1].rows[1].hidden = false;
    table.beginUpdates();
    table.insertRowsAtIndexPaths({ IndexPath(0, 0) }, TableView::RowAnimation::Top);
    table.insertRowsAtIndexPaths({ IndexPath(1, 1) }, TableView::RowAnimation::Right);
    table.endUpdates();
    EXPECT_EQ(f.titleAt(0, 0), "Hidden");
    EXPECT_EQ(f.titleAt(1, 0), "Rows");
    EXPECT_EQ(f.titleAt(1, 1), "City");
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 1)), created);
    EXPECT_EQ(created->frame(), table.rectForRowAtIndexPath(IndexPath(2, 1)));

    // A hidden section goes with its header; a shown one comes back at its place.
    f.form.groups.erase(f.form.groups.begin() + 2);
    table.deleteSections({ 2 }, TableView::RowAnimation::Fade);
    EXPECT_EQ(table.numberOfSections(), 3);
    EXPECT_EQ(f.titleAt(0, 2), "Tiles");
    // Changes that do not add up raise, and the table shows the data source as it is.
    f.form.groups[0].rows[2].hidden = true;
    EXPECT_THROW(table.deleteSections({ 0 }, TableView::RowAnimation::Fade), platform::Exception);
    EXPECT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(f.titleAt(0, 0), "Hidden");
}

TEST(TableView, ValueOneCellsPutTheTitleLeftAndTheValueRight)
{
    Form form;
    form.groups = { { "", "",
        { { "Name", "Customers" }, { "Sort by", "Name", false, Accessory::DisclosureIndicator },
            { "Info", "3", false, Accessory::DetailButton },
            { "A title long enough to crowd the value out of its row",
                "and a value that is long as well" } } } };
    Fixture f(std::move(form), QRectF(0, 0, 375, 667));
    ASSERT_FALSE(f.table->showsSectionsAsCards());
    TableViewCell* plain = f.table->cellForRowAtIndexPath(IndexPath(0, 0));
    ASSERT_NE(plain, nullptr);
    const QRectF content = plain->contentView()->frame();
    EXPECT_EQ(content, QRectF(0, 0, 375, 43)); // the separator takes the last point
    const QRectF title = plain->textLabel()->frame();
    const QRectF value = plain->detailTextLabel()->frame();
    EXPECT_EQ(title.left(), 16);
    EXPECT_EQ(value.right(), 375 - 16);
    EXPECT_EQ(title.height(), 43);
    EXPECT_GE(title.width(), plain->textLabel()->sizeThatFits({}).width());
    EXPECT_EQ(plain->detailTextLabel()->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(plain->detailTextLabel()->textColor(), QColor(142, 142, 147));

    // The chevron takes the right edge; the value ends just before it.
    TableViewCell* disclosed = f.table->cellForRowAtIndexPath(IndexPath(1, 0));
    EXPECT_EQ(disclosed->contentView()->frame().width(), 375 - 16 - 8 - 10);
    EXPECT_EQ(disclosed->detailTextLabel()->frame().right(), 375 - 16 - 8 - 10);
    TableViewCell* info = f.table->cellForRowAtIndexPath(IndexPath(2, 0));
    ASSERT_FALSE(info->detailButton()->isHidden());
    EXPECT_LT(info->detailTextLabel()->frame().right(), info->detailButton()->frame().left() + 12);

    // Too long together: the title keeps more than half, the value the rest.
    TableViewCell* crowded = f.table->cellForRowAtIndexPath(IndexPath(3, 0));
    const double room = 375 - 2 * 16;
    EXPECT_NEAR(crowded->textLabel()->frame().width(), room * 0.55, 1);
    EXPECT_NEAR(crowded->detailTextLabel()->frame().width(), room - 10 - room * 0.55, 1);

    // An image moves the title right of it.
    QImage square(29, 29, QImage::Format_ARGB32);
    square.fill(Qt::red);
    plain->imageView()->setImage(Image(square));
    plain->layoutSubviews();
    EXPECT_EQ(plain->imageView()->frame(), QRectF(16, 7, 29, 29));
    EXPECT_EQ(plain->textLabel()->frame().left(), 16 + 29 + 15);
}

TEST(TableView, ReloadingOneRowAsksForThatRowAloneAndKeepsTheOtherCells)
{
    Fixture f(sampleForm());
    TableView& table = *f.table;
    QList<TableViewCell*> before;
    for (int r = 0; r < 3; ++r)
        before << table.cellForRowAtIndexPath(IndexPath(r, 1));
    const int requests = f.form.cellRequests;
    f.form.groups[1].rows[2].title = "Made";
    table.reloadRowsAtIndexPaths({ IndexPath(1, 1) }, TableView::RowAnimation::None);
    EXPECT_EQ(f.form.cellRequests, requests + 1);
    EXPECT_EQ(f.titleAt(1, 1), "Made");
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(0, 1)), before[0]);
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 1)), before[2]);
    // The old cell waits for reuse, not on screen.
    EXPECT_TRUE(testsupport::waitUntil([&] { return before[1]->isHidden(); }));

    // A reloaded row loses its selection; the others keep theirs.
    table.setAllowsMultipleSelection(true);
    table.selectRowAtIndexPath(IndexPath(0, 1), false, TableView::ScrollPosition::None);
    table.selectRowAtIndexPath(IndexPath(2, 1), false, TableView::ScrollPosition::None);
    table.reloadRowsAtIndexPaths({ IndexPath(0, 1) }, TableView::RowAnimation::Fade);
    EXPECT_EQ(table.indexPathsForSelectedRows(), QList<IndexPath>({ IndexPath(2, 1) }));
    EXPECT_TRUE(table.cellForRowAtIndexPath(IndexPath(2, 1))->isSelected());
}

TEST(TableView, ADraggedRowMovesWithinItsSortableSectionOnly)
{
    Fixture f(sampleForm(), QRectF(0, 0, 375, 800));
    TableView& table = *f.table;
    table.setEditing(true);
    TableViewCell* name = table.cellForRowAtIndexPath(IndexPath(0, 1));
    TableViewCell* rows = table.cellForRowAtIndexPath(IndexPath(1, 0));
    EXPECT_FALSE(name->reorderControlFrame().isEmpty());
    EXPECT_TRUE(rows->reorderControlFrame().isEmpty()); // not a sortable section

    // Take "Name" by its grip and drop it on the last row.
    const QRectF grip = name->reorderControlFrame().translated(name->frame().topLeft());
    const QPointF start = grip.center();
    const double down
        = table.rectForRowAtIndexPath(IndexPath(2, 1)).center().y() - name->frame().center().y();
    scrolltest::press(&table, start);
    EXPECT_TRUE(table.isReordering());
    for (int step = 1; step <= 10; ++step)
        scrolltest::drag(&table, &table, start + QPointF(0, down * step / 10));
    // The row passed over slid up already.
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 1))->frame().top(),
        table.rectForRowAtIndexPath(IndexPath(1, 1)).top());
    scrolltest::release(&table, &table, start + QPointF(0, down));
    EXPECT_FALSE(table.isReordering());
    EXPECT_EQ(f.form.log, QStringList({ "move 1.0 to 1.2" }));
    EXPECT_EQ(f.titleAt(0, 1), "Created");
    EXPECT_EQ(f.titleAt(2, 1), "Name");
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 1)), name);
    EXPECT_EQ(name->frame(), table.rectForRowAtIndexPath(IndexPath(2, 1)));
    EXPECT_EQ(f.form.groups[1].rows[3].title, "Name");

    // Dragged into another section, the delegate sends it back home.
    f.form.log.clear();
    const QRectF grip2 = name->reorderControlFrame().translated(name->frame().topLeft());
    scrolltest::press(&table, grip2.center());
    const double target = table.rectForRowAtIndexPath(IndexPath(0, 3)).center().y();
    for (int step = 1; step <= 10; ++step)
        scrolltest::drag(&table, &table,
            QPointF(grip2.center().x(),
                grip2.center().y() + (target - grip2.center().y()) * step / 10));
    scrolltest::release(&table, &table, QPointF(grip2.center().x(), target));
    EXPECT_TRUE(f.form.log.isEmpty());
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 1)), name);
    EXPECT_EQ(name->frame(), table.rectForRowAtIndexPath(IndexPath(2, 1)));

    // Moving in code keeps the cells too.
    TableViewCell* created = table.cellForRowAtIndexPath(IndexPath(0, 1));
    std::swap(f.form.groups[1].rows[0], f.form.groups[1].rows[2]);
    table.moveRowAtIndexPath(IndexPath(0, 1), IndexPath(1, 1));
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(1, 1)), created);
}

TEST(TableView, ChecksTickOneRowOrSeveralAndTheDetailButtonIsNotASelection)
{
    Form form = sampleForm();
    form.groups[1].checks = true; // single choice
    form.groups[1].rows[0].checked = true;
    form.groups[0].rows[2].accessory = Accessory::DetailDisclosureButton;
    Fixture f(std::move(form));
    TableView& table = *f.table;
    auto ticked = [&](int section) {
        QList<int> rows;
        for (int r = 0; r < table.numberOfRowsInSection(section); ++r)
            if (table.cellForRowAtIndexPath(IndexPath(r, section))->accessoryType()
                == Accessory::Checkmark)
                rows << r;
        return rows;
    };
    EXPECT_EQ(ticked(1), QList<int>({ 0 }));
    f.tap(IndexPath(2, 1));
    EXPECT_EQ(ticked(1), QList<int>({ 2 }));
    f.tap(IndexPath(2, 1));
    EXPECT_EQ(ticked(1), QList<int>({ 2 }));
    EXPECT_FALSE(table.indexPathForSelectedRow().has_value()); // deselected after the tap

    f.tap(IndexPath(0, 3));
    f.tap(IndexPath(2, 3));
    EXPECT_EQ(ticked(3), QList<int>({ 0, 2 }));
    f.tap(IndexPath(0, 3));
    EXPECT_EQ(ticked(3), QList<int>({ 2 }));
    // The ticks survive scrolling away and back.
    table.setFrame(QRectF(0, 0, 768, 200));
    table.scrollToRowAtIndexPath(IndexPath(0, 0), TableView::ScrollPosition::Top, false);
    table.scrollToRowAtIndexPath(IndexPath(2, 3), TableView::ScrollPosition::Bottom, false);
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(2, 3))->accessoryType(), Accessory::Checkmark);

    // The detail button reports its own tap and selects nothing.
    table.setFrame(QRectF(0, 0, 768, 1024));
    table.setContentOffset(QPointF());
    f.form.log.clear();
    TableViewCell* info = table.cellForRowAtIndexPath(IndexPath(1, 0));
    ASSERT_FALSE(info->detailButton()->isHidden());
    const QPointF button = info->detailButton()->frame().center() + info->frame().topLeft();
    scrolltest::click(&table, button);
    EXPECT_EQ(f.form.log, QStringList({ "detail 0.1" }));
    f.tap(IndexPath(1, 0));
    EXPECT_EQ(f.form.log, QStringList({ "detail 0.1", "select 0.1" }));
}

TEST(TableView, ScrollsARowToTheMiddleWithinTheInsets)
{
    Form form;
    Group group;
    for (int i = 0; i < 100; ++i)
        group.rows.push_back({ QString("Row %1").arg(i), "" });
    form.groups = { group };
    Fixture f(std::move(form), QRectF(0, 0, 320, 480), TableView::Style::Plain);
    TableView& table = *f.table;
    table.setContentInset(QMarginsF(0, 64, 0, 44));
    table.scrollToRowAtIndexPath(IndexPath(50, 0), TableView::ScrollPosition::Middle, false);
    const QRectF row = table.rectForRowAtIndexPath(IndexPath(50, 0));
    const double middle = table.contentOffset().y() + 64 + (480 - 64 - 44) / 2.0;
    EXPECT_DOUBLE_EQ(row.center().y(), middle);
    EXPECT_EQ(f.titleAt(50, 0), "Row 50");
    // Near the ends it stops at the range.
    table.scrollToRowAtIndexPath(IndexPath(1, 0), TableView::ScrollPosition::Middle, false);
    EXPECT_EQ(table.contentOffset(), QPointF(0, -64));
    table.scrollToRowAtIndexPath(IndexPath(99, 0), TableView::ScrollPosition::Middle, true);
    EXPECT_EQ(table.contentOffset(), table.maximumContentOffset());
    table.scrollToRowAtIndexPath(IndexPath(20, 0), TableView::ScrollPosition::Top, false);
    EXPECT_EQ(table.contentOffset().y(), 20 * 44 - 64);
    // Selecting without a position leaves the content where it is.
    table.selectRowAtIndexPath(IndexPath(90, 0), true, TableView::ScrollPosition::None);
    EXPECT_EQ(table.contentOffset().y(), 20 * 44 - 64);
}

TEST(TableView, PlainHeadersStayOnTopWhileTheirRowsPassUnder)
{
    Form form;
    for (int s = 0; s < 3; ++s) {
        Group group;
        group.header = QString("Section %1").arg(s);
        for (int i = 0; i < 20; ++i)
            group.rows.push_back({ QString("Row %1").arg(i), "" });
        form.groups.push_back(group);
    }
    Fixture f(std::move(form), QRectF(0, 0, 320, 480), TableView::Style::Plain);
    TableView& table = *f.table;
    EXPECT_EQ(table.rectForHeaderInSection(0).height(), 28);
    table.setContentOffset(QPointF(0, 300));
    View* header = table.headerViewForSection(0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame().top(), 300);
    // In front of the rows under it.
    const QObjectList order = table.subviewContainer()->children();
    EXPECT_GT(order.indexOf(header), order.indexOf(table.cellForRowAtIndexPath(IndexPath(7, 0))));
    // At its section's end the next header pushes it away.
    const double end = table.rectForSection(0).bottom();
    table.setContentOffset(QPointF(0, end - 10));
    EXPECT_EQ(header->frame().top(), end - 28);
    EXPECT_EQ(table.headerViewForSection(1)->frame().top(), end);
}

namespace {

class Numbers : public TableViewDataSource {
public:
    int rows = 0;
    int tableViewNumberOfRowsInSection(TableView*, int) override { return rows; }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView* table, const IndexPath& p) override
    {
        TableViewCell* cell = table->dequeueReusableCellWithIdentifier("Number", p);
        cell->textLabel()->setText(QString::number(p.row()));
        return cell;
    }
};

} // namespace

TEST(TableView, AHundredThousandRowsScrollWithOnlyTheRowsInSightAndOneEachSide)
{
    Animation::setInstant(true);
    Numbers numbers;
    numbers.rows = 100000;
    TableView table(QRectF(0, 0, 320, 480));
    table.registerClassForCellReuseIdentifier<TableViewCell>("Number");
    table.setDataSource(&numbers);
    table.layoutIfNeeded();
    const double end = table.maximumContentOffset().y();
    EXPECT_EQ(end, 100000 * 44.0 - 480);
    int most = 0;
    for (double y = 0; y <= end + 997; y += 997) {
        table.setContentOffset(QPointF(0, std::min(y, end)));
        const int inSight = table.indexPathsForVisibleRows().size();
        int shown = 0;
        for (auto* cell : table.findChildren<TableViewCell*>())
            shown += cell->isHidden() ? 0 : 1;
        ASSERT_LE(shown, inSight + 2);
        most = std::max(most, inSight + 2);
    }
    EXPECT_LE(table.findChildren<TableViewCell*>().size(), most);
    TableViewCell* last = table.cellForRowAtIndexPath(IndexPath(99999, 0));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->textLabel()->text(), "99999");
    EXPECT_THROW(
        table.dequeueReusableCellWithIdentifier("Unknown", IndexPath(0, 0)), platform::Exception);
}

TEST(TableView, ColoursInsetsAndViewsOfTheDelegateAreHonoured)
{
    Form form = sampleForm();
    Fixture f(std::move(form), QRectF(0, 0, 375, 600), TableView::Style::Plain);
    TableView& table = *f.table;
    table.setSeparatorColor(QColor(255, 0, 0));
    table.setSeparatorInset(QMarginsF(40, 0, 0, 0));
    auto* backdrop = new View;
    backdrop->setBackgroundColor(QColor(10, 20, 30));
    table.setBackgroundView(backdrop);
    table.layoutIfNeeded();
    TableViewCell* cell = table.cellForRowAtIndexPath(IndexPath(0, 1));
    const QImage shot = cell->snapshot();
    const double scale = shot.devicePixelRatio();
    const int line = int((cell->frame().height() - 0.5) * scale);
    EXPECT_EQ(shot.pixelColor(int(50 * scale), line), QColor(255, 0, 0));
    EXPECT_NE(shot.pixelColor(int(20 * scale), line), QColor(255, 0, 0));
    // The background view fills the table and stays while the rows scroll.
    table.setContentOffset(QPointF(0, 100));
    EXPECT_EQ(backdrop->frame(), QRectF(0, 0, 375, 600));
    EXPECT_EQ(backdrop->mapTo(&table, QPoint(0, 0)), QPoint(0, 0));
}

namespace {

// Sizes everything itself and gives its own header views.
class Measured : public Numbers, public TableViewDelegate {
public:
    std::vector<double> heights;
    QPointer<View> kept;
    int headersAsked = 0;
    bool freshHeaders = false;
    QStringList log;

    double tableViewHeightForRowAtIndexPath(TableView*, const IndexPath& p) override
    {
        return heights[size_t(p.row())];
    }
    double tableViewHeightForHeaderInSection(TableView*, int) override { return 50; }
    double tableViewHeightForFooterInSection(TableView*, int) override { return 0; }
    View* tableViewViewForHeaderInSection(TableView*, int) override
    {
        ++headersAsked;
        if (freshHeaders || !kept) {
            kept = new View;
            kept->setBackgroundColor(Qt::yellow);
        }
        return kept;
    }
    void tableViewDidSelectRowAtIndexPath(TableView*, const IndexPath& p) override
    {
        log << QString("select %1").arg(p.row());
    }
};

} // namespace

TEST(TableView, HeightsAndHeaderViewsComeFromTheDelegate)
{
    Animation::setInstant(true);
    Measured measured;
    measured.rows = 40;
    measured.heights.assign(40, 60);
    measured.heights[1] = 0; // a row of no height is not made
    measured.heights[2] = 100;
    TableView table(QRectF(0, 0, 320, 400), TableView::Style::Grouped);
    table.registerClassForCellReuseIdentifier<TableViewCell>("Number");
    table.setDataSource(&measured);
    table.setDelegate(&measured);
    table.show();
    table.layoutIfNeeded();
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(0, 0)), QRectF(0, 50, 320, 60));
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(2, 0)), QRectF(0, 110, 320, 100));
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(1, 0)), nullptr);
    EXPECT_EQ(table.contentSize().height(), 50 + 38 * 60 + 100);
    EXPECT_EQ(table.indexPathForRowAtPoint(QPointF(10, 120)), IndexPath(2, 0));
    EXPECT_FALSE(table.indexPathForRowAtPoint(QPointF(10, 20)).has_value()); // the header

    // The delegate's header view is shown at the header's place; given again, it stays.
    View* header = table.headerViewForSection(0);
    ASSERT_EQ(header, measured.kept.data());
    EXPECT_EQ(header->frame(), QRectF(0, 0, 320, 50));
    table.setContentOffset(QPointF(0, 1500));
    EXPECT_EQ(table.headerViewForSection(0), nullptr);
    table.setContentOffset(QPointF(0, 0));
    EXPECT_EQ(table.headerViewForSection(0), header);
    // One given instead replaces it, and the old one goes.
    QPointer<View> old = header;
    measured.freshHeaders = true;
    table.reloadData();
    table.layoutIfNeeded();
    EXPECT_EQ(table.headerViewForSection(0), measured.kept.data());
    EXPECT_NE(measured.kept.data(), old.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());

    // A cell that shows no selection still reports its tap, and its path is known.
    TableViewCell* cell = table.cellForRowAtIndexPath(IndexPath(3, 0));
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    EXPECT_EQ(table.indexPathForCell(cell), IndexPath(3, 0));
    scrolltest::click(&table, cell->frame().center());
    EXPECT_EQ(measured.log, QStringList({ "select 3" }));
    EXPECT_TRUE(cell->isSelected());
    EXPECT_EQ(cell->selectedBackgroundView(), nullptr);
}

TEST(TableView, HeightsPastWhatAScreenShowsAreCutToTheTallestRow)
{
    Animation::setInstant(true);
    Measured measured;
    measured.rows = 4;
    measured.heights = { 1e300, 1.8e6, 60, std::numeric_limits<double>::infinity() };
    TableView table(QRectF(0, 0, 320, 400), TableView::Style::Grouped);
    table.registerClassForCellReuseIdentifier<TableViewCell>("Number");
    table.setDataSource(&measured);
    table.setDelegate(&measured);
    table.show();
    table.layoutIfNeeded();
    const double tallest = TableView::MaximumRowHeight;
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(0, 0)), QRectF(0, 50, 320, tallest));
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(1, 0)), QRectF(0, 50 + tallest, 320, tallest));
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(2, 0)), QRectF(0, 50 + 2 * tallest, 320, 60));
    // A height that is no number is the table's own.
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath(3, 0)).height(), table.rowHeight());
    EXPECT_EQ(table.contentSize().height(), 50 + 2 * tallest + 60 + table.rowHeight());
    TableViewCell* first = table.cellForRowAtIndexPath(IndexPath(0, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->geometry(), QRect(0, 50, 320, int(tallest)));

    table.scrollToRowAtIndexPath(IndexPath(2, 0), TableView::ScrollPosition::Bottom, false);
    table.layoutIfNeeded();
    TableViewCell* third = table.cellForRowAtIndexPath(IndexPath(2, 0));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->frame(), table.rectForRowAtIndexPath(IndexPath(2, 0)));
    EXPECT_EQ(table.indexPathForRowAtPoint(third->frame().center()), IndexPath(2, 0));
}

TEST(TableView, RowsLeaveAndArriveWithTheirAnimationsThroughTheAnimationHelper)
{
    Fixture f(sampleForm(), QRectF(0, 0, 375, 700));
    TableView& table = *f.table;
    Animation::setInstant(false);
    QPointer<TableViewCell> leaving = table.cellForRowAtIndexPath(IndexPath(0, 1));
    TableViewCell* staying = table.cellForRowAtIndexPath(IndexPath(2, 1));
    const QRectF leavingFrame = leaving->frame();
    const QRectF stayingTarget = table.rectForRowAtIndexPath(IndexPath(1, 1));
    f.form.groups[1].rows[0].hidden = true;
    f.form.groups[3].rows.push_back({ "Map", "" });
    table.beginUpdates();
    table.deleteRowsAtIndexPaths({ IndexPath(0, 1) }, TableView::RowAnimation::Left);
    table.insertRowsAtIndexPaths({ IndexPath(3, 3) }, TableView::RowAnimation::Right);
    table.endUpdates();

    // The model is there at once; what shows moves there over the animation.
    TableViewCell* arriving = table.cellForRowAtIndexPath(IndexPath(3, 3));
    ASSERT_NE(arriving, nullptr);
    EXPECT_EQ(arriving->frame(), table.rectForRowAtIndexPath(IndexPath(3, 3)));
    EXPECT_GT(arriving->geometry().left(), 0); // still to the right
    EXPECT_EQ(staying->frame(), stayingTarget);
    EXPECT_TRUE(Animation::isAnimating(staying, "frame"));
    ASSERT_TRUE(leaving);
    EXPECT_FALSE(leaving->isHidden());
    EXPECT_EQ(leaving->frame(), leavingFrame.translated(-leavingFrame.width(), 0));

    ASSERT_TRUE(testsupport::waitUntil([&] { return !leaving || leaving->isHidden(); }));
    EXPECT_EQ(arriving->geometry(), table.rectForRowAtIndexPath(IndexPath(3, 3)).toRect());
    EXPECT_EQ(staying->geometry(), stayingTarget.toRect());
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath(1, 1)), staying);
    EXPECT_EQ(f.titleAt(0, 1), "Created");
    Animation::setInstant(true);
}

namespace {

// The sample form whose sortable section also lets its rows be deleted.
class PruningForm : public Form {
public:
    bool respondsToCommitEditingStyle() const override { return true; }
    TableViewCellEditingStyle tableViewEditingStyleForRowAtIndexPath(
        TableView*, const IndexPath& p) override
    {
        return groups[size_t(p.section())].sortable ? TableViewCellEditingStyle::Delete
                                                    : TableViewCellEditingStyle::None;
    }
    void tableViewCommitEditingStyleForRowAtIndexPath(
        TableView* table, TableViewCellEditingStyle, const IndexPath& p) override
    {
        log << QString("delete %1.%2").arg(p.section()).arg(p.row());
        rowAt(p).hidden = true;
        table->deleteRowsAtIndexPaths({ p }, TableView::RowAnimation::None);
    }
};

void tapControl(TableView& table, Control* control)
{
    const QPointF centre = control->mapTo(&table, control->rect().center());
    scrolltest::click(&table, centre);
}

} // namespace

TEST(TableView, RowsAreDeletedWhileEditingOnlyWhereTheDataSourceCommitsThem)
{
    Fixture plain(sampleForm());
    plain.table->setEditing(true);
    EXPECT_TRUE(plain.table->cellForRowAtIndexPath(IndexPath(0, 1))->deleteControl()->isHidden());

    Form form = sampleForm();
    PruningForm pruning;
    pruning.groups = form.groups;
    Animation::setInstant(true);
    TableView table(QRectF(0, 0, 768, 1024), TableView::Style::Grouped);
    table.setDelegate(&pruning);
    table.setDataSource(&pruning);
    table.show();
    table.layoutIfNeeded();
    TableViewCell* created = table.cellForRowAtIndexPath(IndexPath(1, 1));
    EXPECT_TRUE(created->deleteControl()->isHidden());

    table.setEditing(true);
    EXPECT_TRUE(table.cellForRowAtIndexPath(IndexPath(0, 0))->deleteControl()->isHidden());
    EXPECT_FALSE(created->deleteControl()->isHidden());
    EXPECT_GT(created->contentView()->frame().left(), 0);
    EXPECT_FALSE(created->reorderControlFrame().isEmpty());

    // The control shows the Delete button over the grip, and a second tap hides it again.
    tapControl(table, created->deleteControl());
    EXPECT_TRUE(created->showingDeleteConfirmation());
    EXPECT_FALSE(created->deleteConfirmationButton()->isHidden());
    EXPECT_TRUE(created->reorderControlFrame().isEmpty());
    tapControl(table, created->deleteControl());
    EXPECT_FALSE(created->showingDeleteConfirmation());
    EXPECT_TRUE(pruning.log.isEmpty());

    tapControl(table, created->deleteControl());
    tapControl(table, created->deleteConfirmationButton());
    EXPECT_EQ(pruning.log, QStringList({ "delete 1.1" }));
    EXPECT_EQ(table.numberOfRowsInSection(1), 2);
    TableViewCell* size = table.cellForRowAtIndexPath(IndexPath(1, 1));
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->textLabel()->text(), "Size");
    EXPECT_FALSE(size->showingDeleteConfirmation());

    // Leaving editing takes the controls and any Delete button away.
    tapControl(table, size->deleteControl());
    table.setEditing(false);
    EXPECT_TRUE(size->deleteControl()->isHidden());
    EXPECT_FALSE(size->showingDeleteConfirmation());
    EXPECT_EQ(size->contentView()->frame().left(), 0);
}
