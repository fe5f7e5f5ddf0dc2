#include "reports/ReportFixture.h"

#include "platform/plot/Graph.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/RandomSource.h"
#include "platform/plot/Theme.h"
#include "platform/ui/Device.h"
#include "platform/ui/Window.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartHostViewController.h"
#include "reports/charts/ChartInfo.h"
#include "reports/charts/LineChart.h"
#include "reports/charts/PieChart.h"
#include "style/Theme.h"
#include "utilities/shell/Preferences.h"
#include "utilities/text/LocalizedStrings.h"

#include <QGuiApplication>

using reporttest::ReportTest;

namespace {

// Charts on the window of a tablet or a phone, for a person to look at. Under X the
// picture is also taken from the X server.
struct ChartScreenshots : ReportTest, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        ReportTest::SetUp();
        Preferences::registerDefaults();
        delegate->setCurrentStyle(::Theme::getDefaultTheme());
        platform::plot::RandomSource::seed(5);
        ASSERT_TRUE(platform::ui::Device::current().selectModel(GetParam()));
        addColumn(QStringLiteral("Fruit"), TypeConstants::Text);
        addColumn(QStringLiteral("Amount"), TypeConstants::Currency, false, 0, 2);
        table = addTable(QStringLiteral("Market"));
        storeRows(table,
            { { { "Fruit", "Apples" }, { "Amount", 120.5 } },
                { { "Fruit", "Pears" }, { "Amount", 80.0 } },
                { { "Fruit", "Plums" }, { "Amount", 45.25 } },
                { { "Fruit", "Cherries" }, { "Amount", 150.0 } },
                { { "Fruit", "Quinces from the orchard" }, { "Amount", 20.0 } } });
        open(table);
        platform::ui::Application::shared().makeKeyAndVisible();
        // The window takes the device's screen.
        if (auto* window = platform::ui::Application::shared().keyWindow()) {
            const bool phone = QString::fromLatin1(GetParam()) == QStringLiteral("phone");
            window->setFrame(QRectF(0, 0, phone ? 375 : 1024, phone ? 667 : 768));
        }
        testsupport::processEvents(30);
    }
    void TearDown() override
    {
        platform::plot::RandomSource::setSource({});
        ASSERT_TRUE(platform::ui::Device::current().selectModel(QStringLiteral("tablet")));
        ReportTest::TearDown();
    }

    QString shotName(const QString& what) const
    {
        return QStringLiteral("chart-%1-%2.png").arg(what, QString::fromLatin1(GetParam()));
    }

    void saveShot(const QString& what)
    {
        auto* window = platform::ui::Application::shared().keyWindow();
        ASSERT_TRUE(window);
        window->layoutIfNeeded();
        testsupport::processEvents(60);
        const QString path = testsupport::outputPath(shotName(what));
        EXPECT_TRUE(window->snapshot().save(path));
        if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
            testsupport::processEvents(300);
            testsupport::runTool(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    testsupport::outputPath(QStringLiteral("x-") + shotName(what)) });
        }
    }

    ChartHostViewController* show(std::shared_ptr<BaseChart> chart)
    {
        auto* screen = new ChartHostViewController();
        navigation->pushViewController(screen, false);
        screen->setPlotItem(chart);
        testsupport::processEvents(30);
        return screen;
    }

    std::shared_ptr<ChartInfo> chartOf(const QString& type, const QString& theme)
    {
        ChartDataController builder(controller.get());
        const QVariantMap definition { { "xaxis", "Fruit" }, { "yaxis", "Amount" },
            { "type", type }, { "function", LocalizedStrings::Sum() },
            { "grouping", LocalizedStrings::None() }, { "theme", theme } };
        return builder.buildChart(definition, nullptr);
    }

    UserTemplate* table = nullptr;
};

} // namespace

TEST_P(ChartScreenshots, BarLineAndPieInEveryTheme)
{
    for (const QString& theme : platform::plot::Theme::names()) {
        const QString tag = theme.toLower().replace(u' ', u'-');
        auto bars = std::make_shared<BarChart>(chartOf(LocalizedStrings::Bar(), theme));
        ChartHostViewController* screen = show(bars);
        saveShot(QStringLiteral("bar-") + tag);
        const auto* space = bars->graph()->defaultPlotSpace();
        bars->graph()->pointingDeviceDown(space->viewPoint(3, 10));
        testsupport::processEvents(20);
        saveShot(QStringLiteral("bar-selected-") + tag);
        screen->home();
        testsupport::processEvents(20);

        auto line = std::make_shared<LineChart>(chartOf(LocalizedStrings::Line(), theme));
        screen = show(line);
        saveShot(QStringLiteral("line-") + tag);
        const auto* lineSpace = line->graph()->defaultPlotSpace();
        line->graph()->pointingDeviceDown(lineSpace->viewPoint(2.4, 60));
        line->graph()->pointingDeviceUp(lineSpace->viewPoint(2.4, 60));
        testsupport::processEvents(20);
        saveShot(QStringLiteral("line-cursor-") + tag);
        screen->home();
        testsupport::processEvents(20);

        auto pie = std::make_shared<PieChart>(chartOf(LocalizedStrings::Pie(), theme));
        screen = show(pie);
        testsupport::processEvents(500);
        saveShot(QStringLiteral("pie-") + tag);
        const auto slices = pie->piePlot()->slices(*pie->graph()->defaultPlotSpace());
        ASSERT_FALSE(slices.isEmpty());
        const double mid = slices[1].start + slices[1].sweep / 2;
        pie->graph()->pointingDeviceDown(slices[1].center
            + QPointF(std::cos(mid), -std::sin(mid)) * pie->piePlot()->pieRadius() * 0.5);
        testsupport::processEvents(20);
        saveShot(QStringLiteral("pie-selected-") + tag);
        screen->home();
        testsupport::processEvents(20);
    }
}

TEST_P(ChartScreenshots, EmptyAndCrowdedCharts)
{
    auto empty = std::make_shared<ChartInfo>();
    empty->title = QStringLiteral("Market");
    empty->theme = platform::plot::Theme::PlainWhite;
    ChartHostViewController* screen = show(std::make_shared<LineChart>(empty));
    saveShot(QStringLiteral("line-empty"));
    screen->home();
    testsupport::processEvents(20);

    auto crowded = std::make_shared<ChartInfo>();
    crowded->title = QStringLiteral("Market");
    crowded->ytitle = QStringLiteral("Amount");
    crowded->theme = platform::plot::Theme::PlainWhite;
    for (int i = 0; i < 1000; ++i) {
        auto point = std::make_shared<ChartData>();
        point->label = QStringLiteral("Category %1").arg(i);
        point->value = 1 + (i * 37) % 100;
        point->xValue = i + 1;
        point->yLabel = QString::number(point->value);
        crowded->chartData.append(point);
    }
    for (const QString& type :
        { QStringLiteral("bar"), QStringLiteral("line"), QStringLiteral("pie") }) {
        std::shared_ptr<BaseChart> chart;
        if (type == QStringLiteral("bar"))
            chart = std::make_shared<BarChart>(crowded);
        else if (type == QStringLiteral("line"))
            chart = std::make_shared<LineChart>(crowded);
        else
            chart = std::make_shared<PieChart>(crowded);
        screen = show(chart);
        testsupport::processEvents(500);
        saveShot(type + QStringLiteral("-1000"));
        screen->home();
        testsupport::processEvents(20);
    }
}

INSTANTIATE_TEST_SUITE_P(TabletAndPhone, ChartScreenshots, ::testing::Values("tablet", "phone"));
