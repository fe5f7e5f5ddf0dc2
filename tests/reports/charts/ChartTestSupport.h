#pragma once

#include "platform/plot/Graph.h"
#include "platform/plot/RandomSource.h"
#include "platform/plot/Theme.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/View.h"
#include "reports/charts/BaseChart.h"
#include "reports/charts/ChartInfo.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace charttest {

// A chart of plain values, one point per value, labelled "a", "b", ...
inline std::shared_ptr<ChartInfo> info(
    const QList<double>& values, const QString& theme = platform::plot::Theme::PlainWhite)
{
    auto chart = std::make_shared<ChartInfo>();
    chart->title = QStringLiteral("Sales");
    chart->ytitle = QStringLiteral("Amount");
    chart->xtitle = QStringLiteral("Item");
    chart->theme = theme;
    chart->yDecimal = 2;
    for (qsizetype i = 0; i < values.size(); ++i) {
        auto point = std::make_shared<ChartData>();
        point->label = QString(QChar(char16_t(u'a' + i % 26)));
        point->value = values[i];
        point->xValue = double(i + 1);
        point->yLabel = QString::number(values[i], 'f', 2);
        chart->chartData.append(point);
    }
    return chart;
}

// Devices, instant animations and seeded colours for every chart test.
struct ChartTest : ::testing::Test {
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        platform::plot::RandomSource::seed(7);
    }
    void TearDown() override
    {
        ASSERT_TRUE(platform::ui::Device::current().selectModel(QStringLiteral("tablet")));
        platform::plot::RandomSource::setSource({});
    }

    static void useDevice(const QString& name)
    {
        ASSERT_TRUE(platform::ui::Device::current().selectModel(name));
    }

    // The chart drawn into a view of the size, and its graph painted.
    QImage render(BaseChart& chart, const QSizeF& size)
    {
        view = std::make_unique<platform::ui::View>(QRectF(QPointF(0, 0), size));
        chart.renderInView(view.get(), QString(), false);
        return chart.graph()->imageOfLayer();
    }

    static bool near(const QColor& a, const QColor& b, int tolerance = 3)
    {
        return std::abs(a.red() - b.red()) <= tolerance
            && std::abs(a.green() - b.green()) <= tolerance
            && std::abs(a.blue() - b.blue()) <= tolerance;
    }

    static QColor at(const QImage& image, const QPointF& point)
    {
        return image.pixelColor(int(std::floor(point.x())), int(std::floor(point.y())));
    }

    std::unique_ptr<platform::ui::View> view;
};

} // namespace charttest
