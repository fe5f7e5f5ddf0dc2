#include "TwoMachinesFixture.h"

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
};

// Both machines have one table open. The other machine's edit of a row shows here while
// the table stays open, and an edit of another field made here afterwards keeps it, on
// both machines: neither saves the values it had before the other's edit arrived.
TEST_P(TwoMachines, AnEditFromTheOtherMachineShowsHereAndTheNextEditHereKeepsIt)
{
    nameCommonSteps();
    ASSERT_TRUE(startOtherMachine()) << other.report();
    ApplicationScreen* rows = makeTable("Household", "Friends");
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(addRow(rows, { { kName, "Bob" }, { kPhone, "555" } }));
    ASSERT_TRUE(onOther("open", "Household/Friends"));
    ASSERT_TRUE(onOther("expect", encode({ { kName, "Bob" }, { kPhone, "555" } })));

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

INSTANTIATE_TEST_SUITE_P(Devices, TwoMachines, ::testing::Values("tablet", "phone"));

} // namespace twomachines
} // namespace e2e
