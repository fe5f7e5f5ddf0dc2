#include "reports/charts/ChartHostViewController1.h"

#include "platform/plot/Theme.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "reports/charts/PlotItem.h"
#include "utilities/shell/MessageHelper.h"

ChartHostViewController1::ChartHostViewController1(QObject* parent)
    : OrietnationViewController(parent)
{
}

ChartHostViewController1::~ChartHostViewController1()
{
    if (m_plotItem)
        m_plotItem->killGraph();
}

void ChartHostViewController1::viewDidLoad()
{
    OrietnationViewController::viewDidLoad();
    if (platform::ui::NavigationController* navigation = navigationController())
        navigation->setToolbarHidden(true);
}

void ChartHostViewController1::setPlotItem(std::shared_ptr<PlotItem> item)
{
    m_plotItem = std::move(item);
    renderChart();
}

void ChartHostViewController1::renderChart()
{
    if (!m_plotItem)
        return;
    try {
        m_plotItem->renderInView(view(), platform::plot::Theme::Slate, true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void ChartHostViewController1::orientationChanged()
{
    OrietnationViewController::orientationChanged();
    renderChart();
}
