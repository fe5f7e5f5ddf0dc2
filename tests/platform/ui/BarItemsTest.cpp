#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarPainting.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Toolbar.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include <memory>

using namespace platform::ui;

namespace {

BarButtonItem* fixedSpace(double width, QObject* parent)
{
    auto* space = new BarButtonItem(BarButtonItem::SystemItem::FixedSpace, {}, parent);
    space->setWidth(width);
    return space;
}

BarButtonItem* flexibleSpace(QObject* parent)
{
    return new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace, {}, parent);
}

// An item whose view is a 30-point square button.
BarButtonItem* square(int tag, QObject* parent)
{
    auto* view = new Button(QRectF(0, 0, 30, 30));
    view->setImage(Image::withColor(Qt::black, QSizeF(30, 30)));
    auto* item = new BarButtonItem(view, parent);
    item->setTag(tag);
    view->setTag(tag);
    return item;
}

struct BarItems : ::testing::Test {
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    void SetUp() override { Animation::setInstant(true); }
};

} // namespace

TEST_F(BarItems, AFixedSpaceKeepsItsWidthBetweenItemsOnTheToolbar)
{
    Toolbar bar;
    bar.setFrame(QRectF(0, 0, 600, 44));
    BarButtonItem* a = square(1, owner.get());
    BarButtonItem* b = square(2, owner.get());
    bar.setItems({ a, fixedSpace(25, owner.get()), b, flexibleSpace(owner.get()) });
    const double between = b->view()->frame().x() - a->view()->frame().right();
    EXPECT_DOUBLE_EQ(between, 25 + 2 * kBarItemGap);
    EXPECT_DOUBLE_EQ(a->view()->frame().x(), kBarItemMargin);
    EXPECT_DOUBLE_EQ(a->view()->frame().width(), 30);
    EXPECT_DOUBLE_EQ(a->view()->frame().y(), 7); // centred in the bar
}

TEST_F(BarItems, SpacesOnTheNavigationBarMakeRoomAndNoViews)
{
    NavigationBar bar;
    bar.setFrame(QRectF(0, 0, 600, 44));
    NavigationItem item;
    item.setTitle("Tasks");
    BarButtonItem* a = square(1, owner.get());
    BarButtonItem* b = square(2, owner.get());
    item.setRightBarButtonItems({ a, fixedSpace(25, owner.get()), b, flexibleSpace(owner.get()) });
    bar.showItem(&item, {}, {});
    const auto views = bar.rightItemViews();
    ASSERT_EQ(views.size(), 2);
    EXPECT_EQ(views.at(0), a->view());
    EXPECT_DOUBLE_EQ(a->view()->frame().right(), 600 - kBarItemMargin);
    EXPECT_DOUBLE_EQ(a->view()->frame().x() - b->view()->frame().right(), 25 + 2 * kBarItemGap);
    EXPECT_EQ(bar.findChildren<Button*>().size(), 3); // the two items and the back button
    EXPECT_GE(bar.titleLabel()->frame().width(), 80);
}

TEST_F(BarItems, AnItemsViewExistsOnceShownAndCarriesTheItemsTag)
{
    bool tapped = false;
    auto* item = new BarButtonItem(
        "Sort", BarButtonItem::Style::Plain, [&tapped](BarButtonItem*) { tapped = true; },
        owner.get());
    item->setTag(36);
    EXPECT_EQ(item->view(), nullptr);
    Toolbar bar;
    bar.setFrame(QRectF(0, 0, 320, 44));
    bar.setItems({ item });
    ASSERT_NE(item->view(), nullptr);
    EXPECT_EQ(item->view()->tag(), 36);
    EXPECT_EQ(bar.viewWithTag(36), item->view());
    item->setTag(37);
    EXPECT_EQ(bar.viewWithTag(37), item->view());
    static_cast<Control*>(item->view())->tap();
    EXPECT_TRUE(tapped);

    // Taken off the bar, the view goes with it.
    QPointer<View> shown = item->view();
    bar.setItems({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(item->view(), nullptr);
}

TEST_F(BarItems, TheSystemDoneItemIsABoldDone)
{
    int taps = 0;
    auto* done = new BarButtonItem(
        BarButtonItem::SystemItem::Done, [&taps](BarButtonItem*) { ++taps; }, owner.get());
    EXPECT_EQ(done->title(), "Done");
    EXPECT_EQ(done->style(), BarButtonItem::Style::Done);
    NavigationBar bar;
    bar.setFrame(QRectF(0, 0, 400, 44));
    NavigationItem item;
    item.setRightBarButtonItem(done);
    bar.showItem(&item, {}, {});
    auto* button = qobject_cast<Button*>(done->view());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->currentTitle(), "Done");
    EXPECT_EQ(button->titleFont().weight(), QFont::DemiBold);
    EXPECT_GT(button->titleFont().pixelSize() > 0 ? button->titleFont().pixelSize()
                                                  : button->titleFont().pointSizeF(),
        10);
    button->tap();
    EXPECT_EQ(taps, 1);
}

TEST_F(BarItems, ACrowdedBarNarrowsSpacingThenItemsAndKeepsEveryItemOnIt)
{
    Toolbar bar;
    bar.setFrame(QRectF(0, 0, 375, 44));
    QList<BarButtonItem*> items;
    for (int i = 0; i < 20; ++i) {
        if (i > 0)
            items << fixedSpace(10, owner.get());
        items << square(i + 1, owner.get());
    }
    items << flexibleSpace(owner.get());
    bar.setItems(items);
    double previous = 0;
    double width = -1;
    for (BarButtonItem* item : items) {
        if (item->isSpace())
            continue;
        const QRectF frame = item->view()->frame();
        EXPECT_GE(frame.x(), previous);
        EXPECT_LE(frame.right(), 375 - kBarItemMargin + 1e-6);
        if (width < 0)
            width = frame.width();
        EXPECT_NEAR(frame.width(), width, 1e-6); // all narrowed alike
        previous = frame.right();
    }
    EXPECT_LT(width, 30);
    EXPECT_NEAR(previous, 375 - kBarItemMargin, 1e-6);

    // With room to spare nothing narrows.
    QList<BarSlot> row = { { BarSlot::Kind::Item, 30 }, { BarSlot::Kind::FixedSpace, 10 },
        { BarSlot::Kind::Item, 30 }, { BarSlot::Kind::FlexibleSpace, 0 } };
    EXPECT_DOUBLE_EQ(fitBarSlots(row, 200), kBarItemGap);
    EXPECT_DOUBLE_EQ(row.at(1).width, 10);
    EXPECT_DOUBLE_EQ(row.at(3).width, 200 - 70 - 3 * kBarItemGap);
    // Just too tight: only the spacing gives way.
    EXPECT_LT(fitBarSlots(row, 70), kBarItemGap);
    EXPECT_DOUBLE_EQ(row.at(0).width, 30);
    EXPECT_LT(row.at(1).width, 10);
}

// A title view keeps the size it was given where the bar has room for it; where it has
// not, the back button's title gives way first, and the view is narrowed only after that.
TEST_F(BarItems, ATitleViewKeepsItsWidthAndTheBackTitleGivesWayToIt)
{
    NavigationBar bar;
    bar.setFrame(QRectF(0, 0, 700, 44));
    NavigationItem item;
    BarButtonItem* save = square(31, owner.get());
    item.setRightBarButtonItems({ save, flexibleSpace(owner.get()) });
    auto* field = new View(QRectF(0, 0, 280, 28));
    item.setTitleView(field);
    bar.showItem(&item, "Options", [] {});
    const auto backTitle = [&] { return bar.backButton()->titleForState(ControlStateNormal); };
    const auto clear = [&] {
        const QRectF shown = field->frame();
        return shown.x() >= bar.backButton()->frame().right()
            && shown.right() <= save->view()->frame().x();
    };

    // Room enough: its own width, centred on the bar, beside the whole back title.
    EXPECT_EQ(backTitle(), "\u2039 Options");
    EXPECT_DOUBLE_EQ(field->frame().width(), 280);
    EXPECT_DOUBLE_EQ(field->frame().center().x(), 350);
    EXPECT_DOUBLE_EQ(field->frame().height(), 28);
    EXPECT_TRUE(clear());

    // A phone's width: the back button shows its chevron alone, the view keeps its width.
    bar.setFrame(QRectF(0, 0, 375, 44));
    EXPECT_EQ(backTitle(), "\u2039");
    EXPECT_DOUBLE_EQ(field->frame().width(), 280);
    EXPECT_TRUE(clear());

    // Narrower still: the view takes all the room there is between the two.
    bar.setFrame(QRectF(0, 0, 320, 44));
    EXPECT_EQ(backTitle(), "\u2039");
    EXPECT_LT(field->frame().width(), 280);
    EXPECT_GT(field->frame().width(), 220);
    EXPECT_TRUE(clear());

    // Wide again, and shown again after it was narrowed: the whole title and width are back.
    bar.setFrame(QRectF(0, 0, 700, 44));
    bar.showItem(&item, "Options", [] {});
    EXPECT_EQ(backTitle(), "\u2039 Options");
    EXPECT_DOUBLE_EQ(field->frame().width(), 280);

    // A narrow view leaves the back title alone, even on a small bar.
    field->setFrame(QRectF(0, 0, 120, 28));
    item.setTitleView(field);
    bar.setFrame(QRectF(0, 0, 320, 44));
    EXPECT_EQ(backTitle(), "\u2039 Options");
    EXPECT_DOUBLE_EQ(field->frame().width(), 120);
    EXPECT_TRUE(clear());
}
