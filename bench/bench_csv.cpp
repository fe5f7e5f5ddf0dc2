// CSV export and import of 100,000 rows of 10 columns against Python's csv module on the
// same rows.
//
// Ours runs in process; the Python figures include starting the interpreter, as a caller
// of the command would see it. Ratios below 1 mean we are faster.

#include "reports/CSVAdditions.h"
#include "reports/CSVParser.h"
#include "reports/CSVWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "TimingReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;

const char kPythonWrite[] = R"(
import csv, json, sys
rows = json.load(open(sys.argv[1], encoding='utf-8'))
with open(sys.argv[2], 'w', newline='', encoding='utf-8') as f:
    w = csv.writer(f, lineterminator='\n')
    w.writerows(rows)
)";

// Reading the JSON rows is part of the job, so it is timed alone and taken off.
const char kPythonLoadOnly[] = R"(
import json, sys
rows = json.load(open(sys.argv[1], encoding='utf-8'))
)";

const char kPythonRead[] = R"(
import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
)";

struct Data {
    QTemporaryDir dir;
    QList<QStringList> rows;
    QVariantList variantRows; // the same rows as the export menu hands them over
    QString text;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

QString field(int row, int column, QRandomGenerator& random)
{
    switch (column % 5) {
    case 0:
        return QString::number(row);
    case 1:
        return QString::number(random.bounded(100000) / 100.0, 'f', 2);
    case 2:
        return QStringLiteral("Customer %1").arg(random.bounded(5000));
    case 3:
        return random.bounded(10) == 0 ? QStringLiteral("Müller, \"Hans\"")
                                       : QStringLiteral("Straße %1").arg(random.bounded(200));
    default:
        return QStringLiteral("2024-%1-%2").arg(random.bounded(1, 13)).arg(random.bounded(1, 29));
    }
}

const Data& data()
{
    static const Data* prepared = [] {
        auto* d = new Data;
        QRandomGenerator random(42);
        QJsonArray json;
        for (int r = 0; r < kRows; ++r) {
            QStringList row;
            for (int c = 0; c < kColumns; ++c)
                row.append(field(r, c, random));
            d->rows.append(row);
            d->variantRows.append(QVariant(row));
            json.append(QJsonArray::fromStringList(row));
        }
        QFile file(d->path("rows.json"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(QJsonDocument(json).toJson(QJsonDocument::Compact));
        file.close();
        d->text = CSVAdditions::CSVString(d->variantRows);
        QFile csv(d->path("rows.csv"));
        if (!csv.open(QIODevice::WriteOnly))
            std::abort();
        csv.write(d->text.toUtf8());
        return d;
    }();
    return *prepared;
}

double runPython(const char* script, const QStringList& arguments)
{
    QProcess python;
    const auto start = std::chrono::steady_clock::now();
    python.start(
        QStringLiteral("python3"), QStringList { "-c", QString::fromLatin1(script) } + arguments);
    python.waitForFinished(-1);
    const auto end = std::chrono::steady_clock::now();
    if (python.exitCode() != 0)
        std::abort();
    return std::chrono::duration<double>(end - start).count();
}

void Write_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        auto writer = CSVWriter::initForWritingToCSVFile(d.path("ours.csv"));
        for (const QStringList& row : d.rows)
            writer->writeLineOfFields(row);
        if (!writer->closeStream())
            std::abort();
    }
}

void Write_Python(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        const double all = runPython(kPythonWrite, { d.path("rows.json"), d.path("python.csv") });
        const double load = runPython(kPythonLoadOnly, { d.path("rows.json") });
        state.SetIterationTime(qMax(all - load, 1e-6));
    }
}

void CSVString_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(CSVAdditions::CSVString(d.variantRows));
}

void Read_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        auto lines = CSVAdditions::arrayWithContentsOfCSVFile(
            d.path("rows.csv"), CSVParserOptionsSanitizesFields);
        if (!lines || lines->size() != kRows + 1)
            std::abort();
    }
}

void Read_Python(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        state.SetIterationTime(runPython(kPythonRead, { d.path("rows.csv") }));
}

void CSVComponents_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            CSVAdditions::CSVComponentsWithOptions(d.text, CSVParserOptionsSanitizesFields));
}

BENCHMARK(Write_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Write_Python)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(CSVString_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_Python)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(CSVComponents_Ours)->Unit(benchmark::kMillisecond);

class RatioReporter : public TimingReporter {
public:
    void printRatios() const
    {
        std::printf("\nours / Python csv module (100,000 rows x 10 columns)\n");
        for (const auto& [ours, theirs] : { std::pair { "Write_Ours", "Write_Python" },
                 std::pair { "CSVString_Ours", "Write_Python" },
                 std::pair { "Read_Ours", "Read_Python" },
                 std::pair { "CSVComponents_Ours", "Read_Python" } }) {
            const auto a = m_seconds.find(ours);
            auto b = m_seconds.find(std::string(theirs) + "/iterations:3/manual_time");
            if (a == m_seconds.end() || b == m_seconds.end() || b->second <= 0)
                continue;
            std::printf("  %-20s %10.2f ms  vs %10.2f ms   ratio %.2f\n", ours, a->second,
                b->second, a->second / b->second);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    data();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
