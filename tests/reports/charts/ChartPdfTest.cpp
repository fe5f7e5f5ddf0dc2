#include "ChartTestSupport.h"

#include "reports/PdfTestSupport.h"

#include "platform/plot/BarPlot.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/LineChart.h"

#include <QDir>

using namespace charttest;
namespace plot = platform::plot;

namespace {

// Page 1 of the PDF drawn by poppler at one pixel per point.
QImage pdfPage(const QString& path)
{
    const QString prefix = QDir(testsupport::homePath()).filePath(QStringLiteral("page"));
    int exitCode = -1;
    testsupport::runTool(
        "pdftoppm", { "-png", "-r", "72", "-singlefile", path, prefix }, {}, &exitCode);
    return exitCode == 0 ? QImage(prefix + QStringLiteral(".png")) : QImage();
}

} // namespace

TEST_F(ChartTest, PdfOfAChartIsOnePageOfItsSizeWithItsTextsAndBars)
{
    BarChart chart(info({ 10, 20 }));
    const QImage shown = render(chart, QSizeF(500, 300));
    const QByteArray pdf = chart.pdfRepresentions(0);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const QString path = pdftest::writePdf(pdf, QStringLiteral("chart.pdf"));

    const pdftest::Info info = pdftest::pdfInfo(path);
    EXPECT_EQ(info.pages, 1);
    EXPECT_EQ(info.pageSize, QStringLiteral("500 x 300 pts"));
    // The title and the axis title are text, not pictures of it.
    const QStringList lines = pdftest::pdfLines(path).value(1);
    EXPECT_TRUE(lines.join(' ').contains(QStringLiteral("Sales"))) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.join(' ').contains(QStringLiteral("Amount")))
        << lines.join('|').toStdString();

    // Drawn where the picture has them: the middle of each bar has the bar's colour.
    const QImage page = pdfPage(path);
    ASSERT_EQ(page.size(), shown.size());
    const auto* bars = chart.barPlot();
    for (qsizetype i = 0; i < 2; ++i) {
        const plot::PlotSpace& space = *chart.graph()->defaultPlotSpace();
        const QPointF middle = bars->barRect(space, i).intersected(space.plotArea()).center();
        EXPECT_TRUE(near(at(page, middle), at(shown, middle), 12))
            << i << at(page, middle).name().toStdString() << " "
            << at(shown, middle).name().toStdString();
    }
}

TEST_F(ChartTest, PdfOfAGraphNotDrawnIsEmpty)
{
    LineChart chart(info({ 1, 2, 3 }));
    EXPECT_TRUE(chart.pdfRepresentions(0).isEmpty());
    render(chart, QSizeF(400, 300));
    EXPECT_FALSE(chart.pdfRepresentions(0).isEmpty());
    EXPECT_TRUE(chart.pdfRepresentions(1).isEmpty());
    EXPECT_TRUE(chart.pdfRepresentions(-1).isEmpty());
}
