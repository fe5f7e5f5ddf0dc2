#include "GridScreenFixture.h"

#include "grid/GenericOrderableRowViewController.h"
#include "grid/GenericRowViewController.h"
#include "grid/ListSelectRowViewController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "widgets/ReorderableCollectionViewFlowLayout.h"

#include <QSignalSpy>

using gridtest::GridScreens;
using gridtest::ItemsController;
using platform::ui::AlertView;
using platform::ui::SwipeGestureRecognizer;
using testsupport::GestureSynthesizer;

namespace {

GenericRowViewController* tiles(MainCollectionViewController* screen)
{
    return qobject_cast<GenericRowViewController*>(screen->rowViewContoller());
}

// Frames in points; the views keep them to within the pixel they are drawn on.
void expectFrame(platform::ui::View* view, const QRectF& expected)
{
    ASSERT_NE(view, nullptr);
    const QRectF frame = view->frame();
    EXPECT_NEAR(frame.x(), expected.x(), 0.5) << frame.x();
    EXPECT_NEAR(frame.y(), expected.y(), 0.5) << frame.y();
    EXPECT_NEAR(frame.width(), expected.width(), 0.5) << frame.width();
    EXPECT_NEAR(frame.height(), expected.height(), 0.5) << frame.height();
}

// The navigation stack (and so the screen) at that width on a tablet.
void resize(platform::ui::NavigationController* navigation, double width)
{
    navigation->view()->setFrame(QRectF(0, 0, width, 768));
    GridScreens::settle();
}

} // namespace

TEST_F(GridScreens, TilesShareTheTabletWidthAtLeast300PointsEach)
{
    auto* screen = open(itemsRecord(), "tablet");
    struct Case {
        double width;
        unsigned columns;
        float tile;
    };
    const QList<Case> cases { { 768, 2, 361.5f }, { 1024, 3, 321.33334f }, { 950, 2, 452.5f },
        { 600, 1, 570.0f }, { 1366, 4, 322.75f }, { 280, 1, 250.0f } };
    for (const Case& c : cases) {
        resize(navigation.get(), c.width);
        ASSERT_DOUBLE_EQ(screen->gridviewContentSize().width(), c.width);
        EXPECT_EQ(tiles(screen)->dynamicColumns(), c.columns) << c.width;
        const QSizeF size = tiles(screen)->getRowSize();
        EXPECT_EQ(size.width(), double(c.tile)) << c.width;
        EXPECT_EQ(size.height(), 50.0);
        // The cells have that size, as many on a line as the row view says.
        EXPECT_EQ(cell(screen, 0)->frame().width(), double(c.tile)) << c.width;
        if (c.columns > 1) {
            EXPECT_EQ(
                cell(screen, int(c.columns) - 1)->frame().top(), cell(screen, 0)->frame().top());
        }
        EXPECT_GT(cell(screen, int(c.columns))->frame().top(), cell(screen, 0)->frame().top());
    }
}

TEST_F(GridScreens, TheColumnsMenusChoiceWinsWhateverTheWidth)
{
    auto* screen = open(itemsRecord(), "tablet");
    resize(navigation.get(), 768);
    items(screen)->columnsHandler(4);
    settle();
    EXPECT_EQ(tiles(screen)->ipadcolumns(), 4u);
    EXPECT_EQ(tiles(screen)->getRowSize().width(), double((768.0f - 75.0f) / 4.0f));
    EXPECT_EQ(cell(screen, 3)->frame().top(), cell(screen, 0)->frame().top());
    items(screen)->columnsHandler(0);
    settle();
    EXPECT_EQ(tiles(screen)->ipadcolumns(), 2u);
}

TEST_F(GridScreens, OnAPhoneATileSpansTheWidthLessTwentyPoints)
{
    auto* screen = open(itemsRecord(), "phone");
    const double width = screen->gridviewContentSize().width();
    EXPECT_EQ(tiles(screen)->getRowSize(), QSizeF(width - 20, 50));
    EXPECT_EQ(tiles(screen)->getSpacing(), 10);
    EXPECT_DOUBLE_EQ(cell(screen, 0)->frame().left(), 10);
}

TEST_F(GridScreens, TheTitleStartsAfterTheIconAndLeavesRoomForTheDisclosure)
{
    auto* screen = open(itemsRecord(), "tablet");
    const double w = cell(screen, 0)->frame().width();
    ASSERT_NE(tileView(screen, 0, 4000), nullptr);
    expectFrame(tileView(screen, 0, 4000), QRectF(0, 0, 50, 50));
    expectFrame(tileView(screen, 0, 3000), QRectF(51, 0, w - 51 - 50, 50));
    expectFrame(tileView(screen, 0, 2000), QRectF(w - 50, 0, 50, 50));

    // Without an image and without a disclosure the title spans the tile.
    auto record = itemsRecord();
    record->disclosure = false;
    ItemsController::seed = { "Plain" };
    ItemsController::seedImage.clear();
    auto* plain = open(record, "tablet");
    EXPECT_EQ(tileView(plain, 0, 4000), nullptr);
    EXPECT_EQ(tileView(plain, 0, 2000), nullptr);
    expectFrame(tileView(plain, 0, 3000), QRectF(0, 0, cell(plain, 0)->frame().width(), 50));
}

TEST_F(GridScreens, ATilesIconTitleAndArrowAreDrawnInItsOnePaint)
{
    auto* screen = open(itemsRecord(), "tablet");
    platform::ui::View* content = cell(screen, 0)->contentView();
    platform::ui::View* icon = tileView(screen, 0, 4000);
    auto* title = qobject_cast<platform::ui::Label*>(tileView(screen, 0, 3000));
    platform::ui::View* arrow = tileView(screen, 0, 2000);
    ASSERT_TRUE(icon && title && arrow);
    // Icon and title are no widgets of their own; the arrow stays one for its tap.
    EXPECT_FALSE(icon->isVisibleTo(content));
    EXPECT_FALSE(title->isVisibleTo(content));
    EXPECT_TRUE(arrow->isVisibleTo(content));
    EXPECT_EQ(content->childAt(arrow->geometry().center()), arrow);
    EXPECT_TRUE(
        icon->isDrawnBySuperview() && title->isDrawnBySuperview() && arrow->isDrawnBySuperview());

    // The tile's paint shows them: ink in the title's place, the icon's and arrow's pixels
    // differ from the plain tile, and a new title is painted.
    const QImage before = content->grab().toImage();
    const qreal ratio = before.devicePixelRatio();
    auto differs = [&](const QImage& shot, const QRectF& area) {
        const QColor back = shot.pixelColor(int((area.left() + 1) * ratio), 0);
        for (int y = int(area.top() * ratio); y < int(area.bottom() * ratio); ++y)
            for (int x = int(area.left() * ratio); x < int(area.right() * ratio); ++x)
                if (shot.pixelColor(x, y) != back)
                    return true;
        return false;
    };
    EXPECT_TRUE(differs(before, title->frame()));
    EXPECT_TRUE(differs(before, icon->frame()));
    EXPECT_TRUE(differs(before, arrow->frame()));
    items(screen)->items["Item 0"]->Menu = "Renamed";
    screen->refreshGrid();
    settle();
    auto* renamed = qobject_cast<platform::ui::Label*>(tileView(screen, 0, 3000));
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->text(), "Renamed");
    EXPECT_NE(cell(screen, 0)->contentView()->grab().toImage(), before);
}

TEST_F(GridScreens, ScrollingAsksForTheRowsAScreenAhead)
{
    for (int i = 12; i < 300; ++i)
        ItemsController::seed << QStringLiteral("Item %1").arg(i);
    auto* screen = open(itemsRecord(), "tablet");
    auto* view = screen->collectionView();
    ItemsController* controller = items(screen);
    auto visible = [&] {
        qint64 first = -1;
        qint64 last = -1;
        for (const auto& path : view->indexPathsForVisibleItems()) {
            first = first < 0 ? path.item() : std::min<qint64>(first, path.item());
            last = std::max<qint64>(last, path.item());
        }
        return qMakePair(first, last);
    };
    ASSERT_FALSE(controller->prefetched.isEmpty());
    // Once per frame, for the rows after the last one shown.
    auto shown = visible();
    EXPECT_EQ(controller->prefetched.last().first, shown.second + 1);
    EXPECT_GE(controller->prefetched.last().second, shown.second - shown.first + 1);

    const int asked = int(controller->prefetched.size());
    view->setContentOffset(QPointF(0, view->bounds().height()));
    view->layoutIfNeeded();
    EXPECT_EQ(controller->prefetched.size(), asked); // not inside the frame
    settle();
    ASSERT_GT(controller->prefetched.size(), asked);
    shown = visible();
    EXPECT_EQ(controller->prefetched.last().first, shown.second + 1);

    // Going back up, the rows before the first one shown.
    view->setContentOffset(QPointF(0, view->bounds().height() / 2));
    view->layoutIfNeeded();
    settle();
    shown = visible();
    const auto up = controller->prefetched.last();
    EXPECT_EQ(up.first + up.second, shown.first);
    EXPECT_GE(up.first, 0);
}

TEST_F(GridScreens, EditModeShowsTheTileButtonsTheControllerAsksFor)
{
    auto* screen = open(itemsRecord(), "tablet");
    items(screen)->buttons = 1;
    screen->refreshGrid();
    settle();
    GestureSynthesizer::swipe(
        cell(screen, 0)->contentView(), SwipeGestureRecognizer::Left, QPointF(200, 25));
    settle();
    const double w = cell(screen, 0)->frame().width();
    ASSERT_NE(tileView(screen, 0, 2002), nullptr);
    expectFrame(tileView(screen, 0, 2002), QRectF(w - 30, 12.5, 25, 25));
    EXPECT_EQ(tileView(screen, 0, 2001), nullptr);

    items(screen)->buttons = 3;
    screen->refreshGrid();
    settle();
    ASSERT_NE(tileView(screen, 0, 2001), nullptr);
    expectFrame(tileView(screen, 0, 2001), QRectF(w - 65, 12.5, 25, 25));

    // The delete button selects its row and asks to remove it.
    GestureSynthesizer::tap(tileView(screen, 4, 2002));
    settle();
    EXPECT_EQ(screen->selectedRow(), 4);
    EXPECT_EQ(items(screen)->lastClickedButton(), 3u);
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "Delete Record?");
    AlertView::visibleAlerts().first()->clickButtonAtIndex(0);
    settle();

    // Leaving edit mode hides the buttons and shows the arrows again.
    GestureSynthesizer::swipe(
        cell(screen, 0)->contentView(), SwipeGestureRecognizer::Right, QPointF(100, 25));
    settle();
    EXPECT_TRUE(tileView(screen, 0, 2002)->isHidden());
    EXPECT_TRUE(tileView(screen, 0, 2001)->isHidden());
    EXPECT_FALSE(tileView(screen, 0, 2000)->isHidden());
}

TEST_F(GridScreens, AReusedTileSetsOnlyWhatDiffers)
{
    ItemsController::seed = { "Only" };
    auto* screen = open(itemsRecord(), "tablet");
    auto* title = qobject_cast<platform::ui::Label*>(tileView(screen, 0, 3000));
    platform::ui::View* arrow = tileView(screen, 0, 2000);
    ASSERT_NE(title, nullptr);
    QSignalSpy texts(title, &platform::ui::Label::textChanged);
    QSignalSpy frames(arrow, &platform::ui::View::frameChanged);
    screen->refreshGrid();
    settle();
    // The one tile is the same cell again: nothing was set anew.
    ASSERT_EQ(tileView(screen, 0, 3000), title);
    EXPECT_EQ(texts.count(), 0);
    EXPECT_EQ(frames.count(), 0);
    // The same views, found again by tag, show a changed text.
    items(screen)->items["Only"]->Menu = "Renamed";
    screen->refreshGrid();
    settle();
    EXPECT_EQ(title->text(), "Renamed");
    EXPECT_EQ(texts.count(), 1);
    EXPECT_EQ(frames.count(), 0);
}

TEST_F(GridScreens, APageSizeBelowOneMeansAllRows)
{
    GenericRowViewController tilesView;
    delegate.currentPreferences()->setTiles(0);
    EXPECT_EQ(tilesView.pageSize(), QVariant(-1));
    delegate.currentPreferences()->setTiles(25);
    EXPECT_EQ(tilesView.pageSize().toInt(), 25);
    ListSelectRowViewController list;
    EXPECT_EQ(list.pageSize(), QVariant(-1));
}

TEST_F(GridScreens, TheDisclosureSelectsItsRowAndOpensTheChild)
{
    records->makers["SCREEN_CHILD"] = [] { return itemsRecord("SCREEN_CHILD"); };
    auto* screen = open(itemsRecord(), "tablet");
    GestureSynthesizer::tap(tileView(screen, 2, 2000));
    settle();
    EXPECT_EQ(screen->selectedRow(), 2);
    auto* child = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child, screen);
    EXPECT_EQ(child->screen()->id, "SCREEN_CHILD");
    EXPECT_EQ(child->parentLink()->data, items(screen)->getRowData(2));
}

TEST_F(GridScreens, ADragFromFiveToTwoStoresTheOrdersOfEveryRow)
{
    auto record = itemsRecord();
    record->rowView = "GenericOrderableRowViewController";
    auto* screen = open(record, "tablet");
    resize(navigation.get(), 1024);
    ASSERT_NE(qobject_cast<ReorderableCollectionViewFlowLayout*>(
                  screen->collectionView()->collectionViewLayout()),
        nullptr);
    ItemsController* controller = items(screen);
    controller->storesOrder = true;
    auto* view = screen->collectionView();
    const QPointF from = cell(screen, 5)->frame().center() - view->contentOffset();
    const QPointF to = cell(screen, 2)->frame().center() - view->contentOffset();
    GestureSynthesizer::press(view, from);
    GestureSynthesizer::move(from, 0.6);
    for (int step = 1; step <= 10; ++step) {
        GestureSynthesizer::move(from + (to - from) * step / 10.0);
        settle(5);
    }
    GestureSynthesizer::release();
    settle(100);
    const QStringList expected { "Item 0", "Item 1", "Item 5", "Item 2", "Item 3", "Item 4",
        "Item 6", "Item 7", "Item 8", "Item 9", "Item 10", "Item 11" };
    EXPECT_EQ(controller->names, expected);
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(controller->orders.value(expected[i], -1), i) << expected[i].toStdString();
    EXPECT_GT(controller->reorders, 0);
    EXPECT_EQ(shownTitles(screen), expected);
    EXPECT_EQ(screen->selectedRow(), 2);
}

TEST_F(GridScreens, NoDragStartsWhileASearchShows)
{
    auto record = itemsRecord();
    record->rowView = "GenericOrderableRowViewController";
    auto* screen = open(record, "tablet");
    ItemsController* controller = items(screen);
    controller->storesOrder = true;
    screen->searchBar()->setText("Item 1");
    screen->searchBarTextDidChange(screen->searchBar(), "Item 1");
    settle();
    ASSERT_EQ(shownTitles(screen), (QStringList { "Item 1", "Item 10", "Item 11" }));
    auto* view = screen->collectionView();
    auto* layout = qobject_cast<ReorderableCollectionViewFlowLayout*>(view->collectionViewLayout());
    const QPointF from = cell(screen, 2)->frame().center();
    const QPointF to = cell(screen, 0)->frame().center();
    GestureSynthesizer::press(view, from);
    GestureSynthesizer::move(from, 0.6);
    // Held long enough, nothing is picked up.
    EXPECT_FALSE(layout->selectedItemIndexPath());
    EXPECT_EQ(layout->currentView(), nullptr);
    for (int step = 1; step <= 6; ++step)
        GestureSynthesizer::move(from + (to - from) * step / 6.0);
    GestureSynthesizer::release();
    settle(50);
    EXPECT_EQ(controller->reorders, 0);
    EXPECT_EQ(controller->names, ItemsController::seed);
}

TEST_F(GridScreens, ASelectedTilesIconsStandOutOnTheHighlight)
{
    // How far the pixels in the place of a tile's view get from the highlight, at most.
    const auto farthestFromHighlight = [](MainCollectionViewController* screen, int item, int tag) {
        const QImage shot = cell(screen, item)->contentView()->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QColor highlight = Theme::current()->RowHighLightColor().toQColor();
        const QRectF area = tileView(screen, item, tag)->frame();
        int farthest = 0;
        for (int y = int(area.top() * ratio); y < int(area.bottom() * ratio); ++y)
            for (int x = int(area.left() * ratio); x < int(area.right() * ratio); ++x) {
                const QColor c = shot.pixelColor(x, y);
                farthest = std::max({ farthest, std::abs(c.red() - highlight.red()),
                    std::abs(c.green() - highlight.green()),
                    std::abs(c.blue() - highlight.blue()) });
            }
        return farthest;
    };
    const auto highlighted = [](MainCollectionViewController* screen, int item) {
        auto* icon = qobject_cast<platform::ui::ImageView*>(tileView(screen, item, 4000));
        return icon && icon->isHighlighted();
    };

    // The default blue: icons in the image colour hardly show on the lighter blue of the
    // highlight, so a selected tile shows its icon and arrow in its label colour.
    auto* screen = open(itemsRecord(), "tablet");
    screen->selectRow(0);
    settle();
    EXPECT_GT(farthestFromHighlight(screen, 0, 4000), 150);
    EXPECT_GT(farthestFromHighlight(screen, 0, 2000), 150);
    EXPECT_FALSE(highlighted(screen, 1));
    // Selecting another tile gives the first its own icons back.
    screen->selectRow(1);
    settle();
    EXPECT_TRUE(highlighted(screen, 1));
    EXPECT_FALSE(highlighted(screen, 0));

    // Every tile shows the one selected look of the same icon and arrow, not a copy each.
    for (const int tag : { 4000, 2000 }) {
        auto* first = qobject_cast<platform::ui::ImageView*>(tileView(screen, 0, tag));
        auto* second = qobject_cast<platform::ui::ImageView*>(tileView(screen, 1, tag));
        ASSERT_TRUE(first && second) << tag;
        EXPECT_FALSE(first->highlightedImage().isNull());
        EXPECT_EQ(first->highlightedImage().image().cacheKey(),
            second->highlightedImage().image().cacheKey())
            << tag;
    }

    // An image colour that stands out on the highlight stays as it is.
    Theme::current()->setimageColor(Color::colorWithRed(0, 0, 0));
    auto* dark = open(itemsRecord(), "tablet");
    auto* icon = qobject_cast<platform::ui::ImageView*>(tileView(dark, 0, 4000));
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->highlightedImage().isNull());
}
