#include "ColourFixture.h"

#include "forms/ColorDetailViewController.h"
#include "forms/FormButtonElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormTableView.h"
#include "model/CloudStoreManager.h"
#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/KivotabPrefernces.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/ui/Toolbar.h"
#include "screens/ApplicationState.h"
#include "screens/ColorDataController.h"
#include "style/ColorDictionaries.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/store/KivoLibContext.h"
#include "widgets/ColorPickerController.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/VerticalMenuViewController.h"

#include <QHash>
#include <QLineEdit>
#include <QTest>

namespace e2e {

namespace {

struct Colours : ColourApp {
    // Types into the name field as a person would: the old text selected and typed over.
    static void typeName(QuickDetailViewController* form, const QString& text)
    {
        FormElement* name = element(form, "name");
        ASSERT_NE(name, nullptr);
        tapRow(form, name);
        platform::ui::TableViewCell* cell = form->formTableView()->cellForElement(name);
        ASSERT_NE(cell, nullptr);
        auto* field = cell->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        settle(60);
        ASSERT_EQ(nameIn(form), text);
    }
};

TEST_P(Colours, TheListIsTheColourTableAndDictionariesAreOnlyRead)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    Database* database = ApplicationState::database();
    ASSERT_NE(database, nullptr);
    const QString databaseId = database->id().toString();
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    auto* controller = controllerOf<ColorDataController>(screen);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(screen->title(), "#Household");

    // A look stores nothing: the colour table is made with the first colour saved.
    EXPECT_EQ(controller->userTemplate(), nullptr);
    EXPECT_EQ(UserTemplate::getUserTemplates(databaseId).size(), 1);
    EXPECT_TRUE(titles(screen).isEmpty());

    // A new colour: no swatches, the picker starts at black and proposes a name.
    GestureSynthesizer::tap(barButton(screen, Add));
    auto* form = dynamic_cast<ColorDetailViewController*>(awaitedForm(screen));
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(qobject_cast<FormLabelElement*>(element(form, "color"))->image().isNull());
    EXPECT_TRUE(qobject_cast<FormLabelElement*>(element(form, "hex"))->image().isNull());
    tapElement(form, "color");
    ASSERT_NE(form->colorPicker(), nullptr);
    EXPECT_EQ(UIColor_Expanded::hexStringValue(form->colorPicker()->selectedColor()), "000000");
    ASSERT_TRUE(shot(QString("colours-form-picker-%1.png").arg(GetParam())));
    const Color red = Color::colorWithRed(1, 0, 0);
    form->colorPicker()->setSelectedColor(red);
    form->colorPicker()->saveButtonPressed();
    settle(100);
    EXPECT_EQ(form->colorPicker(), nullptr);
    EXPECT_EQ(nameIn(form), UIColor_Expanded::closestColorName(red));
    EXPECT_EQ(valueOf(form, "color").toString(), UIColor_Expanded::stringValue(red));
    EXPECT_EQ(valueOf(form, "hex").toString(), "FF0000");
    EXPECT_FALSE(qobject_cast<FormLabelElement*>(element(form, "hex"))->image().isNull());
    ASSERT_TRUE(shot(QString("colours-form-swatches-%1.png").arg(GetParam())));
    ASSERT_TRUE(fillAndSave(screen, { { "name", "Fire" } }));
    EXPECT_EQ(titles(screen), QStringList({ "Fire" }));
    // Its own table made from the colour definition, not the first table (Friends).
    UserTemplate* table = controller->userTemplate();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->template_id().toString(), DefaultContent::ColorListTemplateId);
    EXPECT_EQ(table->database_id().toString(), databaseId);
    EXPECT_EQ(UserTemplate::getUserTemplates(databaseId).size(), 2);

    // Editing: Cancel keeps everything; Save changes the colour, not the row's name.
    screen->setSelectedRow(0);
    GestureSynthesizer::tap(barButton(screen, Edit));
    form = dynamic_cast<ColorDetailViewController*>(awaitedForm(screen));
    ASSERT_NE(form, nullptr);
    tapElement(form, "color");
    ASSERT_NE(form->colorPicker(), nullptr);
    EXPECT_EQ(UIColor_Expanded::hexStringValue(form->colorPicker()->selectedColor()), "FF0000");
    form->colorPicker()->setSelectedColor(Color::colorWithRed(0, 0, 1));
    form->colorPicker()->cancelButtonPressed();
    settle(100);
    EXPECT_EQ(nameIn(form), "Fire");
    EXPECT_EQ(valueOf(form, "hex").toString(), "FF0000");
    tapElement(form, "color");
    form->colorPicker()->setSelectedColor(Color::colorWithRed(0, 0, 1));
    form->colorPicker()->saveButtonPressed();
    settle(100);
    EXPECT_EQ(nameIn(form), "Fire");
    EXPECT_EQ(valueOf(form, "hex").toString(), "0000FF");
    // Saved under its own name it is no duplicate.
    ASSERT_TRUE(fillAndSave(screen, { { "name", "Fire" } }));
    // Another colour of that name is.
    GestureSynthesizer::tap(barButton(screen, Add));
    EXPECT_FALSE(fillAndSave(screen, { { "name", "Fire" } }));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Duplicate Entry." }));
    closeForm(screen);
    reload(screen);
    EXPECT_EQ(titles(screen), QStringList({ "Fire" }));

    // The source menu: the list, then every dictionary but "Base".
    QStringList expected { "#Household" };
    for (const QString& name : UIColor_Expanded::availableColorDictionaries())
        if (name != "Base")
            expected << name;
    EXPECT_EQ(source(screen), expected);
    ASSERT_EQ(source(screen, "Crayon").size(), expected.size());
    EXPECT_EQ(screen->title(), "Crayon");
    const ColorDictionary* crayon = UIColor_Expanded::colorDictionaryNamed("Crayon");
    EXPECT_EQ(controller->count(), crayon->count());
    const QString first = crayon->entries().first().name;
    EXPECT_EQ(titles(screen).value(0), first);
    ASSERT_TRUE(shot(QString("colours-dictionary-%1.png").arg(GetParam())));

    // Nothing of a dictionary is added, edited or removed.
    screen->setSelectedRow(0);
    const QStringList stored = storedTexts();
    for (int button : { Add, Edit, Remove })
        if (platform::ui::View* view = barButton(screen, button))
            GestureSynthesizer::tap(view);
    settle(100);
    EXPECT_EQ(openedForm(screen), nullptr);
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().isEmpty());
    EXPECT_EQ(storedTexts(), stored);

    // A dictionary colour not in the list is added to it; the screen shows the list.
    ASSERT_TRUE(open(screen, first));
    form = dynamic_cast<ColorDetailViewController*>(awaitedForm(screen));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(controller->lastClickedButton(), BaseDataController::AddAction);
    EXPECT_EQ(nameIn(form), first);
    EXPECT_EQ(valueOf(form, "hex").toString(), crayon->entries().first().value.toUpper());
    ASSERT_TRUE(fillAndSave(screen, {}));
    EXPECT_EQ(screen->title(), "#Household");
    EXPECT_EQ(titles(screen), QStringList({ first, "Fire" })) << "sorted by name";

    // One already in the list is edited there.
    source(screen, "Crayon");
    ASSERT_TRUE(open(screen, first));
    EXPECT_EQ(controller->lastClickedButton(), BaseDataController::EditAction);
    ASSERT_NE(awaitedForm(screen), nullptr);
    ASSERT_TRUE(fillAndSave(screen, {}));
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(titles(screen), QStringList({ first, "Fire" })) << "sorted by name";
    ASSERT_TRUE(shot(QString("colours-list-%1.png").arg(GetParam())));
    GestureSynthesizer::tap(barButton(screen, Source));
    settle(100);
    ASSERT_TRUE(shot(QString("colours-menu-%1.png").arg(GetParam())));
}

TEST_P(Colours, ApplyMakesTheSelectedColourTheBarAndImageTheme)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    KivotabPrefernces* settings = ApplicationState::preferences();
    source(screen, "CSS");
    const QColor before = toolbarColour();

    // Without a selection nothing happens.
    screen->setSelectedRow(-1);
    GestureSynthesizer::tap(barButton(screen, Apply));
    settle(100);
    EXPECT_EQ(settings->bartheme().toString(), "Blue");
    EXPECT_TRUE(near(toolbarColour(), before));

    // A dictionary colour, not in the list, applies as it is.
    auto* controller = controllerOf<ColorDataController>(screen);
    QStringList names;
    for (const ColorDictionary::Entry& entry :
        UIColor_Expanded::colorDictionaryNamed("CSS")->entries())
        names << entry.name;
    const qint64 at = names.indexOf("orange");
    ASSERT_GE(at, 0);
    screen->setSelectedRow(at);
    GestureSynthesizer::tap(barButton(screen, Apply));
    settle(150);
    const QVariantMap orange = controller->getDictionaryForColor("orange");
    EXPECT_EQ(settings->imagetheme().toString(), "orange");
    EXPECT_EQ(settings->bartheme().toString(), "orange");
    EXPECT_EQ(settings->imagethemeColor().toMap(), orange);
    EXPECT_EQ(settings->barthemeColor().toMap(), orange);
    EXPECT_EQ(orange.value(DefaultContent::ColorHexColumnId).toString(), "FFA500");
    EXPECT_TRUE(near(toolbarColour(), QColor(0xFF, 0xA5, 0x00)))
        << toolbarColour().name().toStdString();
    EXPECT_TRUE(controller->getColorForName("orange") == nullptr);
}

TEST_P(Colours, AProtectedColourTableIsNeitherReadNorWritten)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_TRUE(fillAndSave(screen, { { "name", "Fire" } }));
    UserTemplate* table = controllerOf<ColorDataController>(screen)->userTemplate();
    table->setIsprotected(true);
    ASSERT_TRUE(table->saveUserTemplate());
    const QStringList stored = storedTexts();
    back();

    const QString said = QStringLiteral("Information|") + ColorDataController::ProtectedList;
    ASSERT_TRUE(chooseOption(home, "Colors"));
    screen = top();
    EXPECT_EQ(takeMessages(), QStringList({ said }));
    EXPECT_TRUE(titles(screen).isEmpty());
    GestureSynthesizer::tap(barButton(screen, Add));
    EXPECT_EQ(takeMessages(), QStringList({ said }));
    EXPECT_EQ(openedForm(screen), nullptr);
    // Nor through a dictionary colour.
    source(screen, "CSS");
    ASSERT_TRUE(open(screen, titles(screen).value(0)));
    EXPECT_EQ(takeMessages(), QStringList({ said }));
    EXPECT_EQ(openedForm(screen), nullptr);
    EXPECT_EQ(storedTexts(), stored);
}

TEST_P(Colours, TheDefinitionIsFoundAgainAfterTheStoreReloads)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    auto* controller = controllerOf<ColorDataController>(screen);
    const QString title = controller->getTitle();
    ASSERT_FALSE(title.isEmpty());

    ApplicationState::cloudStoreManager()->reloadStore();
    ASSERT_TRUE(testsupport::waitUntil([&] { return delegate->isStoreReady(); }, 30000));
    settle(300);
    takeMessages();
    Template* definition = ColorDataController::colorTemplate();
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(definition->managedObjectContext(), KivoLib::currentContext());
    EXPECT_EQ(controller->getTitle(), title);
    // The colours still go into the reloaded store.
    if (top() != screen)
        return;
    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_TRUE(fillAndSave(screen, { { "name", "After" } }));
    EXPECT_TRUE(storedTextsHold("After"));
}

TEST_P(Colours, ADatabaseWithoutTablesGetsTheDefaultDefinitionsWithItsFirstColour)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Empty", "Nothing yet"));
    ASSERT_TRUE(open(databases, "Empty"));
    ApplicationScreen* home = top();
    const QString databaseId = ApplicationState::database()->id().toString();
    ASSERT_TRUE(UserTemplate::getUserTemplates(databaseId).isEmpty());
    const QStringList stored = storedTexts();
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    // Looking, at the list and at a dictionary, makes no table.
    source(screen, "Crayon");
    back();
    screen = colours(home);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(UserTemplate::getUserTemplates(databaseId).isEmpty());
    EXPECT_EQ(storedTexts(), stored);

    // The first colour saved, here one of a dictionary, brings them.
    const QString first = UIColor_Expanded::colorDictionaryNamed("Crayon")->entries().first().name;
    source(screen, "Crayon");
    ASSERT_TRUE(open(screen, first));
    ASSERT_NE(awaitedForm(screen), nullptr);
    EXPECT_TRUE(UserTemplate::getUserTemplates(databaseId).isEmpty());
    ASSERT_TRUE(fillAndSave(screen, {}));
    EXPECT_EQ(screen->title(), "#Empty");
    EXPECT_EQ(titles(screen), QStringList({ first }));
    int system = 0;
    for (Template* definition : Template::getTemplates())
        system += definition->issystem().toBool() ? 1 : 0;
    const QList<UserTemplate*> tables = UserTemplate::getUserTemplates(databaseId);
    EXPECT_EQ(tables.size(), system);
    EXPECT_EQ(std::count_if(tables.cbegin(), tables.cend(),
                  [](UserTemplate* table) {
                      return table->template_id().toString() == DefaultContent::ColorListTemplateId;
                  }),
        1);
    // The next colours go into the same table.
    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_TRUE(fillAndSave(screen, { { "name", "Moss" } }));
    back();
    ASSERT_NE(colours(home), nullptr);
    EXPECT_EQ(titles(top()).size(), 2);
    EXPECT_EQ(UserTemplate::getUserTemplates(databaseId).size(), system);
}

TEST_P(Colours, ANewColourThatIsNotSavedMakesNoTableAndTheListKeepsItsLayout)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    const QString databaseId = ApplicationState::database()->id().toString();
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    // The list is laid out by the colour definition all the same.
    auto* controller = controllerOf<ColorDataController>(screen);
    const unsigned perRow = GenericTemplateDataController::tilesPerRow(
        ColorDataController::colorTemplate()->tilescolumns());
    EXPECT_EQ(controller->ipadColumns(), perRow);
    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_NE(awaitedForm(screen), nullptr);
    // Refused for want of a name: nothing is stored, the table neither.
    EXPECT_FALSE(fillAndSave(screen, {}));
    EXPECT_EQ(takeMessages().size(), 1);
    closeForm(screen);
    EXPECT_EQ(UserTemplate::getUserTemplates(databaseId).size(), 1);
    // Nor when the form is closed.
    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_NE(awaitedForm(screen), nullptr);
    closeForm(screen);
    EXPECT_EQ(UserTemplate::getUserTemplates(databaseId).size(), 1);
    EXPECT_EQ(controller->userTemplate(), nullptr);

    GestureSynthesizer::tap(barButton(screen, Add));
    ASSERT_TRUE(fillAndSave(screen, { { "name", "Fern" } }));
    EXPECT_EQ(titles(screen), QStringList({ "Fern" }));
    EXPECT_EQ(controller->ipadColumns(), perRow);
}

TEST_P(Colours, TheNearestNameFillsOnlyAnEmptyNameOrItsLastProposal)
{
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    GestureSynthesizer::tap(barButton(screen, Add));
    auto* form = dynamic_cast<ColorDetailViewController*>(awaitedForm(screen));
    ASSERT_NE(form, nullptr);
    const auto pick = [&](const Color& colour) {
        tapElement(form, "color");
        ASSERT_NE(form->colorPicker(), nullptr);
        form->colorPicker()->setSelectedColor(colour);
        form->colorPicker()->saveButtonPressed();
        settle(100);
    };
    const Color sea = Color::colorWithRed(0x2E / 255.0, 0x8B / 255.0, 0x57 / 255.0);
    const Color red = Color::colorWithRed(1, 0, 0);
    const Color blue = Color::colorWithRed(0, 0, 1);
    ASSERT_NE(UIColor_Expanded::closestColorName(sea), "Leaf");
    ASSERT_NE(UIColor_Expanded::closestColorName(red), UIColor_Expanded::closestColorName(blue));

    // A typed name stays whatever colour is chosen.
    typeName(form, "Leaf");
    pick(sea);
    EXPECT_EQ(nameIn(form), "Leaf");
    EXPECT_EQ(valueOf(form, "hex").toString(), "2E8B57");
    ASSERT_TRUE(shot(QString("colours-typed-name-kept-%1.png").arg(GetParam())));

    // An emptied name takes the proposal, and the next while it is still the proposal.
    typeName(form, "");
    pick(red);
    EXPECT_EQ(nameIn(form), UIColor_Expanded::closestColorName(red));
    pick(blue);
    EXPECT_EQ(nameIn(form), UIColor_Expanded::closestColorName(blue));
    // Changed by the user it is his again.
    typeName(form, "Sky");
    pick(red);
    EXPECT_EQ(nameIn(form), "Sky");
    // Blanks are no name.
    typeName(form, "  ");
    pick(sea);
    EXPECT_EQ(nameIn(form), UIColor_Expanded::closestColorName(sea));

    typeName(form, "Leaf");
    ASSERT_TRUE(fillAndSave(screen, {}));
    EXPECT_EQ(titles(screen), QStringList({ "Leaf" }));

    // An edit keeps the row's name as well.
    screen->setSelectedRow(0);
    GestureSynthesizer::tap(barButton(screen, Edit));
    form = dynamic_cast<ColorDetailViewController*>(awaitedForm(screen));
    ASSERT_NE(form, nullptr);
    pick(red);
    EXPECT_EQ(nameIn(form), "Leaf");
    EXPECT_EQ(valueOf(form, "hex").toString(), "FF0000");
}

TEST_P(Colours, TheFormShowsOnlyTheThreeColourColumns)
{
    TemplateColumn* notes = TemplateColumn::add(DefaultContent::ColorListTemplateId);
    ASSERT_NE(notes, nullptr);
    notes->setName("Notes");
    notes->setType(TypeConstants::Text);
    notes->setLength(40);
    notes->setOrder(9);
    ASSERT_TRUE(notes->saveTemplateColumn());
    ApplicationScreen* home = household();
    ASSERT_NE(home, nullptr);
    ApplicationScreen* screen = colours(home);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(controllerOf<ColorDataController>(screen)->Columns().size(), 4);
    GestureSynthesizer::tap(barButton(screen, Add));
    QuickDetailViewController* form = awaitedForm(screen);
    ASSERT_NE(form, nullptr);
    QStringList binds;
    for (const auto& item : form->root()->sections().first()->elements())
        if (!item->bind().isEmpty())
            binds << item->bind();
    EXPECT_EQ(binds,
        QStringList({ "textValue:" + DefaultContent::ColorNameColumnId,
            "value:" + DefaultContent::ColorValueColumnId,
            "value:" + DefaultContent::ColorHexColumnId }));
}

INSTANTIATE_TEST_SUITE_P(Devices, Colours, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
