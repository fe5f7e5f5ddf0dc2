#include "TwoMachinesFixture.h"

#include "forms/FormDecimalElement.h"
#include "forms/FormRadioElement.h"
#include "grid/ListSelectViewController.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "screens/MainDataController.h"
#include "widgets/SimplePopupViewController.h"

namespace e2e {
// Named: the sources of a test binary are compiled in batches.
namespace twomachines {

// The default Contacts definition and its columns.
const QString kContacts = QStringLiteral("7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A");
const QString kName = QStringLiteral("319525EF-176E-4462-93BA-68EB30D7D6E7");
const QString kPhone = QStringLiteral("89C20BFE-16C0-4414-A9FD-40BDB2692BD2");

struct TwoMachines : TwoMachinesFixture {
    // The other machine's steps every case here uses.
    void nameCommonSteps()
    {
        // "<database>/<table>": opens the table once it has arrived.
        other.addStep("open", [this](const QString& path) {
            return openTable(path.section('/', 0, 0), path.section('/', 1))
                ? QString()
                : "could not open " + path;
        });
        // "<values>": waits until the open table shows a row with the values.
        other.addStep("expect", [this](const QString& values) {
            return within([&] { return holdsRow(decode(values)); }, "a row " + values);
        });
        // "<name>|<values>": edits the row of that name in its form.
        other.addStep("edit", [this](const QString& argument) {
            if (!selectRowWhere(kName, argument.section('|', 0, 0)))
                return "no row " + argument.section('|', 0, 0);
            ApplicationScreen* rows = rowsScreen();
            rows->dataController()->edit(nullptr);
            return fillAndSave(rows, decode(argument.section('|', 1)))
                ? QString()
                : QStringLiteral("not saved");
        });
        // "<values>": adds a row through the add button and its form.
        other.addStep("add", [this](const QString& values) {
            return addRow(rowsScreen(), decode(values)) ? QString() : QStringLiteral("not added");
        });
        // "<count>": waits until the open table shows that many rows.
        other.addStep("count", [this](const QString& count) {
            return within([&] { return rowValues().size() == count.toInt(); }, count + " rows");
        });
    }

    // The columns screen of the definition, through Home's settings and Templates.
    ApplicationScreen* openColumns(ApplicationScreen* home, const QString& definition)
    {
        navigation->popToViewController(home, false);
        settle(100);
        controllerOf<MainDataController>(home)->settings(nullptr);
        settle(100);
        MainCollectionViewController* list = listOn(home);
        const int at = list ? int(titles(list).indexOf("Templates")) : -1;
        if (at < 0)
            return nullptr;
        GestureSynthesizer::tap(tileView(list, at, 2000));
        settle(150);
        ApplicationScreen* templates = top();
        if (!templates || templates->screen()->id != "Templates")
            return nullptr;
        if (!titles(templates).contains(definition)) {
            templates->dataController()->add(nullptr);
            if (!fillAndSave(templates, { { "name", definition }, { "descr", "Club members" } }))
                return nullptr;
            reload(templates);
        }
        if (!open(templates, definition))
            return nullptr;
        ApplicationScreen* columns = top();
        return columns != templates ? columns : nullptr;
    }

    // Fills the column form, its type as its list picks it, and saves it.
    bool saveColumn(ApplicationScreen* columns, QVariantMap values)
    {
        QuickDetailViewController* form = awaitedForm(columns);
        if (!form)
            return false;
        if (values.contains("type")) {
            auto* picker = qobject_cast<FormRadioElement*>(element(form, "type"));
            if (!picker)
                return false;
            picker->setSelectedItem(values.take("type").toString());
            picker->fieldDidEndEditing();
            settle();
        }
        for (const QString& key : values.keys()) {
            if (auto* field = qobject_cast<FormDecimalElement*>(element(form, key)))
                field->setNumberValue(values.take(key).toLongLong());
        }
        const bool saved = fillAndSave(columns, values);
        if (saved)
            reload(columns);
        else
            ADD_FAILURE() << takeMessages().join('\n').toStdString();
        return saved;
    }

    static QString columnId(const QString& definition, const QString& name)
    {
        for (Template* found : Template::getTemplates()) {
            if (found->name().toString() != definition)
                continue;
            for (TemplateColumn* column : TemplateColumn::getColumns(found->id().toString()))
                if (column->name().toString() == name)
                    return column->id().toString();
        }
        return {};
    }

    // A database and a Contacts table made on this machine through its screens, with its
    // rows screen left open.
    ApplicationScreen* makeTable(const QString& database, const QString& table)
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, database, "Shared between machines")
            || !open(databases, database))
            return nullptr;
        ApplicationScreen* home = top();
        if (!addTable(home, table, kContacts) || !open(home, table))
            return nullptr;
        return top();
    }

    // Both machines running, with a table made here holding Bob open on both: its rows
    // screen here, or null with the test failed.
    ApplicationScreen* startWithBobOpenOnBoth()
    {
        nameCommonSteps();
        if (!startOtherMachine()) {
            ADD_FAILURE() << "the other machine did not start: " << other.report();
            return nullptr;
        }
        const QVariantMap bob { { kName, "Bob" }, { kPhone, "555" } };
        ApplicationScreen* rows = makeTable("Household", "Friends");
        if (!rows || !addRow(rows, bob)) {
            ADD_FAILURE() << "the table holding Bob was not made here";
            return nullptr;
        }
        ::testing::AssertionResult shown = onOther("open", "Household/Friends");
        if (shown)
            shown = onOther("expect", encode(bob));
        if (!shown) {
            ADD_FAILURE() << shown.message();
            return nullptr;
        }
        return rows;
    }
};

// Both machines have one table open. The other machine's edit of a row shows here while
// the table stays open, and an edit of another field made here afterwards keeps it, on
// both machines: neither saves the values it had before the other's edit arrived.
TEST_P(TwoMachines, AnEditFromTheOtherMachineShowsHereAndTheNextEditHereKeepsIt)
{
    ApplicationScreen* rows = startWithBobOpenOnBoth();
    ASSERT_NE(rows, nullptr);

    ASSERT_TRUE(onOther("edit", "Bob|" + encode({ { kPhone, "777" } })));
    // Here, with the table open all along.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return holdsRow({ { kName, "Bob" }, { kPhone, "777" } });
        },
        ArrivalMs))
        << "the other machine's edit did not show";
    ASSERT_TRUE(awaitTitle(rows, "Bob"));
    ASSERT_TRUE(selectRowWhere(kName, "Bob"));
    rows->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(rows, { { kName, "Bob Stone" } }));
    EXPECT_TRUE(holdsRow({ { kName, "Bob Stone" }, { kPhone, "777" } }));
    EXPECT_TRUE(onOther("expect", encode({ { kName, "Bob Stone" }, { kPhone, "777" } })));
    // The later edit stays here too once both have seen everything.
    testsupport::processEvents(300);
    EXPECT_TRUE(holdsRow({ { kName, "Bob Stone" }, { kPhone, "777" } }));
    EXPECT_EQ(rowValues().size(), 1);
}

// A column renamed and one added here, while the other machine has the table open with a
// row's form open: its open table takes them at once. A value entered here in the new
// column of the other machine's row stays when that machine then saves another field of the
// row from the form it had open, on both machines.
TEST_P(TwoMachines, AColumnAddedHereReachesTheOtherMachinesOpenTableAndItsValueStays)
{
    nameCommonSteps();
    // "<name>": opens the form of the row of that name, and leaves it open.
    other.addStep("openForm", [this](const QString& rowName) {
        const QString nameId = columnId("Members", "Name");
        if (!selectRowWhere(nameId, rowName))
            return "no row " + rowName;
        ApplicationScreen* rows = rowsScreen();
        rows->dataController()->edit(nullptr);
        return awaitedForm(rows) ? QString() : QStringLiteral("no form");
    });
    // "<values>": types the values into the open form and saves it.
    other.addStep("saveForm", [this](const QString& values) {
        ApplicationScreen* rows = rowsScreen();
        return rows && fillAndSave(rows, decode(values)) ? QString() : QStringLiteral("not saved");
    });
    // "<header,header>": waits until the open table's column headers are these.
    other.addStep("headers", [this](const QString& headers) {
        return within(
            [&] {
                auto* controller = controllerOf<GenericTemplateDataController>(rowsScreen());
                return controller && controller->columnHeaders().join(',') == headers;
            },
            headers);
    });
    // "<text>": waits until a tile of the open table shows the text on a line.
    other.addStep("line", [this](const QString& text) {
        return within(
            [&] {
                ApplicationScreen* rows = rowsScreen();
                if (!rows || navigation->topViewController() != rows)
                    return false;
                settle();
                for (int item = 0; item < rows->collectionView()->numberOfItemsInSection(0); ++item)
                    for (int tag = 3000; tag < 3006; ++tag)
                        if (auto* line
                            = qobject_cast<platform::ui::Label*>(tileView(rows, item, tag));
                            line && line->text() == text)
                            return true;
                return false;
            },
            "a line " + text);
    });
    ASSERT_TRUE(startOtherMachine()) << other.report();

    // A definition of two columns in the tiles, and a table of it, made here.
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Club", "Shared between machines"));
    ASSERT_TRUE(open(databases, "Club"));
    ApplicationScreen* home = top();
    ApplicationScreen* columns = openColumns(home, "Members");
    ASSERT_NE(columns, nullptr);
    for (const char* name : { "Name", "Phone" }) {
        columns->dataController()->add(nullptr);
        ASSERT_TRUE(saveColumn(columns,
            { { "name", name }, { "type", "Text" }, { "length", "40" }, { "intiles", true } }));
    }
    navigation->popToViewController(home, false);
    settle(100);
    Template* members = nullptr;
    for (Template* found : Template::getTemplates())
        if (found->name().toString() == "Members")
            members = found;
    ASSERT_NE(members, nullptr);
    ASSERT_TRUE(addTable(home, "Team", members->id().toString()));
    const QString nameId = columnId("Members", "Name");
    const QString phoneId = columnId("Members", "Phone");

    // There: the table open, a row added, and its form open again.
    ASSERT_TRUE(onOther("open", "Club/Team"));
    ASSERT_TRUE(onOther("add", encode({ { nameId, "Bob" }, { phoneId, "555" } })));
    ASSERT_TRUE(onOther("openForm", "Bob"));

    // Here: Phone renamed, Email added in the tiles, and a value in it for Bob.
    columns = openColumns(home, "Members");
    ASSERT_NE(columns, nullptr);
    const int phone = int(titles(columns).indexOf("Phone"));
    ASSERT_GE(phone, 0);
    GestureSynthesizer::tap(tileView(columns, phone, 2000));
    ASSERT_TRUE(saveColumn(columns, { { "name", "Mobile" } }));
    columns->dataController()->add(nullptr);
    ASSERT_TRUE(saveColumn(columns,
        { { "name", "Email" }, { "type", "Text" }, { "length", "60" }, { "intiles", true } }));
    const QString emailId = columnId("Members", "Email");
    ASSERT_FALSE(emailId.isEmpty());
    ApplicationScreen* rows = openTable("Club", "Team");
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return rowWhere(nameId, "Bob") >= 0; }, ArrivalMs));
    ASSERT_TRUE(selectRowWhere(nameId, "Bob"));
    rows->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(rows, { { emailId, "bob@club.example" } }));

    // There: the open table has taken the columns and the value, and the form opened before
    // they came saves its field.
    EXPECT_TRUE(onOther("headers", "Name,Mobile,Email"));
    EXPECT_TRUE(onOther("expect", encode({ { nameId, "Bob" }, { emailId, "bob@club.example" } })));
    ASSERT_TRUE(onOther("saveForm", encode({ { phoneId, "888" } })));
    const QVariantMap all { { nameId, "Bob" }, { phoneId, "888" },
        { emailId, "bob@club.example" } };
    EXPECT_TRUE(onOther("expect", encode(all)));
    EXPECT_TRUE(onOther("line", "bob@club.example"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return holdsRow(all); }, ArrivalMs))
        << "the other machine's save did not arrive with the value entered here";
    testsupport::processEvents(300);
    EXPECT_TRUE(holdsRow(all));
    EXPECT_EQ(rowValues().size(), 1);
}

// A row is being added here, over a row chosen (just edited), when the other machine's new
// row arrives and the list reloads under the form: Save adds the row, and the chosen row
// stays as it was, on both machines.
TEST_P(TwoMachines, ARowBeingAddedWhenTheOtherMachinesRowArrivesIsAddedAndTheChosenRowStays)
{
    ApplicationScreen* rows = startWithBobOpenOnBoth();
    ASSERT_NE(rows, nullptr);

    ASSERT_TRUE(selectRowWhere(kName, "Bob"));
    rows->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(rows, { { kPhone, "556" } }));
    ASSERT_TRUE(selectRowWhere(kName, "Bob"));
    rows->dataController()->add(nullptr);
    ASSERT_TRUE(fill(rows, { { kName, "Frank" }, { kPhone, "111" } }));

    ASSERT_TRUE(onOther("add", encode({ { kName, "Gina" }, { kPhone, "222" } })));
    ASSERT_TRUE(testsupport::waitUntil([&] { return rowWhere(kName, "Gina") >= 0; }, ArrivalMs));
    settle(100);
    ASSERT_NE(shownForm(rows), nullptr) << "the form closed";
    EXPECT_EQ(rows->selectedRow(), rowWhere(kName, "Bob"));
    ASSERT_TRUE(saveForm(rows));
    reload(rows);

    const QVariantMap bob { { kName, "Bob" }, { kPhone, "556" } };
    const QVariantMap frank { { kName, "Frank" }, { kPhone, "111" } };
    const QVariantMap gina { { kName, "Gina" }, { kPhone, "222" } };
    EXPECT_TRUE(holdsRow(bob));
    EXPECT_TRUE(holdsRow(frank));
    EXPECT_TRUE(holdsRow(gina));
    EXPECT_EQ(rowValues().size(), 3);
    EXPECT_TRUE(onOther("count", "3"));
    for (const QVariantMap& row : { bob, frank, gina })
        EXPECT_TRUE(onOther("expect", encode(row)));
    testsupport::processEvents(300);
    EXPECT_EQ(rowValues().size(), 3);
    EXPECT_TRUE(holdsRow(bob));
}

// A row is being added here when the other machine's new row arrives; the form is then
// closed without saving. The row it was making is stored nowhere, here or there: what
// arrives is merged, but nothing this machine has not saved is saved with it.
TEST_P(TwoMachines, ARowLeftUnsavedWhenTheOtherMachinesRowArrivesIsStoredNowhere)
{
    ApplicationScreen* rows = startWithBobOpenOnBoth();
    ASSERT_NE(rows, nullptr);

    rows->dataController()->add(nullptr);
    ASSERT_TRUE(fill(rows, { { kName, "Frank" }, { kPhone, "111" } }));
    ASSERT_TRUE(onOther("add", encode({ { kName, "Gina" }, { kPhone, "222" } })));
    ASSERT_TRUE(testsupport::waitUntil([&] { return rowWhere(kName, "Gina") >= 0; }, ArrivalMs));
    settle(100);
    ASSERT_NE(shownForm(rows), nullptr) << "the form closed";
    EXPECT_EQ(rowValues().size(), 2);
    closeForm(rows);

    // A later save here reaches the other machine after anything saved before it.
    ASSERT_TRUE(selectRowWhere(kName, "Bob"));
    rows->dataController()->edit(nullptr);
    ASSERT_TRUE(fillAndSave(rows, { { kPhone, "556" } }));
    EXPECT_TRUE(onOther("expect", encode({ { kName, "Bob" }, { kPhone, "556" } })));
    EXPECT_TRUE(onOther("count", "2"));
    reload(rows);
    EXPECT_EQ(rowValues().size(), 2);
    EXPECT_EQ(rowWhere(kName, "Frank"), -1);
}

INSTANTIATE_TEST_SUITE_P(Devices, TwoMachines, ::testing::Values("tablet", "phone"));

} // namespace twomachines
} // namespace e2e
