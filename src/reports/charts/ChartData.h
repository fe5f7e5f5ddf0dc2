#pragma once

#include <QString>

#include <memory>

class ChartInfo;

// One point of a chart: its x text and position, its value and the value's display text.
class ChartData {
public:
    QString label;
    double value = 0;
    // A nested chart; only the drill-down pie opens one.
    std::shared_ptr<ChartInfo> childChart;
    double xValue = 0;
    QString yLabel;
};
