#include "ScreensFixture.h"

#include "common/GestureSynthesizer.h"
#include "grid/BrowserViewController.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MultipleGenericRowViewController.h"
#include "style/Theme.h"
#include "widgets/CheckMarkLabel.h"

#include <QCoreApplication>
#include <QFontMetricsF>

#include <cmath>

namespace screenstest {
namespace {

using testsupport::GestureSynthesizer;

struct RowTiles : ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        database = addDatabase("Home");
        definition = addDefinition("Links");
        const QString definitionId = definition->id().toString();
        name = addColumn(definitionId, "Name", TypeConstants::Text);
        site = addColumn(definitionId, "Site", TypeConstants::Link);
        done = addColumn(definitionId, "Done", TypeConstants::YesNo);
        columns = TemplateColumn::getColumns(definitionId);
        table = addTable(database->id().toString(), definitionId, "Bookmarks");
        for (const auto& [title, address] : QList<std::pair<QString, QString>> {
                 { "Kivotab", "kivotab.example" }, { "News", "HTTPS://news.example" } })
            addRow(table->id().toString(),
                { { id(name), title }, { id(site), address }, { id(done), false } }, columns);
    }

    void TearDown() override
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ScreensTest::TearDown();
    }

    static QString id(TemplateColumn* column) { return column->id().toString(); }

    // The rows screen of the table, as Home opens it, on a grid screen of the application.
    ApplicationScreen* showRows()
    {
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(table);
        auto* screen = new ApplicationScreen();
        screen->setParentLink(link);
        screen->setScreen(ScreenFactory::GetScreen(ScreenFactory::TemplateRows, link));
        navigation->pushViewController(screen, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return screen;
    }

    static void settle()
    {
        testsupport::processEvents(40);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    static platform::ui::View* content(ApplicationScreen* screen, int item)
    {
        auto* cell
            = screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
        return cell ? cell->contentView() : nullptr;
    }

    static bool saveShot(const QString& name)
    {
        settle();
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    static int labelCount(platform::ui::View* view)
    {
        return int(view->findChildren<platform::ui::Label*>(Qt::FindDirectChildrenOnly).size());
    }

    Database* database = nullptr;
    Template* definition = nullptr;
    TemplateColumn* name = nullptr;
    TemplateColumn* site = nullptr;
    TemplateColumn* done = nullptr;
    Rows::Columns columns;
    UserTemplate* table = nullptr;
};

TEST_F(RowTiles, ATileShowsImageCheckMarkOneLinePerTileColumnAndTheArrow)
{
    ApplicationScreen* screen = showRows();
    auto* rowView = qobject_cast<MultipleGenericRowViewController*>(screen->rowViewContoller());
    ASSERT_NE(rowView, nullptr);
    platform::ui::View* tile = content(screen, 0);
    ASSERT_NE(tile, nullptr);
    for (int tag : { 4000, 5000, 3000, 3001, 2000 })
        EXPECT_NE(tile->viewWithTag(tag), nullptr) << tag;
    EXPECT_EQ(tile->viewWithTag(3002), nullptr);
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(tile->viewWithTag(3000))->text(), "Kivotab");
    auto* link = qobject_cast<platform::ui::Label*>(tile->viewWithTag(3001));
    EXPECT_EQ(link->text(), "kivotab.example");
    EXPECT_EQ(link->textColor(), Theme::current()->MetroRowLabelForeColor().toQColor());
    // Two lines: the title's, then a further line's, each "A" plus 4.
    const QList<float> heights = rowView->heights();
    ASSERT_EQ(heights.size(), 2);
    EXPECT_FLOAT_EQ(heights[0],
        float(platform::ui::Font::measure("A", Theme::current()->MetroRowLabelFont()).height())
            + 4.0f);
    EXPECT_FLOAT_EQ(heights[1],
        float(platform::ui::Font::measure("A", Theme::current()->RowLabelFont()).height()) + 4.0f);
    // The text follows the image and the check mark.
    auto* check = tile->viewWithTag(5000);
    EXPECT_DOUBLE_EQ(check->frame().x(), 51.0);
    EXPECT_DOUBLE_EQ(link->frame().x(), 51.0 + check->frame().width());
    // The drawn box and a gap fit before the text, whatever the font measures the emoji as.
    const double box = QFontMetricsF(Theme::current()->MetroRowLabelFont()).height() * 0.8;
    EXPECT_GE(link->frame().x() - check->frame().x(), box + 3.0);
    ASSERT_TRUE(saveShot("rows-tiles-tablet.png"));
}

TEST_F(RowTiles, OneTileColumnMakesTilesFiftyHighAndTilesPerRowStayBetweenOneAndFour)
{
    site->setIntiles(false);
    ASSERT_TRUE(site->saveTemplateColumn());
    ApplicationScreen* screen = showRows();
    auto* rowView = qobject_cast<MultipleGenericRowViewController*>(screen->rowViewContoller());
    ASSERT_LT(rowView->getHeight(), 46.0f);
    EXPECT_DOUBLE_EQ(rowView->getRowSize().height(), 50.0);

    auto* controller = dynamic_cast<GenericTemplateDataController*>(screen->dataController().get());
    const double width = screen->gridviewContentSize().width();
    const double spacing = rowView->getSpacing();
    for (const unsigned stored : { 0u, 7u }) {
        controller->setIpadColumns(stored);
        const unsigned counted = stored == 0 ? 1 : 4;
        const double margins = std::trunc(float((counted - 1) * spacing + 30));
        EXPECT_NEAR(rowView->getRowSize().width(), (width - margins) / counted, 0.01) << stored;
    }
}

TEST_F(RowTiles, AReusedTileTakesTheNewTextsWithoutNewLabels)
{
    Rows* second = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).value(1);
    ASSERT_NE(second, nullptr);
    second->updateData({ { id(name), "News" }, { id(site), "news.example" }, { id(done), true } },
        columns, std::nullopt);
    ASSERT_TRUE(second->saveRows());
    ApplicationScreen* screen = showRows();
    auto* rowView = qobject_cast<MultipleGenericRowViewController*>(screen->rowViewContoller());
    platform::ui::View* tile = content(screen, 0);
    ASSERT_NE(tile, nullptr);
    const int labels = labelCount(tile);
    platform::ui::View* title = tile->viewWithTag(3000);
    platform::ui::View* check = tile->viewWithTag(5000);
    // The first row's tile drawn again for the second row, as the grid reuses it.
    rowView->createRow(tile, 1, tile->frame().size());
    EXPECT_EQ(labelCount(tile), labels);
    EXPECT_EQ(tile->viewWithTag(3000), title);
    EXPECT_EQ(tile->viewWithTag(5000), check);
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(title)->text(), "News");
    EXPECT_EQ(qobject_cast<platform::ui::Label*>(tile->viewWithTag(3001))->text(), "news.example");
    EXPECT_TRUE(qobject_cast<CheckMarkLabel*>(check)->checked());
    EXPECT_EQ(qobject_cast<CheckMarkLabel*>(check)->index(), 1u);
}

// A column put in the tiles while the rows show (on another machine, or in the columns
// screen) is read with the table's columns at the next Refresh: every tile then has a line
// for it, its heights measured anew.
TEST_F(RowTiles, AColumnPutInTheTilesWhileTheRowsShowTakesALineOfItsOwn)
{
    ApplicationScreen* screen = showRows();
    auto* rowView = qobject_cast<MultipleGenericRowViewController*>(screen->rowViewContoller());
    ASSERT_EQ(rowView->heights().size(), 2);
    const float before = rowView->getHeight();

    TemplateColumn* note = addColumn(definition->id().toString(), "Note", TypeConstants::Text);
    Rows::Columns all = columns;
    all << note;
    Rows* first = Rows::getRows(table->id().toString(), all, {}, {}, std::nullopt).value(0);
    ASSERT_NE(first, nullptr);
    QVariantMap values = first->getData(all, std::nullopt);
    values.insert(id(note), "Read later");
    first->updateData(values, all, std::nullopt);
    ASSERT_TRUE(first->saveRows());

    screen->dataController()->refresh(nullptr);
    settle();
    ASSERT_EQ(rowView->heights().size(), 3);
    EXPECT_FLOAT_EQ(rowView->getHeight(), before + rowView->heights().at(2));
    platform::ui::View* tile = content(screen, 0);
    ASSERT_NE(tile, nullptr);
    auto* line = qobject_cast<platform::ui::Label*>(tile->viewWithTag(3002));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), "Read later");
    // The tile is tall enough for its three lines.
    EXPECT_GE(tile->frame().height() + 0.5, double(rowView->getHeight()));
    ASSERT_TRUE(saveShot("rows-tiles-column-added.png"));
}

TEST_F(RowTiles, TappingACheckMarkSelectsItsRowAndStoresTheValueAtOnce)
{
    ApplicationScreen* screen = showRows();
    auto* check = qobject_cast<CheckMarkLabel*>(content(screen, 1)->viewWithTag(5000));
    ASSERT_NE(check, nullptr);
    GestureSynthesizer::tap(check);
    settle();
    EXPECT_EQ(screen->selectedRow(), 1);
    EXPECT_TRUE(check->checked());
    // Saved at once: nothing left for a later commit.
    EXPECT_FALSE(context()->hasChanges());
    const auto stored = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt);
    ASSERT_EQ(stored.size(), 2);
    int checked = 0;
    for (Rows* row : stored)
        checked += row->getData(columns, std::nullopt).value(id(done)).toBool();
    EXPECT_EQ(checked, 1);
}

TEST_F(RowTiles, ACheckMarkTheControllerRefusesStaysAsStored)
{
    // Rows whose text no longer decodes: their check mark cannot be stored.
    auto stored = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt);
    ASSERT_EQ(stored.size(), 2);
    for (Rows* row : stored) {
        row->setJson(QStringLiteral("{ not json"));
        ASSERT_TRUE(row->saveRows());
    }
    ApplicationScreen* screen = showRows();
    auto* check = qobject_cast<CheckMarkLabel*>(content(screen, 1)->viewWithTag(5000));
    ASSERT_NE(check, nullptr);
    ASSERT_FALSE(check->checked());
    GestureSynthesizer::tap(check);
    settle();
    EXPECT_FALSE(check->checked());
    EXPECT_FALSE(context()->hasChanges());
    for (Rows* row : Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt))
        EXPECT_EQ(row->json().toString(), "{ not json");
}

// Left by a machine that still had the table protected: this screen, without a password,
// cannot read it, and its tile says so instead of showing an empty row.
TEST_F(RowTiles, ARowStoredEncryptedUnderAPasswordTheScreenLacksSaysSoOnItsTile)
{
    Rows* second = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).value(1);
    ASSERT_NE(second, nullptr);
    second->updateData(
        { { id(name), "Sealed" }, { id(site), "sealed.example" } }, columns, QString("theirs"));
    ASSERT_TRUE(second->saveRows());
    ApplicationScreen* screen = showRows();
    int sealed = -1;
    for (int item = 0; item < 2; ++item) {
        platform::ui::View* tile = content(screen, item);
        ASSERT_NE(tile, nullptr);
        const QString title = qobject_cast<platform::ui::Label*>(tile->viewWithTag(3000))->text();
        if (title == "Kivotab")
            continue;
        sealed = item;
        EXPECT_EQ(title, "This row could not be read.");
        EXPECT_EQ(qobject_cast<platform::ui::Label*>(tile->viewWithTag(3001))->text(), "");
    }
    EXPECT_GE(sealed, 0);
    ASSERT_TRUE(saveShot("rows-tile-unreadable.png"));
}

TEST_F(RowTiles, TappingALinkPushesTheBrowserForItsWebAddress)
{
    // Local addresses that refuse at once: nothing leaves the machine.
    for (const auto& [title, address] :
        QList<std::pair<QString, QString>> { { "Bare", "127.0.0.1:9/page" },
            { "Secure", "https://127.0.0.1:9/secure" }, { "Mail", "mailto:someone@example.org" } })
        addRow(table->id().toString(),
            { { id(name), title }, { id(site), address }, { id(done), false } }, columns);
    ApplicationScreen* screen = showRows();
    QHash<QString, QUrl> pushed;
    for (int item = 0; item < 5; ++item) {
        platform::ui::View* tile = content(screen, item);
        ASSERT_NE(tile, nullptr);
        const QString title = qobject_cast<platform::ui::Label*>(tile->viewWithTag(3000))->text();
        if (title == "Kivotab" || title == "News")
            continue;
        GestureSynthesizer::tap(tile->viewWithTag(3001));
        settle();
        if (auto* browser = qobject_cast<BrowserViewController*>(navigation->topViewController())) {
            pushed.insert(title, browser->URL());
            navigation->popViewController(false);
            settle();
        }
    }
    EXPECT_EQ(pushed.value("Bare"), QUrl("http://127.0.0.1:9/page"));
    EXPECT_EQ(pushed.value("Secure"), QUrl("https://127.0.0.1:9/secure"));
    EXPECT_FALSE(pushed.contains("Mail")); // not a web address: no browser
}

} // namespace
} // namespace screenstest
