#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "platform/Exception.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Toolbar.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MenuItem.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverView.h"
#include "widgets/UIImage_Theme.h"
#include "widgets/VerticalMenuViewController.h"

#include <QDir>
#include <QMap>
#include <QPointer>
#include <QTemporaryDir>

using namespace platform::ui;
using testsupport::GestureSynthesizer;

namespace {

// The owner a menu closes itself through, as a screen holding its popover.
class MenuOwner : public QObject {
    Q_OBJECT
public:
    int dismissals = 0;
    QPointer<PopoverController> popover;
    Q_INVOKABLE void dismissPopup()
    {
        ++dismissals;
        if (popover)
            popover->dismissPopoverAnimated(true);
    }
};

// A text exactly `width` points wide in the popup font: one text for each width reached
// by adding narrow characters, until the width is among them.
QString textOfWidth(double width)
{
    const QFont font = Theme::current()->popupMenuFont();
    const QString narrow = QStringLiteral("il.,:;'|!ftjrI1 -");
    QMap<double, QString> reached { { Font::measure("Page", font).width(), "Page" } };
    for (bool grew = true; grew && !reached.contains(width);) {
        grew = false;
        const auto current = reached;
        for (const QString& text : current) {
            for (QChar c : narrow) {
                const QString longer = text + c;
                const double w = Font::measure(longer, font).width();
                if (w <= width && !reached.contains(w)) {
                    reached.insert(w, longer);
                    grew = true;
                }
            }
        }
    }
    return reached.value(width);
}

struct IconMenus : ScreenFixture { };

} // namespace

TEST_F(IconMenus, SizedFromTheWidestTextWithThirtyPointCellsAndFivePointGaps)
{
    const QString widest = textOfWidth(80);
    ASSERT_FALSE(widest.isEmpty());
    VerticalMenuViewController plain(
        { new MenuItem("Last"), new MenuItem("Next"), new MenuItem(widest) }, nullptr);
    EXPECT_EQ(plain.maxItemSize(), QSizeF(80, 30));
    EXPECT_EQ(plain.menuSize(), QSizeF(90, 110));
    EXPECT_FALSE(plain.containsImage());

    VerticalMenuViewController iconic(
        { new MenuItem(widest, "last"), new MenuItem("Last"), new MenuItem("Next") }, nullptr);
    EXPECT_EQ(iconic.maxItemSize(), QSizeF(110, 30));
    EXPECT_EQ(iconic.menuSize(), QSizeF(120, 110));
    EXPECT_TRUE(iconic.containsImage());

    VerticalMenuViewController empty({}, nullptr);
    EXPECT_EQ(empty.maxItemSize(), QSizeF(0, 30));
    EXPECT_EQ(empty.menuSize(), QSizeF(10, 10));
    EXPECT_EQ(empty.backgroundColor(), QColor(Qt::darkGray));

    // The cells, one below the other, as the menu's list lays them out.
    iconic.view();
    EXPECT_EQ(iconic.numberOfItemsInSection(0), 3);
    for (int i = 0; i < 3; ++i) {
        View* cell = iconic.menuItems()[i]->view();
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->frame(), QRectF(5, i * 35, 110, 30));
    }
}

TEST_F(IconMenus, IconsLargerThanTwentyPointsAreDrawnAtTwentyAndSmallerOnesAtTheirSize)
{
    QTemporaryDir resources;
    ASSERT_TRUE(QDir(resources.path()).mkpath("images"));
    for (const auto& [name, side] : { std::pair<QString, int> { "big", 48 }, { "small", 16 } }) {
        QImage icon(side, side, QImage::Format_ARGB32);
        icon.fill(Qt::black);
        ASSERT_TRUE(icon.save(resources.path() + "/images/" + name + ".png"));
    }
    qputenv("KIVOTAB_RESOURCES", resources.path().toUtf8());
    Image::clearCache();

    const QColor background(30, 60, 90);
    VerticalMenuViewController menu(
        { new MenuItem("Large", "big"), new MenuItem("Small", "small"), new MenuItem("None") },
        nullptr, background);
    menu.view();
    const QColor title = Theme::current()->buttonTitleColor().toQColor();
    const QList<QRectF> drawnAt = { { 5, 5, 20, 20 }, { 7, 7, 16, 16 } };
    for (int i = 0; i < 2; ++i) {
        View* cell = menu.menuItems()[i]->view();
        auto* icon = cell->findChild<ImageView*>();
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->frame(), QRectF(0, 0, 30, 30));
        EXPECT_EQ(icon->contentMode(), ImageView::ContentMode::Center);
        EXPECT_EQ(icon->imageRect(), drawnAt[i]);
        // Recoloured in the button title colour.
        const QImage pixels = icon->image().image();
        EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2).rgb(), title.rgb());
        auto* label = cell->findChild<Label*>();
        EXPECT_EQ(label->frame().left(), 30);
        EXPECT_EQ(label->textColor(), title);
        EXPECT_EQ(cell->backgroundColor(), background);
    }
    View* textOnly = menu.menuItems()[2]->view();
    EXPECT_EQ(textOnly->findChild<ImageView*>(), nullptr);
    EXPECT_EQ(textOnly->findChild<Label*>()->frame(),
        QRectF(0, 0, menu.maxItemSize().width(), menu.maxItemSize().height()));
    qunsetenv("KIVOTAB_RESOURCES");
    Image::clearCache();
}

TEST_F(IconMenus, ATapRunsTheHandlerThenTheOwnerClosesTheMenu)
{
    MenuOwner owner;
    QStringList ran;
    auto* withHandler = new MenuItem("Edit", "edit", [&](MenuItem* item) { ran << item->text(); });
    auto* withoutHandler = new MenuItem("Delete", "delete");
    auto* menu = new VerticalMenuViewController(
        { withHandler, withoutHandler }, &owner, Theme::current()->toolbarColor().toQColor());
    auto* popover = new PopoverController(menu, false, &owner);
    owner.popover = popover;
    popover->setContentSize(menu->menuSize() + QSizeF(30, 10));
    popover->setArrowDirection(PopoverArrowDirectionNone);
    popover->setTint(0);
    popover->setBorder(false);
    popover->presentPopoverFromPoint(QPointF(500, 300));

    GestureSynthesizer::tap(withoutHandler->view());
    EXPECT_EQ(owner.dismissals, 1);
    EXPECT_TRUE(ran.isEmpty());
    flush();
    EXPECT_FALSE(popover->isPresented());

    popover->presentPopoverFromPoint(QPointF(500, 300));
    GestureSynthesizer::tap(withHandler->view());
    EXPECT_EQ(ran, QStringList({ "Edit" }));
    EXPECT_EQ(owner.dismissals, 2);

    // Without an owner only the handler runs; the menu stays.
    QStringList alone;
    VerticalMenuViewController ownerless(
        { new MenuItem("Add", "add", [&](MenuItem*) { alone << "add"; }), new MenuItem("Edit") },
        nullptr);
    ownerless.view();
    ownerless.didSelectItemAtIndex(0);
    ownerless.didSelectItemAtIndex(1);
    EXPECT_EQ(alone, QStringList({ "add" }));
    // An owner without a way to close menus is not asked.
    QObject mute;
    VerticalMenuViewController unanswered({ new MenuItem("Add") }, &mute);
    unanswered.didSelectItemAtIndex(0);
}

TEST_F(IconMenus, AHandlersExceptionIsShownAndTheMenuStaysOpen)
{
    MenuOwner owner;
    VerticalMenuViewController menu({ new MenuItem("Sort", "sort",
                                        [](MenuItem*) {
                                            throw platform::Exception(
                                                platform::Exception::Generic, "No sort columns.");
                                        }) },
        &owner);
    menu.view();
    menu.didSelectItemAtIndex(0);
    EXPECT_EQ(owner.dismissals, 0);
    ASSERT_TRUE(testsupport::waitUntil([] { return !AlertView::visibleAlerts().isEmpty(); }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "No sort columns.");
    AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
    flush();
}

// The pager and add-edit-delete menus as the grid screen shows them: in the bar colour,
// without arrow, border or Close button, from their toolbar buttons.
TEST_F(IconMenus, Screenshots)
{
    for (const QString device : { "tablet", "phone" }) {
        close();
        open(device);
        auto* search = new BarButtonItem(UIImage_Theme::maskImage("filter", Color::whiteColor()));
        auto* change
            = new BarButtonItem(UIImage_Theme::maskImage("addeditdelete", Color::whiteColor()));
        screen->setToolbarItems({ new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace),
            search, new BarButtonItem(BarButtonItem::SystemItem::FixedSpace), change });
        navigation->setToolbarHidden(false);
        Theme::current()->applyiOS7StyleForToolbar(navigation->toolbar());
        flush();
        struct Menu {
            QString name;
            QList<std::pair<QString, QString>> entries;
            BarButtonItem* anchor;
            double extraHeight;
        };
        const QList<Menu> menus = {
            { "pager",
                { { LocalizedStrings::Last(), "last" }, { LocalizedStrings::Next(), "next" },
                    { LocalizedStrings::Previous(), "prev" },
                    { LocalizedStrings::First(), "first" }, { LocalizedStrings::Sort(), "sort" },
                    { LocalizedStrings::Filter(), "filter" } },
                search, 10 },
            { "add-edit-delete",
                { { LocalizedStrings::Add(), "add" }, { LocalizedStrings::Edit(), "edit" },
                    { LocalizedStrings::Delete(), "delete" } },
                change, 0 },
        };
        for (const Menu& shown : menus) {
            QList<MenuItem*> items;
            for (const auto& [text, image] : shown.entries)
                items << new MenuItem(text, image);
            MenuOwner owner;
            auto* menu = new VerticalMenuViewController(
                items, nullptr, Theme::current()->toolbarColor().toQColor());
            auto* popover = new PopoverController(menu, false, &owner);
            popover->setBorder(false);
            popover->setContentSize(menu->menuSize() + QSizeF(30, shown.extraHeight));
            popover->setArrowDirection(PopoverArrowDirectionNone);
            popover->setTint(0);
            ASSERT_NE(shown.anchor->view(), nullptr);
            popover->presentPopoverFromView(shown.anchor->view());
            EXPECT_TRUE(save(QStringLiteral("icon-menu-%1-%2.png").arg(shown.name, device)));
            popover->dismissPopoverAnimated(false);
        }
    }
}

#include "IconMenuTest.moc"
