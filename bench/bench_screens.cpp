// A user table of 100,000 rows as a person meets it: tapping the table on Home until its
// first tiles are drawn, a "Contains" search typed into the search bar, and a sort by a
// header tap, each for a plain and a protected table. Every figure is printed beside
// SQLite's own shell doing the same work on the same store file (reading the rows,
// filtering them with LIKE, ordering them by the column), as a ratio.
#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/LocalTimeZone.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using benchsupport::runShell;
using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
using benchsupport::RowsPerCommit;
const QString Password = QStringLiteral("bench password");
const QString Needle = QStringLiteral("ember");

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QString databaseId;
    QString definitionId;
    QString plainId;
    QString protectedId;
    QStringList columnIds;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

Fixture* fixture = nullptr;

void settle()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QVariantMap rowValues(int i, QRandomGenerator& random)
{
    static const QStringList words { "amber", "birch", "cedar", "december", "ember", "fjord",
        "granite", "harbour", "indigo", "juniper", "kelp", "lumber", "meadow", "nectar" };
    const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
    const QStringList& id = fixture->columnIds;
    return { { id[0], QStringLiteral("%1 %2 %3").arg(word(), word()).arg(i) },
        { id[1], QStringLiteral("%1 %2").arg(word(), word()) }, { id[2], word() },
        { id[3], int(random.bounded(500u)) }, { id[4], random.bounded(2u) == 1 } };
}

void addRows(const QString& table, const QList<TemplateColumn*>& columns,
    const std::optional<QString>& password)
{
    QRandomGenerator random(7);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(table);
        row->updateData(rowValues(i, random), columns, password);
        KivoLib::insertEntity(row);
        if ((i + 1) % RowsPerCommit == 0 && !KivoLib::commit())
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
    const QList<std::pair<QString, QString>> shape { { "Name", TypeConstants::Text },
        { "Notes", TypeConstants::Text }, { "Category", TypeConstants::List },
        { "Count", TypeConstants::Numeric }, { "Done", TypeConstants::YesNo } };
    QList<TemplateColumn*> columns;
    int order = 0;
    for (const auto& [name, type] : shape) {
        TemplateColumn* column = TemplateColumn::add(fixture->definitionId);
        column->setName(name);
        column->setType(type);
        column->setLength(100);
        column->setOrder(order++);
        column->setIntiles(order <= 3 || type == TypeConstants::YesNo);
        column->setIntable(true);
        if (!column->saveTemplateColumn())
            std::abort();
        columns << column;
        fixture->columnIds << column->id().toString();
    }
    fixture->plainId = addTable("Plain", false);
    fixture->protectedId = addTable("Protected", true);
    addRows(fixture->plainId, columns, std::nullopt);
    addRows(fixture->protectedId, columns, Password);
}

// A fresh context and Home of the bench database on the window, as after a start.
ApplicationScreen* showHome()
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
    return home;
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

// Taps the table on Home (giving the password a protected table asks for) and waits for
// its first tiles; the seconds from the tap, or -1.
double openTable(const QString& name, bool isProtected, ApplicationScreen** opened)
{
    ApplicationScreen* home = showHome();
    auto* controller = dynamic_cast<MainDataController*>(home->dataController().get());
    qint64 index = -1;
    for (qint64 i = 0; i < controller->count(); ++i)
        if (controller->getGridData(i)->Menu == name)
            index = i;
    if (index < 0)
        return -1;
    home->setSelectedRow(index);
    QElapsedTimer timer;
    timer.start();
    controller->tapOnDisclosure(index);
    if (isProtected) {
        settle();
        const auto alerts = platform::ui::AlertView::visibleAlerts();
        if (alerts.isEmpty() || !alerts.first()->textFieldAtIndex(0))
            return -1;
        timer.restart();
        alerts.first()->textFieldAtIndex(0)->setText(Password);
        alerts.first()->dismissWithClickedButtonIndex(1, false);
    }
    while (top() == home && timer.elapsed() < 600000)
        settle();
    *opened = top();
    return untilFirstTile(*opened) ? secondsSince(timer) : -1;
}

QByteArray selectRows(const QString& table, const QByteArray& rest = {})
{
    return "SELECT \"json\" FROM \"Rows\" WHERE \"usertemplate_id\" = '" + table.toUtf8() + "'"
        + rest + ";\n";
}

void Open(benchmark::State& state, bool isProtected)
{
    setUp();
    const QString table = isProtected ? fixture->protectedId : fixture->plainId;
    for (auto _ : state) {
        ApplicationScreen* rows = nullptr;
        const double ours = openTable(isProtected ? "Protected" : "Plain", isProtected, &rows);
        benchsupport::report(state, ours, runShell(fixture->store, selectRows(table)));
    }
}

// The search typed at once after the first tiles are drawn or, `settled`, once the table
// has been open for as long as its search texts take to be made in the background (a
// person reading the first tiles before typing).
void Search(benchmark::State& state, bool isProtected, bool settled = false)
{
    setUp();
    const QString table = isProtected ? fixture->protectedId : fixture->plainId;
    for (auto _ : state) {
        ApplicationScreen* rows = nullptr;
        if (openTable(isProtected ? "Protected" : "Plain", isProtected, &rows) < 0 || !rows) {
            state.SkipWithError("the table did not open");
            return;
        }
        const auto* controller
            = dynamic_cast<GenericTemplateDataController*>(rows->dataController().get());
        QElapsedTimer waited;
        waited.start();
        while (settled && controller && controller->tableRows().isMakingSearchTexts()
            && waited.elapsed() < 600000)
            settle();
        state.counters["waited_ms"] = settled ? double(waited.elapsed()) : 0;
        QElapsedTimer timer;
        timer.start();
        rows->searchBarTextDidChange(rows->searchBar(), Needle);
        const double ours = untilFirstTile(rows) ? secondsSince(timer) : -1;
        state.counters["found"] = double(rows->dataController()->count());
        benchsupport::report(state, ours,
            runShell(fixture->store, selectRows(table, " AND \"json\" LIKE '%ember%'")));
    }
}

void SortByHeader(benchmark::State& state, bool isProtected)
{
    setUp();
    const QString table = isProtected ? fixture->protectedId : fixture->plainId;
    const QByteArray column
        = "json_extract(\"json\", '$.\"" + fixture->columnIds[0].toUtf8() + "\"')";
    for (auto _ : state) {
        ApplicationScreen* rows = nullptr;
        if (openTable(isProtected ? "Protected" : "Plain", isProtected, &rows) < 0 || !rows) {
            state.SkipWithError("the table did not open");
            return;
        }
        auto* controller
            = dynamic_cast<GenericTemplateDataController*>(rows->dataController().get());
        QElapsedTimer timer;
        timer.start();
        controller->headerLabelTouched(0);
        const double ours = untilFirstTile(rows) ? secondsSince(timer) : -1;
        // A protected table's text is not readable by the shell: it orders the stored text.
        const QByteArray order
            = isProtected ? QByteArray(" ORDER BY \"json\"") : " ORDER BY " + column + " DESC";
        benchsupport::report(state, ours, runShell(fixture->store, selectRows(table, order)));
    }
}

void OpenPlain(benchmark::State& state)
{
    Open(state, false);
}
void OpenProtected(benchmark::State& state)
{
    Open(state, true);
}
void SearchPlain(benchmark::State& state)
{
    Search(state, false);
}
void SearchProtected(benchmark::State& state)
{
    Search(state, true);
}
void SearchPlainSettled(benchmark::State& state)
{
    Search(state, false, true);
}
void SearchProtectedSettled(benchmark::State& state)
{
    Search(state, true, true);
}
void SortPlain(benchmark::State& state)
{
    SortByHeader(state, false);
}
void SortProtected(benchmark::State& state)
{
    SortByHeader(state, true);
}

} // namespace

BENCHMARK(OpenPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(OpenProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SearchPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SearchProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SearchPlainSettled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SearchProtectedSettled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SortPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SortProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

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
