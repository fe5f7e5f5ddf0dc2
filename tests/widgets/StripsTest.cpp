#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/Dispatch.h"
#include "platform/ui/Label.h"
#include "utilities/shell/DeviceHelper.h"
#include "widgets/MenuBarView.h"
#include "widgets/MenuItem.h"
#include "widgets/MultiTabProtocol.h"
#include "widgets/MultiTabView.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/TabPage.h"
#include "widgets/VerticalMenuViewController.h"

#include <QPointer>

#include <memory>

using namespace platform::ui;

namespace {

// A screen hosting a tab strip, noting what the strip tells it.
class Host : public ViewController, public MultiTabProtocol {
public:
    QStringList calls;
    MultiTabView* strip = nullptr;
    void newTab() override { calls << "new"; }
    void deleteTab(TabPage* tab) override
    {
        calls << "delete " + tab->title();
        strip->deletePage(tab->index());
    }
    void tabSelected(TabPage* tab) override { calls << "selected " + tab->title(); }
    void tabClosed(TabPage* tab) override { calls << "closed " + tab->title(); }
};

struct Strips : ScreenFixture {
    Host* host = nullptr;

    void makeHost(const QSizeF& size = QSizeF(320, 480))
    {
        host = new Host();
        host->view()->setFrame(QRectF(QPointF(0, 0), size));
        screen->view()->addSubview(host->view());
        host->setParent(screen);
    }

    ViewController* page(const QString& name)
    {
        auto* controller = new ViewController();
        controller->setObjectName(name);
        return controller;
    }

    // Lets the selections a strip makes a moment after a tab is added or deleted happen (or
    // find their tab gone): a timer started now and due after theirs fires after them. A
    // fixed wait could end, on a busy machine, before their timers had a turn.
    static void settle()
    {
        auto passed = std::make_shared<bool>(false);
        platform::dispatch::afterMain(2 * MultiTabView::AddDelayMs, [passed] { *passed = true; });
        ASSERT_TRUE(testsupport::waitUntil([&] { return *passed; }, 20000));
        testsupport::processEvents();
    }
};

} // namespace

TEST_F(Strips, MenuEntriesAreSizedByTheirTextAndImage)
{
    QList<MenuItem*> items = { new MenuItem("Text only"), new MenuItem("With icon", "Save") };
    auto* bar = new MenuBarView(screen, items);
    EXPECT_EQ(bar->frame().height(), 30);
    EXPECT_EQ(bar->frame().width(), screen->view()->bounds().width());
    const QFont font = Theme::current()->RowLabelHeaderFont();
    EXPECT_EQ(bar->collectionViewSizeForItemAtIndexPath(bar, nullptr, IndexPath(0, 0)),
        QSizeF(Font::measure("Text only", font).width(), 30));
    EXPECT_EQ(bar->collectionViewSizeForItemAtIndexPath(bar, nullptr, IndexPath(1, 0)),
        QSizeF(Font::measure("With icon", font).width() + 30, 30));
    bar->layoutIfNeeded();
    CollectionViewCell* cell = bar->cellForItemAtIndexPath(IndexPath(0, 0));
    ASSERT_TRUE(cell);
    QList<Label*> labels = cell->findChildren<Label*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->frame().x(), 0);
    EXPECT_EQ(labels[0]->text(), "Text only");
    EXPECT_EQ(items[0]->view(), cell);
}

TEST_F(Strips, AnEntryWithChildrenAndAHandlerOpensThePopupAndRunsTheHandler)
{
    int handled = 0;
    auto* parent = new MenuItem("File", "", [&](MenuItem*) { ++handled; });
    parent->addchildWithText("Open");
    parent->addchildWithText("Close");
    auto* bar = new MenuBarView(screen, { parent, new MenuItem("Edit") });
    bar->selectItem(0);
    EXPECT_EQ(handled, 1);
    QPointer<SimplePopupViewController> popup = bar->popup();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->isPresented());
    auto* menu = qobject_cast<VerticalMenuViewController*>(popup->contentViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->menuItems().size(), 2);
    EXPECT_EQ(menu->menuBar(), bar);
    // Below the entry.
    EXPECT_GE(popup->containerView()->frame().top(), bar->frame().bottom() - 1);
    save("menubar-popup-tablet.png");
    bar->dismissPopup();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !bar->popup(); }));
}

TEST_F(Strips, TabsAreAtLeastAHundredWideAndTheFirstOfAStickyStripHasNoCloseButton)
{
    makeHost();
    auto* strip = new MultiTabView(host);
    host->strip = strip;
    EXPECT_TRUE(strip->isHidden());
    const QPointF safe = DeviceHelper::safeArea();
    EXPECT_EQ(strip->frame(), QRectF(safe.x(), safe.y(), 290 - safe.x(), 30));
    ASSERT_TRUE(strip->addImageButton());
    EXPECT_EQ(strip->addImageButton()->frame(), QRectF(290 - safe.x(), safe.y(), 30, 30));
    for (int i = 0; i < 5; ++i)
        strip->addPage(page(QString("p%1").arg(i)), QString("Tab %1").arg(i));
    settle();
    EXPECT_FALSE(strip->isHidden());
    EXPECT_EQ(strip->tabSize(), QSizeF(100, 30));
    strip->layoutIfNeeded();
    CollectionViewCell* first = strip->cellForItemAtIndexPath(IndexPath(0, 0));
    CollectionViewCell* second = strip->cellForItemAtIndexPath(IndexPath(1, 0));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->viewWithTag(MultiTabView::CloseButtonTag)->frame().isEmpty());
    EXPECT_EQ(second->viewWithTag(MultiTabView::CloseButtonTag)->frame(), QRectF(0, 0, 15, 15));

    // The sticky strip keeps its last tab.
    for (int i = 0; i < 6; ++i)
        strip->deletePage(0);
    settle();
    EXPECT_EQ(strip->tabPages().size(), 1);

    strip->addImageButton()->tap();
    EXPECT_TRUE(host->calls.contains("new"));
}

TEST_F(Strips, ThreeTabsAddedAtOnceEndWithTheLastShown)
{
    makeHost();
    auto* strip = new MultiTabView(host, QPointF(0, 0), false, false);
    host->strip = strip;
    EXPECT_EQ(strip->frame().width(), 320);
    strip->addPage(page("a"), "A");
    strip->addPage(page("b"), "B");
    strip->addPage(page("c"));
    settle();
    ASSERT_TRUE(strip->tabPage());
    EXPECT_EQ(strip->tabPage()->title(), "New");
    EXPECT_EQ(strip->currentIndex(), 2);
    EXPECT_EQ(strip->currentPage()->objectName(), "c");
    const double top = DeviceHelper::safeArea().y() + 30;
    EXPECT_EQ(strip->currentPage()->view()->frame(), QRectF(0, top, 320, 480 - top));
    EXPECT_EQ(host->calls.last(), "selected New");
}

TEST_F(Strips, ClosingTheFirstOfFiveTabsTwiceClosesTheRightPages)
{
    makeHost();
    auto* strip = new MultiTabView(host, QPointF(0, 0), true, false);
    host->strip = strip;
    for (int i = 0; i < 5; ++i)
        strip->addPage(page(QString("p%1").arg(i)), QString("T%1").arg(i));
    settle();
    strip->selectTab(IndexPath(0, 0));
    host->calls.clear();
    strip->deletePage(0);
    settle();
    EXPECT_EQ(strip->tabPage()->title(), "T1");
    strip->deletePage(0);
    settle();
    EXPECT_EQ(host->calls, QStringList({ "closed T0", "selected T1", "closed T1", "selected T2" }));
    QStringList left;
    for (TabPage* tab : strip->tabPages())
        left << QString("%1:%2").arg(tab->index()).arg(tab->title());
    EXPECT_EQ(left, QStringList({ "0:T2", "1:T3", "2:T4" }));
    // A close button hands its own tab over.
    strip->layoutIfNeeded();
    auto* close = qobject_cast<Button*>(
        strip->cellForItemAtIndexPath(IndexPath(1, 0))->viewWithTag(MultiTabView::CloseButtonTag));
    ASSERT_TRUE(close);
    close->tap();
    settle();
    EXPECT_TRUE(host->calls.contains("delete T3"));
    EXPECT_EQ(strip->tabPages().size(), 2);
}

TEST_F(Strips, AStaleCloseButtonOfATabClosedOrDeletedDoesNothing)
{
    makeHost();
    auto* strip = new MultiTabView(host, QPointF(0, 0), false, false);
    host->strip = strip;
    for (const char* title : { "A", "B", "C", "D" })
        strip->addPage(page(title), title);
    settle();
    strip->layoutIfNeeded();
    auto closeOf = [strip](int row) {
        return qobject_cast<Button*>(strip->cellForItemAtIndexPath(IndexPath(row, 0))
                                         ->viewWithTag(MultiTabView::CloseButtonTag));
    };
    QPointer<Button> closeA = closeOf(0);
    QPointer<Button> closeD = closeOf(3);
    ASSERT_TRUE(closeA && closeD);

    // A tab the host deletes itself, and one closed, before the strip fills its cells again.
    delete strip->tabPages().last();
    strip->deletePage(0);
    host->calls.clear();
    closeD->tap();
    closeA->tap();
    EXPECT_TRUE(host->calls.isEmpty()) << host->calls.join(", ").toStdString();
    QStringList left;
    for (TabPage* tab : strip->tabPages())
        left << tab->title();
    EXPECT_EQ(left, QStringList({ "B", "C" }));
    settle();
}

TEST_F(Strips, IndexesOutsideTheListAndLateSelectionsDoNothing)
{
    makeHost();
    auto* strip = new MultiTabView(host, QPointF(0, 0), false, false);
    host->strip = strip;
    strip->addPage(page("a"), "A");
    settle();
    host->calls.clear();
    strip->loadPage(5);
    strip->loadPage(-1);
    strip->deletePage(3);
    EXPECT_TRUE(host->calls.isEmpty());
    EXPECT_EQ(strip->tabPages().size(), 1);

    // A selection due after the strip has gone does nothing.
    strip->addPage(page("b"), "B");
    delete strip;
    host->strip = nullptr;
    settle();
    EXPECT_TRUE(host->calls.isEmpty());
}

TEST_F(Strips, RemovingTheShownFirstTabSelectsTheNewFirst)
{
    makeHost();
    auto* strip = new MultiTabView(host, QPointF(0, 0), false, false);
    host->strip = strip;
    strip->addPage(page("a"), "A");
    strip->addPage(page("b"), "B");
    settle();
    strip->selectTab(IndexPath(0, 0));
    strip->deletePage(0);
    settle();
    EXPECT_EQ(strip->tabPage()->title(), "B");
    EXPECT_EQ(strip->tabPage()->index(), 0);
    strip->deletePage(0);
    settle();
    EXPECT_TRUE(strip->tabPages().isEmpty());
    EXPECT_TRUE(strip->isHidden());
    EXPECT_EQ(strip->currentPage(), nullptr);
}
