// The PDF report of 1,000 rows x 10 columns, from the generator's start to its delegate
// having the PDF, in process; beside `wkhtmltopdf` converting the same rows, rendered once
// as one HTML file from the same template, to the same page size and margins, in the same
// run. Prints both times, the pages of each and the ratio (below 1: we are faster).
#include "reports/PdfReportGenerator.h"
#include "reports/PdfReportGeneratorDelegate.h"
#include "reports/ReportController.h"
#include "reports/mustache/MustacheTemplate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using benchsupport::secondsSince;

constexpr int kRows = 1000;
constexpr int kColumns = 10;
constexpr double kColumnWidth = 95;

QTemporaryDir* g_folder = nullptr;

QString key(int column)
{
    return QStringLiteral("column%1").arg(column);
}

QString cell(int row, int column)
{
    static const QStringList words { "amber", "birch", "cedar", "Crème", "東京都", "fjord",
        "granite", "<harbour>", "indigo", "juniper & kelp" };
    switch (column % 5) {
    case 0:
        return QStringLiteral("%1 %2").arg(words[(row + column) % words.size()]).arg(row);
    case 1:
        return QString::number(row * 12.5 + column, 'f', 2);
    case 2:
        return QStringLiteral("2026-%1-%2").arg(row % 12 + 1).arg(row % 28 + 1);
    case 3:
        return words[(row * 7 + column) % words.size()];
    default:
        return row % 2 ? QStringLiteral("Yes") : QStringLiteral("No");
    }
}

// The export's data source and delegate over made-up rows, as the export menu answers.
class Report : public PdfReportGeneratorDataSource, public PdfReportGeneratorDelegate {
public:
    Report()
    {
        for (int r = 0; r < kRows; ++r) {
            QVariantMap row;
            for (int c = 0; c < kColumns; ++c)
                row.insert(key(c), cell(r, c));
            rows.append(row);
        }
        parameters = { { "htmlColorHex", "1F4E79" }, { "headerColorHex", "FFFFFF" },
            { "rowalternateColorHex", "EAF1FB" },
            { "tableWidth", QString::asprintf("%f", kColumns * kColumnWidth) },
            { "title", "Stock & <Costs>" }, { "currentDate", "Dec 8, 2026 at 07:00" } };
    }

    QVariant reportsGenerator(PdfReportGenerator*, const QString&, const QString& tag, quint64,
        quint64 offset, quint64 itemsCount) override
    {
        if (tag != QLatin1String("items"))
            return parameters.value(tag);
        return QVariantList(rows.begin() + qsizetype(std::min<quint64>(offset, kRows)),
            rows.begin() + qsizetype(std::min<quint64>(offset + itemsCount, kRows)));
    }
    void reportsGenerator(PdfReportGenerator*, const QByteArray& data) override
    {
        pdf = data;
        done = true;
    }
    void reportsGeneratorDidFailWithError(
        PdfReportGenerator*, const platform::Error& error) override
    {
        std::fprintf(stderr, "report failed: %s\n", qPrintable(error.localizedDescription()));
        done = true;
    }

    QVariantList rows;
    QVariantMap parameters;
    QByteArray pdf;
    bool done = false;
};

QString filledTemplate()
{
    OrderedDictionary columns;
    QList<double> widths;
    for (int c = 0; c < kColumns; ++c) {
        columns.setObject(QStringLiteral("Header %1").arg(c), key(c));
        widths << kColumnWidth;
    }
    return ReportController::htmlTemplate(columns, widths).value_or(QString());
}

int pages(const QString& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { path });
    info.waitForFinished(-1);
    static const QRegularExpression count(
        QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    return count.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
}

// The same rows in one HTML file (every section shown, page 1), converted by wkhtmltopdf
// to 1000 x 800 point pages with 20-point margins; seconds, or -1.
double runWkhtmltopdf(const QString& text, Report& report, int* pageCount)
{
    QVariantMap all = report.parameters;
    all.insert("items", report.rows);
    all.insert("pageNumber", "1");
    for (const char* section : { "documentHeader", "pageHeader", "pageContent", "pageFooter" })
        all.insert(section, true);
    platform::Error error;
    const auto html = MustacheTemplate::renderObjectFromString(all, text, &error);
    if (!html)
        return -1;
    // wkhtmltopdf on stock Qt prints a CSS pixel as 0.625 point (96 dpi, shrunk by 0.8)
    // and ignores --zoom; the report, like its page-width rule, takes a pixel for a point.
    // A CSS zoom makes the reference lay out the same sizes on the same page.
    QString zoomed = *html;
    zoomed.replace(
        QStringLiteral("</head>"), QStringLiteral("<style>body { zoom: 1.6; }</style>\n</head>"));
    const QString input = g_folder->filePath(QStringLiteral("report.html"));
    const QString output = g_folder->filePath(QStringLiteral("reference.pdf"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    file.write(zoomed.toUtf8());
    file.close();
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(QStringLiteral("wkhtmltopdf"),
        { "--quiet", "--page-width", "1000pt", "--page-height", "800pt", "-T", "20pt", "-B", "20pt",
            "-L", "20pt", "-R", "20pt", input, output });
    tool.waitForFinished(-1);
    const double seconds = secondsSince(timer);
    if (tool.exitCode() != 0)
        return -1;
    *pageCount = pages(output);
    return seconds;
}

void ThousandRowReport(benchmark::State& state)
{
    const QString text = filledTemplate();
    if (text.isEmpty()) {
        state.SkipWithError("no report template");
        return;
    }
    for (auto _ : state) {
        auto report = std::make_shared<Report>();
        auto generator = PdfReportGenerator::sharedGenerator();
        QElapsedTimer timer;
        timer.start();
        platform::Error error;
        generator->createReportWithName1("Stock", text, ReportController::ReportItemsPerPage, kRows,
            ReportController::ReportOrientation, report, report, &error, kColumns * kColumnWidth);
        while (!error && !report->done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const double ours = secondsSince(timer);
        if (error || report->pdf.isEmpty()) {
            state.SkipWithError("the report failed");
            return;
        }
        const QString path = g_folder->filePath(QStringLiteral("ours.pdf"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(report->pdf);
        file.close();
        int referencePages = 0;
        const double reference = runWkhtmltopdf(text, *report, &referencePages);
        if (reference < 0) {
            state.SkipWithError("wkhtmltopdf failed");
            return;
        }
        state.SetIterationTime(ours);
        state.counters["ours_ms"] = ours * 1000;
        state.counters["wkhtmltopdf_ms"] = reference * 1000;
        state.counters["ratio"] = ours / reference;
        std::printf("  ours %8.1f ms (%d pages, %llu trials)   wkhtmltopdf %8.1f ms (%d pages)   "
                    "ratio %.2f\n",
            ours * 1000, pages(path), static_cast<unsigned long long>(generator->trialCount()),
            reference * 1000, referencePages, ours / reference);
    }
}

} // namespace

BENCHMARK(ThousandRowReport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication<QApplication>(
        argc, argv,
        [] {
            g_folder = new QTemporaryDir();
            // Both PDFs kept to look at.
            if (qEnvironmentVariableIsSet("BENCH_PDF_KEEP")) {
                g_folder->setAutoRemove(false);
                std::printf("PDFs in %s\n", qPrintable(g_folder->path()));
            }
        },
        [] {
            delete g_folder;
            g_folder = nullptr;
        });
}
