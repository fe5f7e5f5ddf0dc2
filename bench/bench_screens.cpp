// A user table of 100,000 rows as a person meets it: tapping the table on Home until its
// first tiles are drawn, a "Contains" search typed into the search bar, and a sort by a
// header tap, each for a plain and a protected table. Every figure is printed beside
// SQLite's own shell doing the same work on the same store file (reading the rows,
// filtering them with LIKE, ordering them by the column), as a ratio; each case runs three
// times and prints its ratios' least, middle and greatest values.
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/ui/SearchBar.h"
#include "screens/ApplicationScreen.h"
#include "screens/GenericTemplateDataController.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include "BenchSupport.h"
#include "RowsScreenBench.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchsupport::runShell;
using benchsupport::secondsSince;

const QString Needle = QStringLiteral("ember");

struct Fixture : RowsScreenBench {
    QString plainId;
    QString protectedId;
    QStringList columnIds;
};

Fixture* fixture = nullptr;

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

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
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
    fixture->plainId = fixture->addTable("Plain", false);
    fixture->protectedId = fixture->addTable("Protected", true);
    RowsScreenBench::addRows(fixture->plainId, columns, std::nullopt, 7, rowValues);
    RowsScreenBench::addRows(
        fixture->protectedId, columns, RowsScreenBench::Password, 7, rowValues);
}

// Taps the table on Home and waits for its first tiles; the seconds from the tap (from the
// password given, for a protected table), or -1.
double openTable(const QString& name, bool isProtected, ApplicationScreen** opened)
{
    QElapsedTimer timer;
    *opened = fixture->openTable(name, isProtected, timer);
    return *opened ? secondsSince(timer) : -1;
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
    benchsupport::Spread ratio(state, "ratio");
    for (auto _ : state) {
        ApplicationScreen* rows = nullptr;
        const double ours = openTable(isProtected ? "Protected" : "Plain", isProtected, &rows);
        const double shell = runShell(fixture->store, selectRows(table));
        if (benchsupport::report(state, ours, shell))
            ratio.add(ours / shell);
    }
}

// The search typed at once after the first tiles are drawn or, `settled`, once the table
// has been open for as long as its search texts take to be made in the background (a
// person reading the first tiles before typing).
void Search(benchmark::State& state, bool isProtected, bool settled = false)
{
    setUp();
    const QString table = isProtected ? fixture->protectedId : fixture->plainId;
    benchsupport::Spread ratio(state, "ratio");
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
            RowsScreenBench::settle();
        state.counters["waited_ms"] = settled ? double(waited.elapsed()) : 0;
        QElapsedTimer timer;
        timer.start();
        rows->searchBarTextDidChange(rows->searchBar(), Needle);
        const double ours = RowsScreenBench::untilFirstTile(rows) ? secondsSince(timer) : -1;
        state.counters["found"] = double(rows->dataController()->count());
        const double shell
            = runShell(fixture->store, selectRows(table, " AND \"json\" LIKE '%ember%'"));
        if (benchsupport::report(state, ours, shell))
            ratio.add(ours / shell);
    }
}

void SortByHeader(benchmark::State& state, bool isProtected)
{
    setUp();
    const QString table = isProtected ? fixture->protectedId : fixture->plainId;
    const QByteArray column
        = "json_extract(\"json\", '$.\"" + fixture->columnIds[0].toUtf8() + "\"')";
    benchsupport::Spread ratio(state, "ratio");
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
        const double ours = RowsScreenBench::untilFirstTile(rows) ? secondsSince(timer) : -1;
        // A protected table's text is not readable by the shell: it orders the stored text.
        const QByteArray order
            = isProtected ? QByteArray(" ORDER BY \"json\"") : " ORDER BY " + column + " DESC";
        const double shell = runShell(fixture->store, selectRows(table, order));
        if (benchsupport::report(state, ours, shell))
            ratio.add(ours / shell);
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

BENCHMARK(OpenPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchPlainSettled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchProtectedSettled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SortPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SortProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] { delete fixture; });
}
