#include "reports/charts/ChartHostViewController.h"

#include "grid/ToolBar.h"
#include "grid/ToolBarAction.h"
#include "platform/Dispatch.h"
#include "platform/plot/Theme.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/View.h"
#include "reports/ReportController.h"
#include "reports/charts/PlotItem.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QBuffer>
#include <QPointer>

namespace ui = platform::ui;

const QString ChartHostViewController::MailFileName = QStringLiteral("chart.png");
const QString ChartHostViewController::PngMimeType = QStringLiteral("image/png");
const QString ChartHostViewController::PngType = QStringLiteral("png");

namespace {

// The toolbar's delegate: the screen, held weakly, each action guarded.
class HostActions : public ToolBarAction {
public:
    explicit HostActions(ChartHostViewController* host)
        : m_host(host)
    {
    }
    void mail(ui::Control*) override { run(&ChartHostViewController::mail); }
    void share(ui::Control*) override { run(&ChartHostViewController::mail); }
    void home(ui::Control*) override { run(&ChartHostViewController::home); }
    void save(ui::Control*) override { run(&ChartHostViewController::save); }
    void sendicloud(ui::Control*) override { run(&ChartHostViewController::sendicloud); }

private:
    void run(void (ChartHostViewController::*action)())
    {
        if (!m_host)
            return;
        try {
            (m_host->*action)();
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
    }

    QPointer<ChartHostViewController> m_host;
};

} // namespace

ChartHostViewController::ChartHostViewController(QObject* parent)
    : BaseViewController(parent)
{
}

ChartHostViewController::~ChartHostViewController()
{
    if (m_plotItem)
        m_plotItem->killGraph();
}

void ChartHostViewController::initProperties()
{
    BaseViewController::initProperties();
    m_actions = std::make_shared<HostActions>(this);
    ToolBar* bar = toolBar();
    if (!bar)
        return;
    bar->setDelegate(m_actions);
    auto bits = std::make_shared<BitManager>(
        BitManager::createButtonVector({ MailButton, HomeButton, SaveButton }));
    KivoAppDelegate* application = KivoAppDelegate::ApplicationDelegate();
    if (application && application->cloudAvailable())
        bits->setBit(CloudButton);
    bar->setButtonBits(bits);
}

void ChartHostViewController::setPlotItem(std::shared_ptr<PlotItem> item)
{
    if (m_plotItem && m_plotItem != item)
        m_plotItem->killGraph();
    m_plotItem = std::move(item);
    if (m_plotItem)
        m_plotItem->setHostViewController(this);
    renderChart();
}

void ChartHostViewController::renderChart()
{
    if (!m_plotItem)
        return;
    try {
        ui::View* shown = view();
        if (!m_chartArea)
            m_chartArea = new ui::View(shown);
        m_renderedArea = chartArea();
        m_chartArea->setFrame(m_renderedArea);
        m_plotItem->renderInView(m_chartArea, platform::plot::Theme::Slate, true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void ChartHostViewController::orientationChanged()
{
    BaseViewController::orientationChanged();
    renderChart();
}

void ChartHostViewController::viewDidLayoutSubviews()
{
    BaseViewController::viewDidLayoutSubviews();
    // A new size is drawn afresh: the pie's radius and anchor follow the screen.
    if (m_plotItem && isViewLoaded() && chartArea() != m_renderedArea) {
        QPointer<ChartHostViewController> self(this);
        platform::dispatch::asyncMain([self] {
            if (self && self->m_plotItem && self->chartArea() != self->m_renderedArea)
                self->renderChart();
        });
    }
}

QRectF ChartHostViewController::chartArea()
{
    // The chart keeps clear of a notch at the side, measured where the screen comes to
    // rest: a screen pushed is laid out while it still slides in.
    ui::View* shown = view();
    return shown->bounds().marginsRemoved(ui::SafeArea::restingOverlap(shown));
}

void ChartHostViewController::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    if (ui::NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(true, false);
}

void ChartHostViewController::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    if (disappearedOnPop() && m_plotItem) {
        m_plotItem->killGraph();
        m_plotItem.reset();
    }
    if (ui::NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(false, false);
}

QByteArray ChartHostViewController::chartPng() const
{
    if (!m_plotItem)
        return {};
    const QImage image = m_plotItem->imageRepresentation(0);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

void ChartHostViewController::mail()
{
    m_lastClickedButton = MailButton;
    if (!m_plotItem)
        return;
    // The recipient is left for the person to fill in.
    MailHelper::sendEmailToWithFile(
        QString(), m_plotItem->title(), chartPng(), PngMimeType, MailFileName, this);
}

void ChartHostViewController::save()
{
    m_lastClickedButton = SaveButton;
    const QString title = m_plotItem ? m_plotItem->title() : QString();
    showLocalFileBrowser(true, QStringLiteral("%1.png").arg(title), PngType, QString(),
        LocalizedStrings::Save(), this);
}

void ChartHostViewController::sendicloud()
{
    m_lastClickedButton = CloudButton;
    const QString title = m_plotItem ? m_plotItem->title() : QString();
    showCloudFileBrowser(true, QStringLiteral("%1.png").arg(title), PngType, QString(),
        LocalizedStrings::Save(), this);
}

void ChartHostViewController::home()
{
    if (ui::NavigationController* navigation = navigationController())
        navigation->popViewController(true);
}

void ChartHostViewController::fileBrowseCompleted(
    const std::shared_ptr<FileInfo>& file, ui::ViewController*)
{
    try {
        if (!file)
            return;
        const bool cloud = m_lastClickedButton == CloudButton;
        m_lastSelectedFileName = cloud ? file->name : file->fullName;
        saveFile(m_lastSelectedFileName, chartPng(), cloud, true, this);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void ChartHostViewController::alertViewDidDismissWithButtonIndex(
    ui::AlertView* alert, int buttonIndex)
{
    if (buttonIndex != 1 || !alert)
        return;
    ReportController::openFile(m_lastSelectedFileName, alert->tag() == SavedToCloudTag, this);
}
