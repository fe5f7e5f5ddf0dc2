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
