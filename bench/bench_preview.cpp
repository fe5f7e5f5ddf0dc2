// The PDF preview on a generated 200-page document: the first page painted after opening,
// and paging through every page, each beside `pdftoppm` rendering the same pages at the
// same width in pixels in the same run, as ratios. Ratios below 1 mean we are faster.
#include "platform/ui/PdfPagesView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using benchsupport::secondsSince;

constexpr int kPages = 200;
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 1000;

QTemporaryDir* g_folder = nullptr;
QString g_pdf;

// Pages of text with a table-like grid and a filled band, like a report's.
void makeDocument(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"), 9);
    painter.setFont(font);
    for (int page = 0; page < kPages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.fillRect(QRectF(40, 40, 515, 30), QColor(42, 93, 143));
        painter.setPen(Qt::white);
        painter.drawText(
            QPointF(50, 60), QStringLiteral("Inventory report, page %1").arg(page + 1));
        painter.setPen(Qt::black);
        for (int row = 0; row < 48; ++row) {
            const double y = 90 + row * 15;
            painter.drawLine(QPointF(40, y + 4), QPointF(555, y + 4));
            painter.drawText(QPointF(44, y),
                QStringLiteral("Item %1   Shelf %2   Count %3   Value %4.%5")
                    .arg(page * 48 + row)
                    .arg(row % 12)
                    .arg((row * 37) % 101)
                    .arg((row * 131) % 997)
                    .arg(row % 100, 2, 10, QLatin1Char('0')));
        }
    }
}

// pdftoppm on pages first..last at the width our view draws a page; seconds, or -1.
double runPdftoppm(int first, int last, int width)
{
    const QString prefix = g_folder->filePath(QStringLiteral("ref"));
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-f"), QString::number(first), QStringLiteral("-l"), QString::number(last),
            QStringLiteral("-scale-to-x"), QString::number(width), QStringLiteral("-scale-to-y"),
            QStringLiteral("-1"), g_pdf, prefix });
    tool.waitForFinished(-1);
    const double seconds = secondsSince(timer);
    for (const QString& made : QDir(g_folder->path()).entryList({ QStringLiteral("ref*") }))
        QFile::remove(g_folder->filePath(made));
    return tool.exitCode() == 0 ? seconds : -1;
}

bool report(benchmark::State& state, const char* job, double ours, double reference)
{
    if (ours < 0 || reference < 0) {
        state.SkipWithError("a run failed");
        return false;
    }
    state.SetIterationTime(ours);
    state.counters["ours_ms"] = ours * 1000;
    state.counters["pdftoppm_ms"] = reference * 1000;
    state.counters["ratio"] = ours / reference;
    std::printf("  %-24s ours %9.1f ms   pdftoppm %9.1f ms   ratio %.2f\n", job, ours * 1000,
        reference * 1000, ours / reference);
    return true;
}

std::unique_ptr<platform::ui::PdfPagesView> makeView()
{
    auto view = std::make_unique<platform::ui::PdfPagesView>();
    view->resize(kViewWidth, kViewHeight);
    return view;
}

void FirstPagePainted(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto view = makeView();
        if (!view->load(g_pdf)) {
            state.SkipWithError("the PDF did not load");
            return;
        }
        view->viewport()->grab();
        const double ours = secondsSince(timer);
        const int width = view->pageRect(0).width();
        // The view draws the page in sight and readies the next: the same two pages.
        if (!report(state, "first page painted", ours, runPdftoppm(1, 2, width)))
            return;
    }
}

void PagingThroughEveryPage(benchmark::State& state)
{
    for (auto _ : state) {
        auto view = makeView();
        if (!view->load(g_pdf)) {
            state.SkipWithError("the PDF did not load");
            return;
        }
        view->viewport()->grab();
        QElapsedTimer timer;
        timer.start();
        QScrollBar* bar = view->verticalScrollBar();
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            view->viewport()->grab();
        }
        const double ours = secondsSince(timer);
        std::printf("  pages rendered: %d\n", view->renderCount());
        if (!report(state, "paging through 200", ours,
                runPdftoppm(1, kPages, view->pageRect(0).width())))
            return;
    }
}

} // namespace

BENCHMARK(FirstPagePainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PagingThroughEveryPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication<QApplication>(
        argc, argv,
        [] {
            g_folder = new QTemporaryDir();
            g_pdf = g_folder->filePath(QStringLiteral("report.pdf"));
            makeDocument(g_pdf);
        },
        [] {
            delete g_folder;
            g_folder = nullptr;
        });
}
