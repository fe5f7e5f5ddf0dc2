#pragma once

#include "grid/BaseViewController.h"
#include "platform/ui/AlertView.h"
#include "utilities/shell/FileBrowserProtocol.h"

#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>

class PlotItem;
class ToolBarAction;

// The full screen page of one chart, the navigation bar hidden: its toolbar mails the
// chart as "chart.png", saves it as a PNG in Documents or the cloud documents folder
// (offering to open it), or goes back. Leaving by popping releases the chart.
class ChartHostViewController : public BaseViewController,
                                public FileBrowserProtocol,
                                public platform::ui::AlertViewDelegate {
    Q_OBJECT
public:
    // Toolbar buttons: share (mail), home, save, and to the cloud when it is there.
    enum Button : unsigned { MailButton = 40, HomeButton = 12, SaveButton = 31, CloudButton = 43 };

    Q_INVOKABLE explicit ChartHostViewController(QObject* parent = nullptr);
    ~ChartHostViewController() override;

    // Made by loadView: the toolbar from the buttons, with this screen as its delegate.
    void initProperties() override;

    const std::shared_ptr<PlotItem>& plotItem() const { return m_plotItem; }
    // Stores the chart, makes this its host and draws it.
    void setPlotItem(std::shared_ptr<PlotItem> item);
    void renderChart();
    void orientationChanged() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

    unsigned lastClickedButton() const { return m_lastClickedButton; }
    QString lastSelectedFileName() const { return m_lastSelectedFileName; }

    // The toolbar's actions.
    void mail();
    void save();
    void sendicloud();
    void home();

    void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& file, platform::ui::ViewController* sender) override;
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;

    // The chart as PNG bytes, as it is shown.
    QByteArray chartPng() const;

    static const QString MailFileName; // "chart.png"
    static const QString PngMimeType; // "image/png"
    static const QString PngType; // "png"

private:
    // Where the chart is drawn: the screen less what a notch covers of it.
    QRectF chartArea();

    std::shared_ptr<PlotItem> m_plotItem;
    std::shared_ptr<ToolBarAction> m_actions;
    unsigned m_lastClickedButton = 0;
    QString m_lastSelectedFileName;
    QPointer<platform::ui::View> m_chartArea;
    QRectF m_renderedArea;
};
