#pragma once

#include "reports/charts/ChartData.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

// One chart: its titles, its points in x order and how its axes are labelled.
class ChartInfo {
public:
    QString title;
    QString ytitle;
    QList<std::shared_ptr<ChartData>> chartData;
    QString chartType;
    QString xAxisType;
    QString xtitle;
    unsigned xDecimal = 0;
    unsigned yDecimal = 0;
    QString theme;
    // The explicit x ticks of a line chart: (label text, position) pairs; empty when the
    // chart labels its points itself.
    QList<QPair<QString, double>> xAxisLabels;
};
