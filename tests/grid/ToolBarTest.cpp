#include "grid/ToolBar.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "widgets/ImageButton.h"
#include "widgets/UIImage_Theme.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <gtest/gtest.h>

using platform::ui::BarButtonItem;
using platform::ui::Control;

namespace {

// Every button: number, the action it calls, its tag and its image.
struct Expected {
    int number;
    const char* action;
    int tag;
    const char* image;
};
const QList<Expected> kButtons = {
    { 1, "add", 1, "add" },
    { 2, "edit", 2, "edit" },
    { 3, "remove", 3, "delete" },
    { 4, "refresh", 4, "refresh" },
    { 5, "query", 5, "query" },
    { 6, "next", 6, "next" },
    { 7, "search", 7, "search" },
    { 8, "script", 8, "script" },
    { 9, "mail", 40, "mail" },
    { 10, "dependent", 10, "dependency" },
    { 11, "reference", 11, "reference" },
    { 12, "home", 12, "home" },
    { 13, "size", 13, "size" },
    { 14, "start", 14, "start" },
    { 15, "stop", 15, "stop" },
    { 16, "note", 16, "note" },
    { 17, "history", 17, "history" },
    { 18, "unlock", 18, "unlock" },
    { 19, "undo", 19, "undo" },
    { 20, "checkin", 20, "checkin" },
    { 21, "checkout", 21, "checkout" },
    { 22, "pause", 22, "pause" },
    { 23, "restart", 23, "restart" },
    { 24, "suspend", 24, "suspend" },
    { 25, "help", 25, "help" },
    { 26, "calendar", 26, "calendar" },
    { 27, "detail", 27, "detail" },
    { 28, "settings", 28, "settings" },
    { 30, "addeditdelete", 30, "addeditdelete" },
    { 31, "save", 31, "save" },
    { 32, "open", 32, "open" },
    { 33, "video", 33, "video" },
    { 34, "quickstart", 34, "quickstart" },
    { 35, "expandcollapse", 35, "expandcollapse" },
    { 36, "sort", 36, "sort" },
    { 37, "columns", 37, "columnselect" },
    { 38, "order", 38, "order" },
    { 39, "chart", 39, "chart" },
    { 40, "share", 40, "share" },
    { 41, "filter", 41, "filter" },
    { 42, "apply", 42, "tick" },
    { 43, "sendicloud", 43, "sendicloud" },
    { 44, "database", 44, "databaset" },
};

#define RECORD(name)                                                                               \
    void name(Control* sender) override                                                            \
    {                                                                                              \
        calls << QStringLiteral(#name);                                                            \
        senders << sender;                                                                         \
    }

// A data controller that answers every action.
struct Recorder : ToolBarAction {
    QStringList calls;
    QList<Control*> senders;
    RECORD(add)
    RECORD(edit)
    RECORD(remove)
    RECORD(refresh)
    RECORD(next)
    RECORD(search)
    RECORD(query)
    RECORD(script)
    RECORD(mail)
    RECORD(home)
    RECORD(dependent)
    RECORD(reference)
    RECORD(start)
    RECORD(stop)
    RECORD(history)
    RECORD(note)
    RECORD(unlock)
    RECORD(undo)
    RECORD(checkin)
    RECORD(checkout)
    RECORD(pause)
    RECORD(restart)
    RECORD(suspend)
    RECORD(help)
    RECORD(size)
    RECORD(calendar)
    RECORD(detail)
    RECORD(settings)
    RECORD(addeditdelete)
    RECORD(save)
    RECORD(open)
    RECORD(video)
    RECORD(quickstart)
    RECORD(expandcollapse)
    RECORD(sort)
    RECORD(columns)
    RECORD(order)
    RECORD(chart)
    RECORD(share)
    RECORD(filter)
    RECORD(apply)
    RECORD(sendicloud)
    RECORD(database)
};

// A data controller that knows only how to add.
struct AddOnly : ToolBarAction {
    int adds = 0;
    void add(Control*) override { ++adds; }
};

std::shared_ptr<BitManager> bits(std::initializer_list<quint32> numbers)
{
    return std::make_shared<BitManager>(BitManager::createButtonVector(numbers));
}

std::shared_ptr<BitManager> allBits()
{
    auto vector = bits({});
    for (const Expected& button : kButtons)
        vector->setBit(quint32(button.number));
    return vector;
}

ImageButton* button(BarButtonItem* item)
{
    return qobject_cast<ImageButton*>(item);
}

// What a screen does to anchor a popover: the view of its first toolbar item of the tag.
platform::ui::View* viewForButton(platform::ui::ViewController* screen, int tag)
{
    for (BarButtonItem* item : screen->toolbarItems())
        if (item->tag() == tag)
            return item->view();
    return nullptr;
}

struct ToolBarTest : ::testing::Test {
    KivoAppDelegate delegate;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();

    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
    }
    void TearDown() override
    {
        platform::ui::Application::shared().reset();
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
        platform::ui::Device::current().setSystemVersion("17.0", 1953.1);
    }
    Theme& style() { return *Theme::current(); }

    QList<BarButtonItem*> create(std::shared_ptr<BitManager> vector)
    {
        ToolBar bar(recorder);
        bar.setButtonBits(std::move(vector));
        return bar.createButtons();
    }
};

// A screen on a navigation stack in the window, styled as the application styles it.
struct Screen {
    platform::ui::NavigationController navigation;
    platform::ui::ViewController* controller = new platform::ui::ViewController();

    explicit Screen(const QString& title)
    {
        controller->setTitle(title);
        navigation.setViewControllers({ controller });
        auto& app = platform::ui::Application::shared();
        app.setRootViewController(&navigation);
        app.makeKeyAndVisible();
        Theme* style = Theme::current();
        style->applyStyle(controller);
        const platform::ui::Image pattern(style->BackColor().patternImage(), 2.0);
        controller->view()->setBackgroundPattern(pattern);
    }
    ~Screen() { platform::ui::Application::shared().reset(); }
    QImage shot()
    {
        testsupport::processEvents(30);
        return platform::ui::Application::shared().keyWindow()->snapshot();
    }
};

// Shots one above the other, so a phone's several bars read as one picture.
QImage stacked(const QList<QImage>& shots)
{
    int height = 0;
    for (const QImage& shot : shots)
        height += shot.height() + 8;
    QImage sheet(shots.first().width(), height - 8, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int y = 0;
    for (const QImage& shot : shots) {
        painter.drawImage(0, y, shot);
        y += shot.height() + 8;
    }
    return sheet;
}

} // namespace

TEST_F(ToolBarTest, NoButtonsHideTheBottomBarWhileATopBarStillGetsItsFlexibleSpace)
{
    Screen screen("Tasks");
    ToolBar bottom(recorder);
    bottom.setButtonBits(bits({}));
    screen.navigation.setToolbarHidden(false);
    bottom.ShowToolBar(screen.controller);
    EXPECT_TRUE(screen.navigation.isToolbarHidden());
    EXPECT_TRUE(screen.controller->toolbarItems().isEmpty());

    ToolBar top(recorder);
    top.setButtonBits(bits({}));
    top.showTopBar(screen.controller);
    const auto items = screen.controller->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->systemItem(), BarButtonItem::SystemItem::FlexibleSpace);
    EXPECT_TRUE(screen.navigation.navigationBar()->rightItemViews().isEmpty());
}

TEST_F(ToolBarTest, ButtonsFollowTheBarOrderNotTheOrderOfTheirNumbers)
{
    const auto items = create(bits({ 1, 12 }));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items.at(0)->tag(), 12); // home
    EXPECT_EQ(items.at(2)->tag(), 1); // add
    qDeleteAll(items);

    QList<int> tags;
    const auto every = create(allBits());
    for (BarButtonItem* item : every)
        if (!item->isSpace())
            tags << item->tag();
    EXPECT_EQ(tags.size(), 43);
    EXPECT_EQ(tags.mid(0, 6), QList<int>({ 12, 4, 30, 1, 2, 3 }));
    EXPECT_EQ(tags.mid(32, 3), QList<int>({ 28, 40, 40 })); // settings, mail, share
    EXPECT_EQ(tags.last(), 44);
    qDeleteAll(every);
}

TEST_F(ToolBarTest, ThreeButtonsGiveFiveItemsWithTenPointSpacesBetween)
{
    auto items = create(bits({ 3, 2, 1 }));
    ASSERT_EQ(items.size(), 5);
    for (int i : { 1, 3 }) {
        EXPECT_EQ(items.at(i)->systemItem(), BarButtonItem::SystemItem::FixedSpace);
        EXPECT_DOUBLE_EQ(items.at(i)->width(), 10.0);
    }
    for (int i : { 0, 2, 4 })
        EXPECT_NE(button(items.at(i)), nullptr);
    qDeleteAll(items);

    items = create(bits({ 7 }));
    EXPECT_EQ(items.size(), 1);
    qDeleteAll(items);

    // Systems before 11 space bar items themselves.
    platform::ui::Device::current().setSystemVersion("10.3", 1400);
    items = create(bits({ 3, 2, 1 }));
    EXPECT_EQ(items.size(), 3);
    qDeleteAll(items);
}

TEST_F(ToolBarTest, EveryTapReachesItsActionWithTheButtonAsSender)
{
    for (const Expected& expected : kButtons) {
        recorder->calls.clear();
        recorder->senders.clear();
        const auto items = create(bits({ quint32(expected.number) }));
        ASSERT_EQ(items.size(), 1) << expected.number;
        ImageButton* item = button(items.first());
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->tag(), expected.tag) << expected.number;
        EXPECT_EQ(item->button()->tag(), expected.tag) << expected.number;
        EXPECT_EQ(ToolBar::imageName(expected.number), expected.image);
        EXPECT_FALSE(item->button()->imageForState(platform::ui::ControlStateNormal).isNull());
        EXPECT_EQ(item->button()->imageForState(platform::ui::ControlStateNormal),
            UIImage_Theme::maskImage(expected.image, style().buttonTitleColor()))
            << expected.number;
        item->button()->tap();
        EXPECT_EQ(recorder->calls, QStringList { expected.action }) << expected.number;
        EXPECT_EQ(recorder->senders, QList<Control*> { item->button() });
        qDeleteAll(items);
    }
    EXPECT_TRUE(ToolBar::imageName(29).isEmpty());
}

TEST_F(ToolBarTest, ATapDoesNothingOnceTheDataControllerIsGoneOrWhenItLacksTheAction)
{
    auto addOnly = std::make_shared<AddOnly>();
    ToolBar bar(addOnly);
    bar.setButtonBits(bits({ 1, 2 }));
    const auto items = bar.createButtons();
    button(items.at(2))->button()->tap(); // edit: not answered
    button(items.at(0))->button()->tap();
    EXPECT_EQ(addOnly->adds, 1);

    std::weak_ptr<AddOnly> gone = addOnly;
    addOnly.reset();
    EXPECT_TRUE(gone.expired());
    button(items.at(0))->button()->tap(); // nothing left to call
    EXPECT_TRUE(bar.delegate().expired());
    qDeleteAll(items);
}

TEST_F(ToolBarTest, TheBottomBarShowsTheButtonsAtTheLeadingSideAndFindsThemByTag)
{
    Screen screen("Tasks");
    ToolBar bar(recorder);
    bar.setButtonBits(bits({ 41, 9, 40, 12 }));
    bar.ShowToolBar(screen.controller);
    EXPECT_FALSE(screen.navigation.isToolbarHidden());
    const auto items = screen.controller->toolbarItems();
    ASSERT_EQ(items.size(), 8); // four buttons, three spaces, the flexible space
    EXPECT_EQ(items.last()->systemItem(), BarButtonItem::SystemItem::FlexibleSpace);
    screen.shot();

    // The filter button's view anchors a popover; 40 finds mail, which comes before share.
    platform::ui::View* filter = viewForButton(screen.controller, 41);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter, button(items.at(2))->button());
    EXPECT_TRUE(filter->isVisible());
    platform::ui::View* forty = viewForButton(screen.controller, 40);
    EXPECT_EQ(forty, button(items.at(4))->button());
    EXPECT_EQ(
        static_cast<platform::ui::Button*>(forty)->imageForState(platform::ui::ControlStateNormal),
        UIImage_Theme::maskImage("mail", style().buttonTitleColor()));
    // The bar's own lookup by tag finds the same views.
    EXPECT_EQ(screen.navigation.toolbar()->viewWithTag(41), filter);
    EXPECT_EQ(screen.navigation.toolbar()->viewWithTag(40), forty);

    // Buttons sit at the leading side, in order, 10 points of space and the bar's gaps
    // apart, inside the bar.
    const QRectF home = viewForButton(screen.controller, 12)->frame();
    EXPECT_LT(home.x(), 20);
    EXPECT_LT(home.right(), filter->frame().x());
    EXPECT_GE(filter->frame().x() - home.right(), 10);
    EXPECT_LT(forty->frame().right(), screen.navigation.toolbar()->bounds().width() / 2);

    static_cast<Control*>(forty)->tap();
    EXPECT_EQ(recorder->calls, QStringList { "mail" });
}

TEST_F(ToolBarTest, ReinstallingTheBarReplacesTheItemsItMadeBefore)
{
    Screen screen("Tasks");
    ToolBar bar(recorder);
    bar.setButtonBits(bits({ 1, 2, 3 }));
    bar.ShowToolBar(screen.controller);
    QList<QPointer<BarButtonItem>> first;
    QList<QPointer<platform::ui::View>> firstViews;
    for (BarButtonItem* item : screen.controller->toolbarItems()) {
        first << item;
        firstViews << item->view();
    }
    bar.ShowToolBar(screen.controller);
    // The items go first, their buttons after them.
    for (int round = 0; round < 2; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& item : first)
        EXPECT_TRUE(item.isNull());
    for (const auto& view : firstViews)
        EXPECT_TRUE(view.isNull());
    EXPECT_EQ(screen.controller->toolbarItems().size(), 6);
    EXPECT_EQ(screen.navigation.toolbar()->findChildren<platform::ui::Button*>().size(), 3);
}

TEST_F(ToolBarTest, TheTopBarMarksItsButtonsAndShowsTheFirstRightmost)
{
    Screen screen("Tasks");
    ToolBar bar(recorder);
    bar.setButtonBits(bits({ 7, 4, 12 }));
    bar.showTopBar(screen.controller);
    const auto items = screen.controller->navigationItem()->rightBarButtonItems();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items.last()->systemItem(), BarButtonItem::SystemItem::FlexibleSpace);
    for (int i : { 0, 2, 4 })
        EXPECT_TRUE(button(items.at(i))->topbar());
    const auto views = screen.navigation.navigationBar()->rightItemViews();
    ASSERT_EQ(views.size(), 3);
    screen.shot();
    EXPECT_EQ(views.at(0), button(items.at(0))->button()); // home, rightmost
    EXPECT_GT(views.at(0)->frame().x(), views.at(1)->frame().right() + 10);
    EXPECT_GT(views.at(1)->frame().x(), views.at(2)->frame().right() + 10);
    static_cast<Control*>(views.at(2))->tap();
    EXPECT_EQ(recorder->calls, QStringList { "search" });
}

TEST_F(ToolBarTest, ScreenshotsOfEveryButtonOnATabletAndAPhone)
{
    auto& device = platform::ui::Device::current();
    const QList<int>& order = ToolBar::barOrder();
    // A tablet has room for every button at once, in either position.
    for (const bool top : { false, true }) {
        Screen screen("Tasks");
        ToolBar bar(recorder);
        bar.setButtonBits(allBits());
        top ? bar.showTopBar(screen.controller) : bar.ShowToolBar(screen.controller);
        const QImage shot = screen.shot();
        EXPECT_EQ(shot.size(), QSize(1024, 768));
        shot.save(
            testsupport::outputPath(top ? "toolbar-tablet-top.png" : "toolbar-tablet-bottom.png"));
        // Every button is on the bar, none outside it, none over another.
        const auto views = top ? screen.navigation.navigationBar()->rightItemViews()
                               : screen.navigation.toolbar()->findChildren<platform::ui::View*>();
        double previous = top ? 1e9 : -1;
        int seen = 0;
        for (platform::ui::View* view : views) {
            if (!qobject_cast<platform::ui::Button*>(view))
                continue;
            ++seen;
            const QRectF frame = view->frame();
            EXPECT_GE(frame.x(), 0);
            EXPECT_LE(frame.right(), 1024);
            EXPECT_GE(frame.width(), 20);
            if (top) {
                EXPECT_LE(frame.right(), previous);
                previous = frame.x();
            } else {
                EXPECT_GE(frame.x(), previous);
                previous = frame.right();
            }
        }
        EXPECT_EQ(seen, 43);
    }

    // A screen as the application shows one: its usual buttons below, two on top.
    {
        Screen screen("Tasks");
        ToolBar bottom(recorder);
        bottom.setButtonBits(bits({ 12, 4, 1, 2, 3, 7, 41, 36, 9, 40 }));
        bottom.ShowToolBar(screen.controller);
        ToolBar top(recorder);
        top.setButtonBits(bits({ 25, 28 }));
        top.showTopBar(screen.controller);
        screen.shot().save(testsupport::outputPath("toolbar-tablet-screen.png"));
    }

    // A phone shows the buttons a bar at a time, as many as a screen would show.
    EXPECT_TRUE(device.selectModel("phone"));
    for (const bool top : { false, true }) {
        const int perBar = top ? 6 : 11;
        QList<QImage> shots;
        for (int from = 0; from < order.size(); from += perBar) {
            Screen screen("Tasks");
            auto vector = bits({});
            for (int number : order.mid(from, perBar))
                vector->setBit(quint32(number));
            ToolBar bar(recorder);
            bar.setButtonBits(vector);
            top ? bar.showTopBar(screen.controller) : bar.ShowToolBar(screen.controller);
            const QImage shot = screen.shot();
            EXPECT_EQ(shot.size(), QSize(375, 667));
            shots << (top ? shot.copy(0, 0, 375, 120) : shot.copy(0, 667 - 120, 375, 120));
        }
        stacked(shots).save(
            testsupport::outputPath(top ? "toolbar-phone-top.png" : "toolbar-phone-bottom.png"));
    }
}
