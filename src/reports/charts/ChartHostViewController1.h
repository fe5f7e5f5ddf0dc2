#pragma once

#include "grid/OrietnationViewController.h"

#include <memory>

class PlotItem;

// A bare chart page without toolbar: the drill-down of a pie slice shows its nested chart
// here.
class ChartHostViewController1 : public OrietnationViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ChartHostViewController1(QObject* parent = nullptr);
    ~ChartHostViewController1() override;

    const std::shared_ptr<PlotItem>& plotItem() const { return m_plotItem; }
    void setPlotItem(std::shared_ptr<PlotItem> item);
    void renderChart();
    void viewDidLoad() override;
    void orientationChanged() override;

private:
    std::shared_ptr<PlotItem> m_plotItem;
};
