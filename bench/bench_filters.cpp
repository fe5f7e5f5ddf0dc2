// A user table of 100,000 rows and ten columns, narrowed by three filter conditions and
// ordered by two sort keys as a person leaves them in the filter and sort lists, then
// applied with the lists' apply button: timed from the tap until the rows screen's first
// tiles are drawn, for a plain and a protected table. Beside it, SQLite's own shell runs
// the same conditions and order on the plain table's stored JSON (json_extract, ORDER BY);
// the shell cannot read a protected table, so both compare against that same query.
#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/Database.h"
#include "model/FilterExtended.h"
#include "model/KivotabPrefernces.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericFilterDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/SimplePopupViewController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using benchsupport::runShell;
using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
const QString Password = QStringLiteral("bench password");

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QString databaseId;
    QString definitionId;
    QString plainId;
    QString protectedId;
    QList<TemplateColumn*> columns;
    QStringList columnIds;
    // Kept as text: the columns go with the context each run replaces.
    QStringList columnNames;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

Fixture* fixture = nullptr;

void settle()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void addRows(const QString& table, const std::optional<QString>& password)
{
    QRandomGenerator random(11);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(table);
        row->updateData(tenColumnRow(fixture->columnIds, i, random), fixture->columns, password);
        KivoLib::insertEntity(row);
        if ((i + 1) % benchsupport::RowsPerCommit == 0 && !KivoLib::commit())
            std::abort();
    }
    if (!KivoLib::commit())
        std::abort();
}

QString addTable(const QString& name, bool isProtected)
{
    UserTemplate* table = UserTemplate::add(fixture->databaseId);
    table->setName(name);
    table->setDescr(name);
    table->setTemplate_id(fixture->definitionId);
    if (isProtected) {
        table->setIsprotected(true);
        table->setProtectioncheck(
            UserTemplate::encryptString(UserTemplate::ProtectionCheckPhrase, Password).value());
    }
    if (!table->saveUserTemplate())
        std::abort();
    return table->id().toString();
}

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
    fixture->store = fixture->folder.filePath("Kivotab.sqlite");
    fixture->delegate = std::make_unique<KivoAppDelegate>();
    KivotabPrefernces::registerDefaults();
    fixture->delegate->setCurrentPreferences(std::make_shared<KivotabPrefernces>());
    fixture->delegate->setCurrentStyle(Theme::getDefaultTheme());
    platform::ui::Animation::setInstant(true);
    (void)platform::ui::Device::current().selectModel("tablet");
    ModelRegistry::registerClasses();
    StoreStack::install(StoreStack::open(fixture->store, {}));
    ScreenFactory::install();

    Database* database = Database::add();
    database->setName("Bench");
    database->setDescr("Bench");
    if (!database->saveDatabase())
        std::abort();
    fixture->databaseId = database->id().toString();
    Template* definition = Template::add();
    definition->setName("Bench");
    definition->setImage("contacts");
    definition->setTilescolumns(3);
    if (!definition->saveTemplate())
        std::abort();
    fixture->definitionId = definition->id().toString();
    addTenColumns(fixture->definitionId, fixture->columns, fixture->columnIds);
    int order = 0;
    for (TemplateColumn* column : std::as_const(fixture->columns)) {
        column->setOrder(order++);
        column->setLength(100);
        column->setIntiles(order <= 3);
        column->setIntable(true);
        if (!column->saveTemplateColumn())
            std::abort();
    }
    for (TemplateColumn* column : std::as_const(fixture->columns))
        fixture->columnNames << column->name().toString();
    fixture->plainId = addTable("Plain", false);
    fixture->protectedId = addTable("Protected", true);
    addRows(fixture->plainId, std::nullopt);
    addRows(fixture->protectedId, Password);
    fixture->columns.clear();
}

ApplicationScreen* top()
{
    return dynamic_cast<ApplicationScreen*>(fixture->navigation->topViewController());
}

// Runs the event loop until the screen's first tile is drawn on the window.
bool untilFirstTile(ApplicationScreen* screen)
{
    QElapsedTimer limit;
    limit.start();
    while (limit.elapsed() < 600000) {
        settle();
        if (screen && screen->collectionView()
            && screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(0, 0))) {
            if (auto* window = platform::ui::Application::shared().keyWindow())
                window->repaint();
            return true;
        }
    }
    return false;
}

// A fresh context, Home on the window and the table opened from it (its password given).
ApplicationScreen* openTable(const QString& name, bool isProtected)
{
    platform::ui::Application::shared().reset();
    fixture->navigation.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    StoreStack::instance()->makeContext();
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(Database::getDatabase(fixture->databaseId));
    auto* home = new ApplicationScreen();
    home->setParentLink(link);
    home->setScreen(ScreenFactory::GetScreen(ScreenFactory::Home, link));
    fixture->navigation = std::make_unique<platform::ui::NavigationController>();
    fixture->navigation->pushViewController(home, false);
    auto& application = platform::ui::Application::shared();
    application.setRootViewController(fixture->navigation.get());
    application.makeKeyAndVisible();
    for (int i = 0; i < 20; ++i)
        settle();
    auto* controller = dynamic_cast<MainDataController*>(home->dataController().get());
    for (qint64 i = 0; controller && i < controller->count(); ++i) {
        if (controller->getGridData(i)->Menu != name)
            continue;
        home->setSelectedRow(i);
        controller->tapOnDisclosure(i);
        if (isProtected) {
            settle();
            const auto alerts = platform::ui::AlertView::visibleAlerts();
            if (alerts.isEmpty() || !alerts.first()->textFieldAtIndex(0))
                return nullptr;
            alerts.first()->textFieldAtIndex(0)->setText(Password);
            alerts.first()->dismissWithClickedButtonIndex(1, false);
        }
        QElapsedTimer limit;
        limit.start();
        while (top() == home && limit.elapsed() < 600000)
            settle();
        return untilFirstTile(top()) ? top() : nullptr;
    }
    return nullptr;
}

std::shared_ptr<FilterExtended> condition(
    const QString& andOr, int column, const QString& op, const QVariant& value)
{
    auto made = std::make_shared<FilterExtended>();
    made->setAndOr(andOr);
    made->setHeader(fixture->columnNames[column]);
    made->setColumn(fixture->columnIds[column]);
    made->setOperator(op);
    if (value.typeId() == QMetaType::QString)
        made->setTextValue(value.toString());
    else if (value.typeId() == QMetaType::Bool)
        made->setYesnoValue(value.toBool());
    else
        made->setNumericValue(value);
    return made;
}

std::shared_ptr<Sort> key(int column, bool ascending)
{
    auto made = std::make_shared<Sort>();
    made->setHeader(fixture->columnNames[column]);
    made->setColumn(fixture->columnIds[column]);
    made->setAscending(ascending);
    return made;
}

QByteArray field(int column)
{
    return "json_extract(\"json\", '$.\"" + fixture->columnIds[column].toUtf8() + "\"')";
}

// Count > 100 and Category != "kelp" and Done; by Amount descending, then Name.
QByteArray referenceQuery()
{
    return "SELECT \"json\" FROM \"Rows\" WHERE \"usertemplate_id\" = '" + fixture->plainId.toUtf8()
        + "' AND " + field(5) + " > 100 AND " + field(2) + " != 'kelp' AND " + field(9)
        + " = 1 ORDER BY " + field(4) + " DESC, " + field(0) + ";\n";
}

void Apply(benchmark::State& state, bool isProtected)
{
    setUp();
    for (auto _ : state) {
        ApplicationScreen* rows = openTable(isProtected ? "Protected" : "Plain", isProtected);
        auto* controller = rows
            ? dynamic_cast<GenericTemplateDataController*>(rows->dataController().get())
            : nullptr;
        if (!controller) {
            state.SkipWithError("the table did not open");
            return;
        }
        // The filter list over the rows, as its button opens it on a tablet.
        controller->filter(nullptr);
        settle();
        SimplePopupViewController* popup = rows->simplepopupController();
        auto* stack = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        auto* list = stack ? dynamic_cast<ApplicationScreen*>(stack->topViewController()) : nullptr;
        if (!list || !list->dataController()) {
            state.SkipWithError("the filter list did not open");
            return;
        }
        controller->filters() = { condition(QString(), 5, LocalizedStrings::GreaterThan(), 100),
            condition(LocalizedStrings::And(), 2, LocalizedStrings::NotEqualTo(), "kelp"),
            condition(LocalizedStrings::And(), 9, LocalizedStrings::EqualTo(), true) };
        controller->sorts() = { key(4, false), key(0, true) };

        QElapsedTimer timer;
        timer.start();
        // The bottom bar's search button: applies the lists and closes the popup.
        list->dataController()->search(nullptr);
        const double ours = untilFirstTile(rows) ? secondsSince(timer) : -1;
        state.counters["found"] = double(controller->count());
        // The shell's first read after the rows were written can pay for the log they left:
        // the quicker of two reads is the reference.
        const double first = runShell(fixture->store, referenceQuery());
        const double second = runShell(fixture->store, referenceQuery());
        benchsupport::report(state, ours, first < 0 || second < 0 ? -1 : std::min(first, second));
    }
}

void ApplyPlain(benchmark::State& state)
{
    Apply(state, false);
}
void ApplyProtected(benchmark::State& state)
{
    Apply(state, true);
}

} // namespace

BENCHMARK(ApplyPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ApplyProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] {
        if (fixture) {
            platform::ui::Application::shared().reset();
            fixture->navigation.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            platform::ui::Storyboard::main().clear();
        }
        StoreStack::install(nullptr);
        delete fixture;
    });
}
