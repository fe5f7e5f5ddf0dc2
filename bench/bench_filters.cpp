// A user table of 100,000 rows and ten columns, narrowed by three filter conditions and
// ordered by two sort keys as a person leaves them in the filter and sort lists, then
// applied with the lists' apply button: timed from the tap until the rows screen's first
// tiles are drawn, for a plain and a protected table. Beside it, SQLite's own shell runs
// the same conditions and order on the plain table's stored JSON (json_extract, ORDER BY);
// the shell cannot read a protected table, so both compare against that same query.
#include "model/FilterExtended.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "platform/ui/NavigationController.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericTemplateDataController.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/SimplePopupViewController.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include "BenchSupport.h"
#include "RowsScreenBench.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

using benchsupport::runShell;
using benchsupport::secondsSince;

struct Fixture : RowsScreenBench {
    QString plainId;
    QString protectedId;
    QStringList columnIds;
    // Kept as text: the columns go with the context each run replaces.
    QStringList columnNames;
};

Fixture* fixture = nullptr;

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
    QList<TemplateColumn*> columns;
    addTenColumns(fixture->definitionId, columns, fixture->columnIds);
    int order = 0;
    for (TemplateColumn* column : std::as_const(columns)) {
        column->setOrder(order++);
        column->setLength(100);
        column->setIntiles(order <= 3);
        column->setIntable(true);
        if (!column->saveTemplateColumn())
            std::abort();
    }
    for (TemplateColumn* column : std::as_const(columns))
        fixture->columnNames << column->name().toString();
    fixture->plainId = fixture->addTable("Plain", false);
    fixture->protectedId = fixture->addTable("Protected", true);
    const auto values = [](int i, QRandomGenerator& random) {
        return tenColumnRow(fixture->columnIds, i, random);
    };
    RowsScreenBench::addRows(fixture->plainId, columns, std::nullopt, 11, values);
    RowsScreenBench::addRows(fixture->protectedId, columns, RowsScreenBench::Password, 11, values);
}

// A fresh context, Home on the window and the table opened from it (its password given).
ApplicationScreen* openTable(const QString& name, bool isProtected)
{
    QElapsedTimer timer;
    return fixture->openTable(name, isProtected, timer);
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
        RowsScreenBench::settle();
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
        const double ours = RowsScreenBench::untilFirstTile(rows) ? secondsSince(timer) : -1;
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
    return benchsupport::runInApplication(argc, argv, {}, [] { delete fixture; });
}
