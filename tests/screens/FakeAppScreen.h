#pragma once

#include "grid/BaseDataController.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/ScreenData.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/ViewController.h"
#include "screens/ScreenHost.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace screenstest {

// An application grid screen as its data controller sees it, without the collection
// view: it keeps a selection, a breadcrumb and a busy count, reloads through the data
// controller as the real screen does, and writes down what it was asked to show.
class FakeAppScreen : public platform::ui::ViewController,
                      public GridScreenProtocol,
                      public ScreenHost {
    Q_OBJECT
public:
    struct Opened {
        QString screenId;
        QString segue;
        QVariant data;
    };
    struct Browser {
        bool save = false;
        QString defaultFileName;
        QString type;
        QString title;
        FileBrowserProtocol* delegate = nullptr;
    };

    FakeAppScreen(std::shared_ptr<ScreenData> record,
        std::shared_ptr<BaseDataController> controller, std::shared_ptr<Parent> link = nullptr)
        : record(std::move(record))
        , link(std::move(link))
        , dataController(std::move(controller))
    {
        if (dataController)
            dataController->setViewController(this);
    }

    // GridScreenProtocol.
    platform::ui::ViewController* gridViewController() override { return this; }
    std::shared_ptr<ScreenData> screen() const override { return record; }
    std::shared_ptr<Parent> parentLink() const override { return link; }
    std::shared_ptr<Parent> createParent() override
    {
        auto made = std::make_shared<Parent>();
        made->parent = link;
        made->screen = record;
        made->dataController = dataController;
        if (selected != -1 && dataController)
            made->data = dataController->getRowData(selected);
        return made;
    }
    qint64 selectedRow() const override { return selected; }
    void setSelectedRow(qint64 row) override { selected = row; }
    void refreshGrid() override { ++gridRefreshes; }
    void refreshView() override
    {
        ++viewRefreshes;
        if (dataController)
            dataController->loadData(link);
        if (selected >= (dataController ? dataController->count() : 0))
            selected = -1;
        refreshGrid();
    }
    void ShowDetail(const QVariant& row) override
    {
        shownRows.append(row);
        shownForms.append(record ? record->detailViewController : QString());
    }
    void ShowDetail(const QVariant& row, const QString& detailType, const QString&) override
    {
        shownRows.append(row);
        shownForms.append(detailType);
    }
    void ShowRowDetail(const QVariant& row) override { shownRows.append(row); }
    void showAddEditDeletePopup() override { calls << "showAddEditDeletePopup"; }
    void showPagerPopup() override { calls << "showPagerPopup"; }
    void showHideSearchBar() override { calls << "showHideSearchBar"; }
    bool isButtonInTopBar(platform::ui::Control*) override { return true; }
    QObject* rowViewContoller() const override { return nullptr; }
    void changeRowViewController(const QString& rowViewClass) override
    {
        calls << "changeRowViewController:" + rowViewClass;
    }
    void prepareForSegue(platform::ui::StoryboardSegue& segue, QObject*) override
    {
        segues << segue.identifier();
        childscreensDuringSegue << (record ? record->childscreen : QString());
    }

    // ScreenHost.
    void showHud() override
    {
        ++hudCount;
        ++hudShows;
    }
    void hideHud() override { hudCount = qMax(0, hudCount - 1); }
    void forceHideHud() override { hudCount = 0; }
    void showScreen(const QString& screenId, const QString& segue, const QVariant& data) override
    {
        opened.append({ screenId, segue, data });
    }
    void showOptionsList(const OptionsList& list) override { optionLists.append(list); }
    void dismissPopup() override { ++popupDismissals; }
    void showPopup(const QString& popup, const QString& segue) override
    {
        calls << "showPopup:" + popup + ":" + segue;
    }
    void showScreenInPopup(const QString& screenId, const QSizeF& size) override
    {
        calls << QStringLiteral("showScreenInPopup:%1:%2x%3")
                     .arg(screenId)
                     .arg(size.width())
                     .arg(size.height());
    }
    void showLocalFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString&, const QString& title, FileBrowserProtocol* delegate) override
    {
        browsers.append({ save, defaultFileName, type, title, delegate });
    }
    void showRowDetail(const QVariantMap& values) override { rowDetails.append(values); }
    void setParentLink(std::shared_ptr<Parent> newLink) override { link = std::move(newLink); }

    std::shared_ptr<ScreenData> record;
    std::shared_ptr<Parent> link;
    std::shared_ptr<BaseDataController> dataController;
    qint64 selected = -1;
    int gridRefreshes = 0;
    int viewRefreshes = 0;
    int hudCount = 0;
    int hudShows = 0;
    int popupDismissals = 0;
    QVariantList shownRows;
    QStringList shownForms;
    QStringList calls;
    QStringList segues;
    QStringList childscreensDuringSegue;
    QList<Opened> opened;
    QList<OptionsList> optionLists;
    QList<Browser> browsers;
    QList<QVariantMap> rowDetails;
};

} // namespace screenstest
