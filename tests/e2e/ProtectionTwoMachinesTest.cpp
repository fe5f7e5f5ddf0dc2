#include "TwoMachinesFixture.h"

#include "model/RowDecoder.h"
#include "model/UserTemplate.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "utilities/store/KivoLibContext.h"

namespace e2e {
// Named: the sources of a test binary are compiled in batches.
namespace protectionacross {

// The default Contacts definition and its columns.
const QString kContacts = QStringLiteral("7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A");
const QString kName = QStringLiteral("319525EF-176E-4462-93BA-68EB30D7D6E7");
const QString kPhone = QStringLiteral("89C20BFE-16C0-4414-A9FD-40BDB2692BD2");
const QString kDatabase = QStringLiteral("Household");
const QString kTable = QStringLiteral("Friends");
const QString kPassword = QStringLiteral("s3cret");

// A table protected or unprotected on this machine while the other machine, which has not
// heard of it yet, edits a row and adds one through its open rows screen. The other
// machine's imports are held back by holding its store's coordinator, as a running import
// would, so its edits are made in the old form for certain.
struct ProtectionAcrossMachines : TwoMachinesFixture {
    void nameSteps()
    {
        // Opens the table once it has arrived: with the password once it has arrived
        // protected, when one is given ("<password>").
        other.addStep("open", [this](const QString& password) {
            return openHere(password.isEmpty() ? std::nullopt : Rows::Password(password))
                ? QString()
                : QStringLiteral("could not open the table");
        });
        // "<values>": waits until the open table shows a row with the values.
        other.addStep("expect", [this](const QString& values) {
            return within([&] { return holdsRow(decode(values)); }, "a row " + values);
        });
        // Imports nothing from now on, until released.
        other.addStep("hold", [this](const QString&) {
            held = KivoLib::currentContext()->persistentStoreCoordinator();
            held->lock();
            return QString();
        });
        other.addStep("release", [this](const QString&) {
            if (!held)
                return QStringLiteral("nothing held");
            held->unlock();
            held.reset();
            return QString();
        });
        // "<name>|<values>|<values of a new row>": edits the row of that name and adds one,
        // through the open rows screen's forms.
        other.addStep("editAndAdd", [this](const QString& argument) {
            if (!selectRowWhere(kName, argument.section('|', 0, 0)))
                return "no row " + argument.section('|', 0, 0);
            ApplicationScreen* rows = rowsScreen();
            rows->dataController()->edit(nullptr);
            if (!fillAndSave(rows, decode(argument.section('|', 1, 1))))
                return QStringLiteral("the edit was not saved");
            return addRow(rows, decode(argument.section('|', 2, 2)))
                ? QString()
                : QStringLiteral("the new row was not saved");
        });
        // "<name>|<values>": opens the form of the row of that name and types the values,
        // without saving.
        other.addStep("openFormAndType", [this](const QString& argument) {
            if (!selectRowWhere(kName, argument.section('|', 0, 0)))
                return "no row " + argument.section('|', 0, 0);
            ApplicationScreen* rows = rowsScreen();
            rows->dataController()->edit(nullptr);
            return fill(rows, decode(argument.section('|', 1, 1)))
                ? QString()
                : QStringLiteral("no form to type into");
        });
        // "<values>": waits until the open table, protected meanwhile, says so and asks for
        // its password, with the form still open and holding the values; then reads the
        // message.
        other.addStep("expectAsked", [this](const QString& values) {
            const QString waited = within(
                [&] {
                    return alertTitled("Password")
                        && messageShown(GenericTemplateDataController::ProtectedMeanwhile);
                },
                "the table saying it was protected and asking for its password");
            if (!waited.isEmpty())
                return waited;
            auto* controller = controllerOf<GenericTemplateDataController>(rowsScreen());
            if (!controller || !controller->isLocked() || controller->count() != 0)
                return QStringLiteral("the table not locked");
            if (!formHolds(decode(values)))
                return "the form lost " + values;
            return dismissMessage(GenericTemplateDataController::ProtectedMeanwhile)
                ? QString()
                : QStringLiteral("no message to read");
        });
        // Cancels the password prompt; presses Save on the open form, which stays open with
        // the prompt asked again and no word of a wrong password.
        other.addStep("cancelThenSave", [this](const QString&) {
            platform::ui::AlertView* prompt = alertTitled("Password");
            if (!prompt)
                return QStringLiteral("no prompt");
            prompt->dismissWithClickedButtonIndex(0, false);
            settle();
            ApplicationScreen* rows = rowsScreen();
            QuickDetailViewController* form = rows ? shownForm(rows) : nullptr;
            if (!form)
                return QStringLiteral("the form closed");
            form->onSave();
            settle(100);
            if (shownForm(rows) != form)
                return QStringLiteral("the form closed without the password");
            const QList<platform::ui::AlertView*> alerts = platform::ui::AlertView::visibleAlerts();
            if (alerts.size() != 1 || alerts.first()->title() != "Password")
                return "not asked for the password alone: " + takeMessages().join(", ");
            return QString();
        });
        // "<password>": gives the password; the form's Save is made, it closes, and the table
        // shows its rows again.
        other.addStep("givePassword", [this](const QString& password) {
            if (!answerPrompt("Password", password))
                return QStringLiteral("no prompt");
            return within(
                [&] {
                    ApplicationScreen* rows = rowsScreen();
                    auto* controller = controllerOf<GenericTemplateDataController>(rows);
                    return controller && !controller->isLocked() && controller->count() > 0
                        && !shownForm(rows) && platform::ui::AlertView::visibleAlerts().isEmpty();
                },
                "the form saved and the rows shown");
        });
        // "<count>": waits until the open table shows that many rows.
        other.addStep("count", [this](const QString& count) {
            return within([&] { return rowValues().size() == count.toInt(); }, count + " rows");
        });
        // Waits until the open table's screen shows the table protected: locked, no rows.
        other.addStep("expectLocked", [this](const QString&) {
            return within(
                [&] {
                    auto* controller = controllerOf<GenericTemplateDataController>(rowsScreen());
                    return controller && controller->isLocked() && controller->count() == 0;
                },
                "the table locked");
        });
        // "<values>;...": waits until the open table's screen shows the table unprotected,
        // with rows of the values ("|" between rows), every row stored in the clear.
        other.addStep("expectUnprotected", [this](const QString& argument) {
            return within(
                [&] {
                    auto* controller = controllerOf<GenericTemplateDataController>(rowsScreen());
                    UserTemplate* table = controller ? controller->userTemplate() : nullptr;
                    if (!table || table->isprotected().toBool() || controller->isLocked())
                        return false;
                    for (const QString& values : argument.split('|'))
                        if (!holdsRow(decode(values)))
                            return false;
                    return storedHere(std::nullopt).filter(" E").isEmpty();
                },
                "the table unprotected with " + argument);
        });
    }

    void TearDown() override
    {
        if (held)
            held->unlock();
        TwoMachinesFixture::TearDown();
    }

    static bool messageShown(const QString& text)
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            if (alert->message() == text)
                return true;
        return false;
    }

    // Whether the open form's fields hold the values (as texts).
    bool formHolds(const QVariantMap& values)
    {
        ApplicationScreen* rows = rowsScreen();
        QuickDetailViewController* form = rows ? shownForm(rows) : nullptr;
        for (auto it = values.cbegin(); form && it != values.cend(); ++it) {
            auto* entry = qobject_cast<FormEntryElement*>(element(form, it.key()));
            if (!entry || entry->textValue() != it.value().toString())
                return false;
        }
        return form != nullptr;
    }

    // The table made here, on its Home screen, with its first row; Home left on top.
    ApplicationScreen* makeTable()
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, kDatabase, "Shared between machines")
            || !open(databases, kDatabase))
            return nullptr;
        ApplicationScreen* home = top();
        if (!addTable(home, kTable, kContacts) || !open(home, kTable))
            return nullptr;
        if (!addRow(top(), { { kName, "Bob" }, { kPhone, "555" } }))
            return nullptr;
        back();
        return top() == home ? home : nullptr;
    }

    // The table as this machine holds it, once it has arrived.
    static UserTemplate* tableHere()
    {
        for (UserTemplate* table : UserTemplate::getUserTemplatesAll())
            if (table->name().toString() == kTable)
                return table;
        return nullptr;
    }

    // Opens the table from the first screen; with a password, once the table has arrived
    // protected.
    bool openHere(const Rows::Password& password)
    {
        navigation->popToRootViewController(false);
        settle(100);
        ApplicationScreen* databases = top();
        if (!databases || !awaitTitle(databases, kDatabase) || !open(databases, kDatabase))
            return false;
        ApplicationScreen* home = top();
        if (!home || home == databases || !awaitTitle(home, kTable))
            return false;
        if (password
            && !testsupport::waitUntil(
                [] {
                    UserTemplate* table = tableHere();
                    return table && table->isprotected().toBool()
                        && !table->protectioncheck().toString().isEmpty();
                },
                ArrivalMs))
            return false;
        if (!open(home, kTable) || (password && !answerPrompt("Password", *password)))
            return false;
        return controllerOf<GenericTemplateDataController>(top()) != nullptr;
    }

    // Protects or unprotects the table through its form on Home, with the password.
    bool changeProtectionHere(ApplicationScreen* home, bool protect)
    {
        const qsizetype at = titles(home).indexOf(kTable);
        if (at < 0)
            return false;
        home->setSelectedRow(at);
        home->dataController()->edit(nullptr);
        QuickDetailViewController* form = awaitedForm(home);
        if (!form
            || !QMetaObject::invokeMethod(
                form, protect ? "protect" : "unprotect", Q_ARG(FormElement*, nullptr)))
            return false;
        const bool answered = protect ? answerPrompt("Create Password", kPassword)
                && answerPrompt("Retype Password", kPassword)
                                      : answerPrompt("Password", kPassword);
        if (!answered)
            return false;
        const bool done = testsupport::waitUntil(
            [] {
                for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
                    if (alert->message() == "Operation Completed Successfully.")
                        return true;
                return false;
            },
            ArrivalMs);
        takeMessages();
        return done;
    }

    // The table's rows as stored here, read with the password: "<name> <phone> <C|E>" (in
    // the clear or encrypted; "?" for a row that does not read), sorted.
    static QStringList storedHere(const Rows::Password& password)
    {
        UserTemplate* table = tableHere();
        if (!table)
            return {};
        const auto columns = TemplateColumn::getColumns(table->template_id().toString());
        QStringList rows;
        for (Rows* row : Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt)) {
            KivoLib::currentContext()->refreshObject(row, true);
            const auto values = row->decodeData(columns, password);
            rows << (values ? values->value(kName).toString() + " "
                                + values->value(kPhone).toString()
                            : QStringLiteral("?"))
                    + (RowDecoder::isClearText(row->storedJson()) ? " C" : " E");
        }
        rows.sort();
        return rows;
    }

    std::shared_ptr<platform::coredata::PersistentStoreCoordinator> held;
};

// Protected here while the other machine edits Bob and adds Cy in the clear: after the
// sync every row here shows its values (stored encrypted again), the other machine's
// screen shows the table protected, and the table can be unprotected here.
TEST_P(ProtectionAcrossMachines, ProtectedHereWhileTheOtherEditsAndAddsUnprotected)
{
    nameSteps();
    ASSERT_TRUE(startOtherMachine()) << other.report();
    ApplicationScreen* home = makeTable();
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(onOther("open"));
    ASSERT_TRUE(onOther("expect", encode({ { kName, "Bob" }, { kPhone, "555" } })));

    ASSERT_TRUE(onOther("hold"));
    ASSERT_TRUE(changeProtectionHere(home, true));
    ASSERT_TRUE(onOther("editAndAdd",
        "Bob|" + encode({ { kPhone, "777" } }) + "|"
            + encode({ { kName, "Cy" }, { kPhone, "123" } })));
    ASSERT_TRUE(onOther("release"));

    // Here: both rows arrive, and Home, which holds the password of its change, stores
    // them encrypted.
    EXPECT_TRUE(testsupport::waitUntil(
        [] {
            return storedHere(kPassword) == QStringList({ "Bob 777 E", "Cy 123 E" });
        },
        ArrivalMs))
        << storedHere(kPassword).join(", ").toStdString();
    ASSERT_TRUE(openHere(kPassword));
    EXPECT_TRUE(holdsRow({ { kName, "Bob" }, { kPhone, "777" } }));
    EXPECT_TRUE(holdsRow({ { kName, "Cy" }, { kPhone, "123" } }));
    EXPECT_EQ(rowValues().size(), 2);
    EXPECT_TRUE(onOther("expectLocked"));

    back();
    home = top();
    ASSERT_TRUE(changeProtectionHere(home, false));
    EXPECT_EQ(storedHere(std::nullopt), QStringList({ "Bob 777 C", "Cy 123 C" }));
}

// Unprotected here while the other machine, with the table open under its password, edits
// Bob and adds Cy: its screen shows the table unprotected (and stores those rows in the
// clear), the table can be protected again here with the password, and then every row
// shows its values.
TEST_P(ProtectionAcrossMachines, UnprotectedHereWhileTheOtherEditsAndAddsWithThePassword)
{
    nameSteps();
    ASSERT_TRUE(startOtherMachine()) << other.report();
    ApplicationScreen* home = makeTable();
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(changeProtectionHere(home, true));
    ASSERT_TRUE(onOther("open", kPassword));
    ASSERT_TRUE(onOther("expect", encode({ { kName, "Bob" }, { kPhone, "555" } })));

    ASSERT_TRUE(onOther("hold"));
    ASSERT_TRUE(changeProtectionHere(home, false));
    ASSERT_TRUE(onOther("editAndAdd",
        "Bob|" + encode({ { kPhone, "777" } }) + "|"
            + encode({ { kName, "Cy" }, { kPhone, "123" } })));
    ASSERT_TRUE(onOther("release"));

    EXPECT_TRUE(onOther("expectUnprotected",
        encode({ { kName, "Bob" }, { kPhone, "777" } }) + "|"
            + encode({ { kName, "Cy" }, { kPhone, "123" } })));
    EXPECT_TRUE(testsupport::waitUntil(
        [] {
            return storedHere(std::nullopt) == QStringList({ "Bob 777 C", "Cy 123 C" });
        },
        ArrivalMs))
        << storedHere(std::nullopt).join(", ").toStdString();

    ASSERT_TRUE(changeProtectionHere(home, true));
    ASSERT_TRUE(openHere(kPassword));
    EXPECT_TRUE(holdsRow({ { kName, "Bob" }, { kPhone, "777" } }));
    EXPECT_TRUE(holdsRow({ { kName, "Cy" }, { kPhone, "123" } }));
    EXPECT_EQ(rowValues().size(), 2);
    EXPECT_EQ(storedHere(kPassword), QStringList({ "Bob 777 E", "Cy 123 E" }));
}

// Protected here while the other machine has the table's rows open and a row's Edit form
// with something typed in it. Its table says so and asks for the password; the form keeps
// what was typed, and its Save asks again rather than saying that a password was wrong.
// With the password, the form saves what was typed, and every row shows on both machines.
TEST_P(
    ProtectionAcrossMachines, AnOpenTableProtectedHereAsksThereAndTheOpenFormSavesWithThePassword)
{
    nameSteps();
    ASSERT_TRUE(startOtherMachine()) << other.report();
    ApplicationScreen* home = makeTable();
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(open(home, kTable));
    ASSERT_TRUE(addRow(top(), { { kName, "Al" }, { kPhone, "111" } }));
    back();
    ASSERT_EQ(top(), home);
    ASSERT_TRUE(onOther("open"));
    ASSERT_TRUE(onOther("expect", encode({ { kName, "Al" }, { kPhone, "111" } })));
    ASSERT_TRUE(onOther("expect", encode({ { kName, "Bob" }, { kPhone, "555" } })));
    const QString typed = encode({ { kName, "Bob" }, { kPhone, "777" } });
    ASSERT_TRUE(onOther("openFormAndType", "Bob|" + typed));

    ASSERT_TRUE(changeProtectionHere(home, true));
    ASSERT_TRUE(onOther("expectAsked", typed));
    ASSERT_TRUE(onOther("cancelThenSave"));
    ASSERT_TRUE(onOther("givePassword", kPassword));
    EXPECT_TRUE(onOther("expect", typed));
    EXPECT_TRUE(onOther("expect", encode({ { kName, "Al" }, { kPhone, "111" } })));
    EXPECT_TRUE(onOther("count", "2"));

    // Here: the saved row arrives, encrypted with the password, and both rows show.
    EXPECT_TRUE(testsupport::waitUntil(
        [] {
            return storedHere(kPassword) == QStringList({ "Al 111 E", "Bob 777 E" });
        },
        ArrivalMs))
        << storedHere(kPassword).join(", ").toStdString();
    ASSERT_TRUE(openHere(kPassword));
    EXPECT_TRUE(holdsRow({ { kName, "Al" }, { kPhone, "111" } }));
    EXPECT_TRUE(holdsRow({ { kName, "Bob" }, { kPhone, "777" } }));
    EXPECT_EQ(rowValues().size(), 2);
    EXPECT_TRUE(onOther("count", "2"));
}

INSTANTIATE_TEST_SUITE_P(Devices, ProtectionAcrossMachines, ::testing::Values("tablet", "phone"));

} // namespace protectionacross
} // namespace e2e
