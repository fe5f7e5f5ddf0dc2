#include "AppFixture.h"

#include "forms/FormDecimalElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormTableView.h"
#include "grid/ListSelectViewController.h"
#include "model/Database.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "screens/MainDataController.h"
#include "screens/TemplateColumnDataController.h"
#include "screens/TemplateDataController.h"
#include "widgets/SimplePopupViewController.h"

namespace e2e {
namespace {

struct Definitions : AppTest {
    // Home of a new database, then its settings' "Templates".
    ApplicationScreen* openTemplates()
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, "Household", "Things at home") || !open(databases, "Household"))
            return nullptr;
        home = top();
        auto* controller = controllerOf<MainDataController>(home);
        if (!controller)
            return nullptr;
        controller->settings(nullptr);
        settle(100);
        MainCollectionViewController* list = listOn(home);
        const int at = list ? int(titles(list).indexOf("Templates")) : -1;
        if (at < 0)
            return nullptr;
        GestureSynthesizer::tap(tileView(list, at, 2000));
        settle(150);
        ApplicationScreen* templates = top();
        return templates && templates->screen()->id == "Templates" ? templates : nullptr;
    }

    // Taps the form's row of the element.
    static void tapRow(QuickDetailViewController* form, FormElement* element)
    {
        FormTableView* table = form->formTableView();
        const std::optional<FormIndexPath> path = element->getIndexPath();
        ASSERT_TRUE(path.has_value());
        const platform::ui::IndexPath row = FormTableView::tablePath(*path);
        table->scrollToRowAtIndexPath(row, platform::ui::TableView::ScrollPosition::None, false);
        settle();
        const QRectF r = table->rectForRowAtIndexPath(row);
        GestureSynthesizer::tap(
            table, QPointF(r.left() + 30, r.center().y()) - table->contentOffset());
        settle(100);
    }

    // Chooses the column form's type as its list does.
    static void chooseType(QuickDetailViewController* form, const QString& type)
    {
        auto* picker = qobject_cast<FormRadioElement*>(element(form, "type"));
        ASSERT_NE(picker, nullptr);
        picker->setSelectedItem(type);
        picker->fieldDidEndEditing();
        settle();
    }

    static QVariant number(QuickDetailViewController* form, const QString& key)
    {
        auto* field = qobject_cast<FormDecimalElement*>(element(form, key));
        return field ? field->numberValue() : QVariant();
    }

    static bool enabled(QuickDetailViewController* form, const QString& key)
    {
        FormElement* field = element(form, key);
        return field && field->isEnabled();
    }

    static Template* definitionNamed(const QString& name)
    {
        for (Template* definition : Template::getTemplates())
            if (definition->name().toString() == name)
                return definition;
        return nullptr;
    }

    // Fills the open form and saves it: the type first, as its list chooses it (the
    // type sets other fields), numbers as typed, the rest as the fixture fills them.
    bool save(ApplicationScreen* screen, QVariantMap values)
    {
        QuickDetailViewController* form = awaitedForm(screen);
        if (!form)
            return false;
        if (values.contains("type")) {
            chooseType(form, values.take("type").toString());
        }
        for (const QString& key : values.keys()) {
            if (auto* field = qobject_cast<FormDecimalElement*>(element(form, key)))
                field->setNumberValue(values.take(key).toLongLong());
        }
        return fillAndSave(screen, values);
    }

    void backTo(BaseViewController* screen)
    {
        navigation->popToViewController(screen, false);
        settle(100);
    }

    // Adds the definition through the Templates screen's add button and its form.
    bool addDefinition(ApplicationScreen* templates, const QVariantMap& values)
    {
        templates->dataController()->add(nullptr);
        const bool saved = save(templates, values);
        if (saved)
            reload(templates);
        return saved;
    }

    bool addColumn(ApplicationScreen* columns, const QVariantMap& values)
    {
        columns->dataController()->add(nullptr);
        const bool saved = save(columns, values);
        if (saved)
            reload(columns);
        return saved;
    }

    // Opens the column's form with a tap on its row's arrow.
    QuickDetailViewController* editColumn(ApplicationScreen* columns, const QString& name)
    {
        const int at = int(titles(columns).indexOf(name));
        if (at < 0)
            return nullptr;
        GestureSynthesizer::tap(tileView(columns, at, 2000));
        return awaitedForm(columns);
    }

    ApplicationScreen* home = nullptr;
};

TEST_P(Definitions, TheDefinitionFormChecksTilesAndPicksAnImageFromTheList)
{
    ApplicationScreen* templates = openTemplates();
    ASSERT_NE(templates, nullptr);
    EXPECT_TRUE(titles(templates).contains("Contacts"));
    ASSERT_TRUE(saveShot(QString("e2e-definitions-%1.png").arg(GetParam())));

    templates->dataController()->add(nullptr);
    QuickDetailViewController* form = awaitedForm(templates);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->title(), "Template Add");
    // A phone's grid has one tile per row: no field for it.
    EXPECT_EQ(element(form, "tilescolumns") != nullptr, tablet());
    ASSERT_TRUE(saveShot(QString("e2e-definition-form-%1.png").arg(GetParam())));
    closeForm(templates);

    if (tablet()) {
        for (const char* tiles : { "5", "0", "-3" }) {
            EXPECT_FALSE(addDefinition(templates,
                { { "name", "Novels" }, { "descr", "Read" }, { "tilescolumns", tiles } }));
            EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid Tiles Column" })) << tiles;
            closeForm(templates);
        }
    }
    // Every refusal in one message.
    EXPECT_FALSE(addDefinition(templates, { { "name", "Contacts" }, { "descr", "" } }));
    EXPECT_EQ(
        takeMessages(), QStringList({ "Information|Duplicate Entry.\r\nInvalid Description." }));
    closeForm(templates);
    QVariantMap books { { "name", "Novels" }, { "descr", "Read and unread" } };
    if (tablet())
        books.insert("tilescolumns", "4");
    ASSERT_TRUE(addDefinition(templates, books));
    Template* stored = definitionNamed("Novels");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->tilescolumns().toInt(), tablet() ? 4 : 1);
    // No image chosen: the definition's default, also on its tile.
    EXPECT_EQ(stored->image().toString(), "template");

    // Editing: the image row opens the list of the fifteen images.
    templates->setSelectedRow(titles(templates).indexOf("Novels"));
    templates->dataController()->edit(nullptr);
    form = awaitedForm(templates);
    ASSERT_NE(form, nullptr);
    auto* image = qobject_cast<FormLabelElement*>(element(form, "image"));
    ASSERT_NE(image, nullptr);
    tapRow(form, image);
    auto* list = dynamic_cast<ListSelectViewController*>(listOn(form));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->title(), "Image");
    EXPECT_EQ(list->dataController()->count(), 15);
    ASSERT_TRUE(saveShot(QString("e2e-definition-images-%1.png").arg(GetParam())));
    GestureSynthesizer::tap(tileView(list, int(titles(list).indexOf("finance")), 2000));
    settle(150);
    EXPECT_EQ(openedForm(templates), form);
    EXPECT_EQ(image->value().toString(), "finance");
    EXPECT_FALSE(image->image().isNull());
    form->onSave();
    settle(100);
    EXPECT_EQ(definitionNamed("Novels")->image().toString(), "finance");
}

TEST_P(Definitions, TheColumnFormFollowsTheTypeAndTheScreenNormalisesIt)
{
    ApplicationScreen* templates = openTemplates();
    ASSERT_NE(templates, nullptr);
    ASSERT_TRUE(addDefinition(templates, { { "name", "Novels" }, { "descr", "Read" } }));
    ASSERT_TRUE(open(templates, "Novels"));
    ApplicationScreen* columns = top();
    ASSERT_NE(columns, templates);
    EXPECT_EQ(columns->screen()->id, "Template Columns");

    columns->dataController()->add(nullptr);
    QuickDetailViewController* form = awaitedForm(columns);
    ASSERT_NE(form, nullptr);
    chooseType(form, "List");
    EXPECT_EQ(number(form, "length").toInt(), 0);
    EXPECT_FALSE(enabled(form, "length"));
    EXPECT_TRUE(enabled(form, "listvalues"));
    EXPECT_FALSE(enabled(form, "precision"));
    ASSERT_TRUE(saveShot(QString("e2e-column-list-%1.png").arg(GetParam())));
    chooseType(form, "Link");
    EXPECT_EQ(number(form, "length").toInt(), 1024);
    EXPECT_FALSE(enabled(form, "length"));
    EXPECT_FALSE(enabled(form, "listvalues"));
    ASSERT_TRUE(saveShot(QString("e2e-column-link-%1.png").arg(GetParam())));
    chooseType(form, "Date");
    EXPECT_EQ(number(form, "length").toInt(), 0);
    EXPECT_EQ(number(form, "precision").toInt(), 0);
    EXPECT_FALSE(
        enabled(form, "length") || enabled(form, "precision") || enabled(form, "listvalues"));
    EXPECT_TRUE(enabled(form, "reminder"));
    qobject_cast<FormBooleanElement*>(element(form, "reminder"))->setBoolValue(true);
    ASSERT_TRUE(saveShot(QString("e2e-column-date-%1.png").arg(GetParam())));
    chooseType(form, "Protected");
    EXPECT_FALSE(enabled(form, "reminder") || enabled(form, "sortfield"));
    EXPECT_FALSE(qobject_cast<FormBooleanElement*>(element(form, "reminder"))->boolValue());
    closeForm(columns);

    // A link is stored with its fixed length, whatever the form held.
    ASSERT_TRUE(addColumn(columns, { { "name", "Site" }, { "type", "Link" } }));
    // A list needs its values; no type says only that.
    EXPECT_FALSE(addColumn(columns, { { "name", "Kind" }, { "type", "List" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid List Values." }));
    closeForm(columns);
    EXPECT_FALSE(addColumn(columns,
        { { "name", "Price" }, { "type", "Currency" }, { "length", "-8" },
            { "precision", "30" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid Length.\r\nInvalid Precision." }));
    closeForm(columns);
    ASSERT_TRUE(addColumn(columns,
        { { "name", "Price" }, { "type", "Currency" }, { "length", "8" }, { "precision", "2" } }));
    EXPECT_FALSE(addColumn(columns, { { "name", "Site" }, { "type", "Text" }, { "length", "9" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Duplicate Entry." }));
    closeForm(columns);
    EXPECT_EQ(titles(columns), QStringList({ "Site", "Price" }));
    const auto stored = TemplateColumn::getColumns(definitionNamed("Novels")->id().toString());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0]->length().toInt(), 2000);
    EXPECT_EQ(stored[0]->precision().toInt(), 0);
    EXPECT_EQ(stored[1]->precision().toInt(), 2);
}

TEST_P(Definitions, AUsedDefinitionRefusesBreakingEditsAndDeletes)
{
    ApplicationScreen* templates = openTemplates();
    ASSERT_NE(templates, nullptr);
    ASSERT_TRUE(addDefinition(templates, { { "name", "Novels" }, { "descr", "Read" } }));
    ASSERT_TRUE(addDefinition(templates, { { "name", "Spare" }, { "descr", "Unused" } }));
    ASSERT_TRUE(open(templates, "Novels"));
    ApplicationScreen* columns = top();
    ASSERT_TRUE(
        addColumn(columns, { { "name", "Title" }, { "type", "Text" }, { "length", "50" } }));
    ASSERT_TRUE(
        addColumn(columns, { { "name", "Pages" }, { "type", "Numeric" }, { "length", "5" } }));
    ASSERT_TRUE(
        addColumn(columns, { { "name", "Note" }, { "type", "List" }, { "listvalues", "a,b" } }));
    const QString booksId = definitionNamed("Novels")->id().toString();

    // An unused definition: a text may change family, but never shrink.
    QuickDetailViewController* form = editColumn(columns, "Title");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->title(), "Column - Edit");
    EXPECT_FALSE(save(columns, { { "length", "20" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid Length." }));
    closeForm(columns);

    // A table made from it.
    backTo(home);
    ASSERT_TRUE(addTable(home, "Library", booksId));
    ASSERT_TRUE(open(home, "Library"));
    back();
    auto* homeController = controllerOf<MainDataController>(home);
    homeController->settings(nullptr);
    settle(100);
    MainCollectionViewController* list = listOn(home);
    ASSERT_NE(list, nullptr);
    GestureSynthesizer::tap(tileView(list, int(titles(list).indexOf("Templates")), 2000));
    settle(150);
    templates = top();
    ASSERT_TRUE(open(templates, "Novels"));
    columns = top();

    ASSERT_NE(editColumn(columns, "Title"), nullptr);
    EXPECT_FALSE(save(columns, { { "type", "Numeric" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid Type." }));
    closeForm(columns);
    ASSERT_NE(editColumn(columns, "Pages"), nullptr);
    EXPECT_TRUE(save(columns, { { "type", "Currency" } }));
    ASSERT_NE(editColumn(columns, "Note"), nullptr);
    EXPECT_TRUE(save(columns, { { "type", "Protected" }, { "length", "40" } }));
    reload(columns);
    EXPECT_EQ(TemplateColumn::getColumns(booksId)[1]->type().toString(), "Currency");
    EXPECT_EQ(TemplateColumn::getColumns(booksId)[2]->type().toString(), "Protected");

    // A refused save puts the column back as stored: a later save carries none of it.
    ASSERT_NE(editColumn(columns, "Title"), nullptr);
    EXPECT_FALSE(save(columns, { { "name", "" }, { "length", "80" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid Name." }));
    TemplateColumn* title = TemplateColumn::getColumns(booksId)[0];
    EXPECT_EQ(title->name().toString(), "Title");
    EXPECT_EQ(title->length().toInt(), 50);
    EXPECT_EQ(titles(columns).value(0), "Title");
    closeForm(columns);
    ASSERT_NE(editColumn(columns, "Pages"), nullptr);
    EXPECT_TRUE(save(columns, { { "mandatory", true } }));
    EXPECT_EQ(TemplateColumn::getColumns(booksId)[0]->length().toInt(), 50);

    // Deletes of a used definition and of its columns are refused.
    columns->setSelectedRow(0);
    EXPECT_FALSE(columns->dataController()->deleteRow());
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Template in use." }));
    EXPECT_EQ(TemplateColumn::getColumns(booksId).size(), 3);
    back();
    templates->setSelectedRow(titles(templates).indexOf("Novels"));
    EXPECT_FALSE(templates->dataController()->deleteRow());
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Template in use." }));

    // The unused one goes, after the confirmation, with its columns.
    const QString spareId = definitionNamed("Spare")->id().toString();
    templates->setSelectedRow(titles(templates).indexOf("Spare"));
    templates->dataController()->remove(nullptr);
    settle();
    platform::ui::AlertView* confirm = alertTitled("Confirmation");
    ASSERT_NE(confirm, nullptr);
    confirm->dismissWithClickedButtonIndex(1, false);
    settle(100);
    EXPECT_FALSE(titles(templates).contains("Spare"));
    EXPECT_EQ(Template::getTemplate(spareId), nullptr);
    EXPECT_TRUE(TemplateColumn::getColumns(spareId).isEmpty());
}

TEST_P(Definitions, ColumnsReorderByDraggingAndThroughTheOrdering)
{
    ApplicationScreen* templates = openTemplates();
    ASSERT_NE(templates, nullptr);
    ASSERT_TRUE(addDefinition(templates, { { "name", "Novels" }, { "descr", "Read" } }));
    ASSERT_TRUE(open(templates, "Novels"));
    ApplicationScreen* columns = top();
    for (const char* name : { "One", "Two", "Three" })
        ASSERT_TRUE(addColumn(columns, { { "name", name }, { "type", "Date" } }));
    const QString booksId = definitionNamed("Novels")->id().toString();
    const auto stored = [&] {
        QStringList names;
        for (TemplateColumn* column : TemplateColumn::getColumns(booksId))
            names << column->name().toString() + "@" + column->order().toString();
        return names;
    };
    EXPECT_EQ(stored(), QStringList({ "One@0", "Two@1", "Three@2" }));

    const auto centreOf = [&](int item) {
        auto* cell
            = columns->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(item, 0));
        return cell ? cell->frame().center() - columns->collectionView()->contentOffset()
                    : QPointF();
    };
    GestureSynthesizer::longPressDrag(columns->collectionView(), centreOf(2), centreOf(0));
    settle(100);
    EXPECT_EQ(titles(columns), QStringList({ "Three", "One", "Two" }));
    EXPECT_EQ(stored(), QStringList({ "Three@0", "One@1", "Two@2" }));

    // The ordering form hands back the ids in their new order.
    auto* controller = controllerOf<TemplateColumnDataController>(columns);
    ASSERT_NE(controller, nullptr);
    QStringList ids = controller->getOrderingData().keyEnumerator();
    ASSERT_EQ(ids.size(), 3);
    ids.move(0, 2);
    ASSERT_TRUE(controller->onOrderingComplete(ids));
    settle(100);
    EXPECT_EQ(stored(), QStringList({ "One@0", "Two@1", "Three@2" }));
    EXPECT_EQ(titles(columns), QStringList({ "One", "Two", "Three" }));
}

INSTANTIATE_TEST_SUITE_P(Devices, Definitions, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
