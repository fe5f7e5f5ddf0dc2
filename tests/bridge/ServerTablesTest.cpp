#include "ServerTableFixture.h"

#include "forms/FilterDetailViewController.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/SortDetailViewController.h"
#include "grid/GridData.h"
#include "grid/MatrixResponse.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "platform/ui/CollectionReusableView.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/Label.h"
#include "platform/ui/MailComposeViewController.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/ProgressHUD.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace servertest;

namespace {

QStringList namesOf(const QVariantList& rows, const ResponseTable& table)
{
    QStringList names;
    for (const QVariant& row : rows) {
        const auto record = RowObject::record<ResponseRow>(row);
        names << (record ? record->GetColumnValue("CustomerName", table.Columns).toString()
                         : QString());
    }
    return names;
}

QStringList tileTitles(MainCollectionViewController* screen)
{
    QStringList titles;
    const int count = screen->collectionView()->numberOfItemsInSection(0);
    for (int i = 0; i < count; ++i) {
        platform::ui::CollectionViewCell* cell
            = screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(i, 0));
        auto* label = cell
            ? qobject_cast<platform::ui::Label*>(cell->contentView()->viewWithTag(3000))
            : nullptr;
        if (label)
            titles << label->text();
    }
    return titles;
}

// The texts of a column line's labels ("blank" for none) and the tags of its images, left
// to right.
std::string drawn(platform::ui::View* line)
{
    if (!line)
        return "no line";
    QList<platform::ui::View*> shown = line->subviews();
    shown.removeIf([](platform::ui::View* view) { return view->tag() < 100; });
    std::stable_sort(shown.begin(), shown.end(),
        [](auto* a, auto* b) { return a->frame().left() < b->frame().left(); });
    QStringList texts;
    for (platform::ui::View* view : shown) {
        if (auto* label = qobject_cast<platform::ui::Label*>(view))
            texts << (label->text().isEmpty() ? QStringLiteral("blank") : label->text());
        else
            texts << QStringLiteral("image %1").arg(view->tag());
    }
    return texts.join(" | ").toStdString();
}

QJsonObject requestedTable(const QJsonObject& body)
{
    return body.value("Tables").toArray().at(0).toObject();
}

template<class Element> Element* elementAt(FormController* form, int index)
{
    if (!form || !form->root() || form->root()->sections().isEmpty())
        return nullptr;
    return qobject_cast<Element*>(form->root()->sections().first()->elementAt(index));
}

} // namespace

TEST_F(ServerTables, TheFirstPageShowsAsTilesThenColumnsAndPagesThroughPickerAndPager)
{
    MainCollectionViewController* screen = open();
    TableDataController* table = tableOf(screen);
    ASSERT_NE(table->table(), nullptr);
    EXPECT_EQ(table->rows().size(), PageSize);
    const QStringList first = tileTitles(screen);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first.first(), FixtureTableServer::nameOf(1));
    EXPECT_EQ(screen->hudCount(), 0u);

    // The first request: matrix type, the token first, no table yet, no result set.
    const QJsonObject opening = server->lastBody();
    EXPECT_EQ(opening.value("RequestType").toInt(), 1);
    EXPECT_EQ(opening.value("Service").toString(), "Fixture.Service");
    EXPECT_EQ(opening.value("Method").toString(), "Customers");
    EXPECT_EQ(opening.value("Parameters").toArray(), QJsonArray { Token });
    EXPECT_EQ(opening.value("PageSize").toInt(), PageSize);
    EXPECT_FALSE(opening.contains("Tables"));
    EXPECT_FALSE(opening.contains("Id"));

    // The page picker has one item per page.
    HorizontalPickerView* picker = screen->pagePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->itemCount(), 5);
    EXPECT_EQ(table->pickerViewTitleForItem(picker, 1), "2/5");
    EXPECT_TRUE(saveShot("server-tiles-tablet.png"));

    // The pager continues the result set, page by page.
    screen->navigatePage(MainCollectionViewController::NextPage);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(requestedTable(server->lastBody()).value("Page").toInt(), 2);
    EXPECT_EQ(requestedTable(server->lastBody()).value("Name").toString(), "Customers");
    EXPECT_EQ(server->lastBody().value("Id").toString(), "RS-1");
    EXPECT_EQ(table->table()->CurrentPage, 2u);
    EXPECT_EQ(namesOf(table->rows(), *table->table()).first(), FixtureTableServer::nameOf(21));
    EXPECT_EQ(picker->selectedItem(), 1);

    screen->navigatePage(MainCollectionViewController::LastPage);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(table->table()->CurrentPage, 5u);
    EXPECT_EQ(table->rows().size(), 95 - 4 * PageSize);
    // Nothing past the last page.
    EXPECT_FALSE(table->navigatePage(MainCollectionViewController::NextPage));
    screen->navigatePage(MainCollectionViewController::NextPage);
    EXPECT_TRUE(waitForRequests(3));

    // Choosing the third page in the picker.
    table->pickerViewDidSelectItem(picker, 2);
    ASSERT_TRUE(waitForRequests(4));
    EXPECT_EQ(requestedTable(server->lastBody()).value("Page").toInt(), 3);
    EXPECT_EQ(table->table()->CurrentPage, 3u);

    // The same rows as columns.
    table->expandcollapse(nullptr);
    settle();
    EXPECT_TRUE(screen->rowViewContoller()->inherits("ColumnsRowViewController"));
    EXPECT_TRUE(saveShot("server-columns-tablet.png"));
}

TEST_F(ServerTables, OnAPhoneTheTilesShowWithThePagePicker)
{
    MainCollectionViewController* screen = open("phone");
    ASSERT_NE(screen->pagePicker(), nullptr);
    EXPECT_EQ(tileTitles(screen).value(0), FixtureTableServer::nameOf(1));
    EXPECT_TRUE(saveShot("server-tiles-phone.png"));
}

TEST_F(ServerTables, AChildIsTitledAndAskedForFromTheRowChosenAbove)
{
    MainCollectionViewController* screen = open();
    screen->setSelectedRow(2);
    tableOf(screen)->tapOnDisclosure(2);
    ASSERT_TRUE(waitForRequests(2));
    auto* child = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child, screen);
    EXPECT_EQ(tableOf(child)->getTitle(), FixtureTableServer::nameOf(3));
    // The customer's id from the breadcrumb, the placeholder, and nothing for the screen
    // that is not there.
    const QJsonObject body = server->lastBody();
    EXPECT_EQ(body.value("Method").toString(), "Orders");
    EXPECT_EQ(body.value("Parameters").toArray(), (QJsonArray { Token, 3, "PLACEHOLDER_PARAM" }));
}

TEST_F(ServerTables, TwoTablesOfferTheTablePickerWhenTheScreenHasNoSearch)
{
    screens->withSearch = false;
    BridgeCaller::setMatrixAddress(server->url("/matrix-two"));
    MainCollectionViewController* screen = open();
    TableDataController* table = tableOf(screen);
    EXPECT_EQ(table->pickerData(), QStringList({ "T1", "T2" }));
    ASSERT_NE(screen->tablePicker(), nullptr);
    screen->pickerViewDidSelectItem(screen->tablePicker(), 1);
    settle();
    EXPECT_EQ(table->table()->Name, "Orders");
    EXPECT_EQ(table->rows().size(), 7);
}

namespace {

// The Customers table in columns, then a reload whose reply has the Orders table alone:
// the reused header and rows show the Orders columns and nothing of the Customers ones.
void reloadWithOtherColumns(ServerTables& test, const QString& device)
{
    MainCollectionViewController* screen = test.open(device);
    TableDataController* table = ServerTables::tableOf(screen);
    table->expandcollapse(nullptr);
    ServerTables::settle();
    ASSERT_TRUE(screen->rowViewContoller()->inherits("ColumnsRowViewController"));
    platform::ui::CollectionView* grid = screen->collectionView();
    const auto header = [grid] {
        return grid->supplementaryViewForElementKind(
            platform::ui::CollectionView::ElementKindSectionHeader,
            platform::ui::IndexPath::forItem(0, 0));
    };
    const auto row = [grid](int item) {
        platform::ui::CollectionViewCell* cell
            = grid->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
        return cell ? cell->contentView() : nullptr;
    };
    EXPECT_EQ(drawn(header()), "blank | blank | Id | Name | City | blank | Balance");
    EXPECT_EQ(
        drawn(row(0)), "image 2000 | image 10001 | 1 | Customer 00001 | Lyon | image 103 | 10.5");
    ASSERT_TRUE(ServerTables::saveShot("server-columns-customers-" + device + ".png"));

    BridgeCaller::setMatrixAddress(test.server->url("/matrix-orders"));
    table->refresh(nullptr);
    ASSERT_TRUE(test.waitForRequests(2));
    ASSERT_EQ(table->table()->Name, "Orders");
    EXPECT_EQ(drawn(header()), "blank | blank | Order | Item");
    for (int item = 0; item < 7; ++item)
        EXPECT_EQ(drawn(row(item)),
            QStringLiteral("image 2000 | image 10001 | %1 | Item \"%2\", boxed")
                .arg(1001 + item)
                .arg(item + 1)
                .toStdString());
    ASSERT_TRUE(ServerTables::saveShot("server-columns-orders-" + device + ".png"));
}

} // namespace

TEST_F(ServerTables, AReloadWithOtherColumnsShowsThemAloneOnATablet)
{
    reloadWithOtherColumns(*this, "tablet");
}

TEST_F(ServerTables, AReloadWithOtherColumnsShowsThemAloneOnAPhone)
{
    reloadWithOtherColumns(*this, "phone");
}

TEST_F(ServerTables, AFilterAndASortAddedThroughTheListsAndFormsAreApplied)
{
    MainCollectionViewController* screen = open();
    TableDataController* table = tableOf(screen);

    screen->showFilterInPopup();
    settle(60);
    ASSERT_FALSE(filterLists.isEmpty());
    const auto filters = filterLists.last().lock();
    ASSERT_NE(filters, nullptr);
    filters->add(nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return filters->lastDetailViewController(); }));
    settle(60);
    auto* form = qobject_cast<FilterDetailViewController*>(filters->lastDetailViewController());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(
        form->columnItems(), QStringList({ "None", "Id", "Name", "City", "Icon", "Balance" }));
    EXPECT_TRUE(saveShot("server-filter-form-tablet.png"));
    elementAt<FormRadioElement>(form, 0)->setSelectedItem("And");
    elementAt<FormRadioElement>(form, 1)->setSelectedItem("City");
    elementAt<FormRadioElement>(form, 2)->setSelectedItem("Equal To");
    elementAt<FormEntryElement>(form, 3)->setTextValue("Oslo");
    form->onSave();
    settle(60);
    ASSERT_EQ(table->filters().size(), 1);
    EXPECT_EQ(table->filters().first()->Column(), "CustomerCity");
    EXPECT_EQ(table->filters().first()->SQL(), "And City Equal To Oslo");
    EXPECT_EQ(filters->rows().size(), 1);
    EXPECT_TRUE(saveShot("server-filter-list-tablet.png"));

    // Applying it reloads the table from its first page as a new query.
    filters->search(nullptr);
    ASSERT_TRUE(waitForRequests(2));
    QJsonObject body = server->lastBody();
    EXPECT_FALSE(body.contains("Id"));
    EXPECT_EQ(requestedTable(body).value("Page").toInt(), 1);
    EXPECT_EQ(requestedTable(body).value("Filters").toArray(),
        (QJsonArray { QJsonObject { { "AndOr", "And" }, { "Header", "City" },
            { "Operator", "Equal To" }, { "Value", "Oslo" }, { "SQL", "And City Equal To Oslo" },
            { "Column", "CustomerCity" } } }));
    ASSERT_NE(table->table(), nullptr);
    for (const QVariant& row : table->rows())
        EXPECT_EQ(RowObject::record<ResponseRow>(row)
                      ->GetColumnValue("CustomerCity", table->table()->Columns)
                      .toString(),
            "Oslo");
    EXPECT_FALSE(table->queryChanged());

    screen->showSortInPopup();
    settle(60);
    ASSERT_FALSE(sortLists.isEmpty());
    const auto sorts = sortLists.last().lock();
    ASSERT_NE(sorts, nullptr);
    sorts->add(nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return sorts->lastDetailViewController(); }));
    settle(60);
    auto* sortForm = qobject_cast<SortDetailViewController*>(sorts->lastDetailViewController());
    ASSERT_NE(sortForm, nullptr);
    EXPECT_TRUE(elementAt<FormBooleanElement>(sortForm, 1)->boolValue());
    elementAt<FormRadioElement>(sortForm, 0)->setSelectedItem("Name");
    elementAt<FormBooleanElement>(sortForm, 1)->setBoolValue(false);
    sortForm->onSave();
    settle(60);
    ASSERT_EQ(table->sorts().size(), 1);
    EXPECT_TRUE(saveShot("server-sort-list-tablet.png"));
    sorts->search(nullptr);
    ASSERT_TRUE(waitForRequests(3));
    body = server->lastBody();
    EXPECT_FALSE(body.contains("Id"));
    EXPECT_EQ(requestedTable(body).value("Sorts").toArray(),
        (QJsonArray { QJsonObject {
            { "Header", "Name" }, { "Ascending", false }, { "Column", "CustomerName" } } }));
    EXPECT_EQ(requestedTable(body).value("Filters").toArray().size(), 1);
    const QStringList names = namesOf(table->rows(), *table->table());
    ASSERT_GE(names.size(), 2);
    EXPECT_GT(names[0], names[1]);
}

TEST_F(ServerTables, ARefusedSaveLeavesTheFilterAsItWasAndADeleteDuringASearchTakesTheMatch)
{
    MainCollectionViewController* screen = open();
    TableDataController* table = tableOf(screen);
    const auto byName = std::make_shared<FilterExtended>();
    byName->setAndOr("And");
    byName->setHeader("Name");
    byName->setOperator("Contains");
    byName->setValue("Customer");
    byName->setSQL("And Name Contains Customer");
    const auto byCity = std::make_shared<FilterExtended>();
    byCity->setAndOr("And");
    byCity->setHeader("City");
    byCity->setOperator("Equal To");
    byCity->setValue("Lyon");
    byCity->setSQL("And City Equal To Lyon");
    table->filters() = { byName, byCity };

    screen->showFilterInPopup();
    settle(60);
    const auto filters = filterLists.last().lock();
    ASSERT_NE(filters, nullptr);
    auto* list = qobject_cast<MainCollectionViewController*>(filters->viewController());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(filters->rows().size(), 2);

    // Editing the first with "None" as operator is refused: the filter is as it was.
    list->setSelectedRow(0);
    filters->edit(nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return filters->lastDetailViewController(); }));
    settle(60);
    auto* form = qobject_cast<FilterDetailViewController*>(filters->lastDetailViewController());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(elementAt<FormRadioElement>(form, 1)->selectedItem().toString(), "Name");
    elementAt<FormRadioElement>(form, 2)->setSelectedItem("None");
    elementAt<FormEntryElement>(form, 3)->setTextValue("Changed");
    form->onSave();
    const auto shown = alerts();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->message(), "Please enter valid data.");
    shown.first()->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(byName->Operator(), "Contains");
    EXPECT_EQ(byName->Value(), "Customer");
    EXPECT_EQ(table->filters().size(), 2);

    // A search shows the city filter alone; deleting the selected match removes it.
    filters->searchData("city");
    ASSERT_EQ(filters->count(), 1);
    list->setSelectedRow(0);
    filters->remove(nullptr);
    const auto confirm = alerts();
    ASSERT_EQ(confirm.size(), 1);
    confirm.first()->clickButtonAtIndex(1);
    settle();
    EXPECT_EQ(table->filters(), QList<std::shared_ptr<FilterExtended>> { byName });
}

TEST_F(ServerTables, OnAPhoneTheFilterListIsPushedAndShowsItsTiles)
{
    MainCollectionViewController* screen = open("phone");
    const auto filter = std::make_shared<FilterExtended>();
    filter->setAndOr("Or");
    filter->setHeader("City");
    filter->setOperator("Contains");
    filter->setValue("o");
    tableOf(screen)->filters() = { filter };
    screen->showPopup(MainCollectionViewController::FilterPopup, "Menu");
    settle(60);
    auto* list = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list, screen);
    EXPECT_TRUE(list->rowViewContoller()->inherits("FilterRowViewController"));
    EXPECT_TRUE(saveShot("server-filter-list-phone.png"));

    navigation->popViewController(false);
    settle();
    const auto sort = std::make_shared<Sort>();
    sort->setHeader("Name");
    sort->setAscending(true);
    tableOf(screen)->sorts() = { sort };
    screen->showPopup(MainCollectionViewController::SortPopup, "Menu");
    settle(60);
    auto* sortList = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(sortList, nullptr);
    EXPECT_TRUE(sortList->rowViewContoller()->inherits("SortRowViewController"));
    EXPECT_TRUE(saveShot("server-sort-list-phone.png"));
}

TEST_F(ServerTables, TheMailedCsvHoldsTheRowsOfEveryTable)
{
    BridgeCaller::setMatrixAddress(server->url("/matrix-two"));
    MainCollectionViewController* screen = open();
    tableOf(screen)->mail(nullptr);
    platform::ui::MailComposeViewController* composer = nullptr;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        composer = qobject_cast<platform::ui::MailComposeViewController*>(
            navigation->presentedViewController());
        if (!composer)
            composer = qobject_cast<platform::ui::MailComposeViewController*>(
                screen->presentedViewController());
        return composer != nullptr;
    }));
    // The overlay's end is queued behind the composer's showing.
    EXPECT_TRUE(testsupport::waitUntil([&] { return screen->hudCount() == 0u; }));
    composer->setToRecipients({ QStringLiteral("ana@example.com") });
    composer->send();
    const QString path = composer->lastSentPath();
    settle();
    const char* const readCsv = R"(import csv, email, io, json, sys
from email import policy
with open(sys.argv[1], 'rb') as f:
    message = email.message_from_binary_file(f, policy=policy.default)
part = list(message.iter_attachments())[0]
assert part.get_filename() == 'data.csv', part.get_filename()
text = part.get_payload(decode=True).decode('utf-8')
print(json.dumps(list(csv.reader(io.StringIO(text, newline='')))))
)";
    int exitCode = -1;
    const QByteArray read = testsupport::runTool("python3", { "-c", readCsv, path }, {}, &exitCode);
    ASSERT_EQ(exitCode, 0) << read.toStdString();
    QJsonArray expected { QJsonArray { "Id", "Name", "City", "Balance" } };
    for (int id = 1; id <= PageSize; ++id)
        expected.append(QJsonArray { QString::number(id), FixtureTableServer::nameOf(id),
            FixtureTableServer::cityOf(id), QString::number(id * 10.5) });
    expected.append(QJsonArray {});
    expected.append(QJsonArray { "", "" });
    expected.append(QJsonArray { "Order", "Item" });
    for (int i = 1; i <= 7; ++i)
        expected.append(
            QJsonArray { QString::number(1000 + i), QStringLiteral("Item '%1', boxed").arg(i) });
    expected.append(QJsonArray {});
    EXPECT_EQ(QJsonDocument::fromJson(read).array(), expected);
}

// Each way a call can fail: a message, the screen as it was, the overlay gone.
TEST_F(ServerTables, EveryFailureIsShownAndChangesNothingAndTheOverlayGoes)
{
    MainCollectionViewController* screen = open();
    TableDataController* table = tableOf(screen);
    const auto shownTable = table->table();
    const QVariantList shownRows = table->rows();
    const QStringList tiles = tileTitles(screen);
    int sent = 1;

    const auto expectFailure = [&](const QString& route, const QString& expected) {
        SCOPED_TRACE(route.toStdString());
        BridgeCaller::setMatrixAddress(route.isEmpty() ? QUrl() : server->url(route));
        screen->navigatePage(MainCollectionViewController::NextPage);
        if (!route.isEmpty()) {
            EXPECT_TRUE(testsupport::waitUntil(
                [&] { return server->http.requests().size() > sent; }, 3000));
        }
        sent = int(server->http.requests().size());
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 4000));
        const auto shown = alerts();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.first()->message().contains(expected))
            << shown.first()->message().toStdString();
        shown.first()->dismissWithClickedButtonIndex(0, false);
        settle();
        EXPECT_EQ(screen->hudCount(), 0u);
        EXPECT_EQ(ProgressHUD::HUDForView(screen->view()), nullptr);
        EXPECT_EQ(table->table(), shownTable);
        EXPECT_EQ(table->rows(), shownRows);
        EXPECT_EQ(tileTitles(screen), tiles);
    };
    expectFailure("/matrix-fail", FixtureTableServer::FailureMessage);
    expectFailure("/matrix-text", "not JSON");
    expectFailure("/matrix-bad", "TotalPages");
    expectFailure("/matrix-big", "");
    expectFailure("/matrix-cut", "");
    expectFailure("/matrix-stall", "");
    expectFailure("", BridgeCaller::NoAddressMessage);
    server->http.stop();
    BridgeCaller::setMatrixAddress(server->url());
    screen->navigatePage(MainCollectionViewController::NextPage);
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return !platform::ui::AlertView::visibleAlerts().isEmpty(); }, 4000));
    settle();
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_EQ(table->table(), shownTable);
}
