#pragma once

#include "grid/BaseDataController.h"
#include "grid/ClassRegistry.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/ScreenData.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/ViewController.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace gridtest {

// A main grid screen as its data controller sees it, without the collection view: it
// keeps a selection, a breadcrumb and a row-view object, reloads through the data
// controller as the real screen does, and writes down what it was asked to do.
class FakeGridScreen : public platform::ui::ViewController, public GridScreenProtocol {
    Q_OBJECT
public:
    // With makeRowView, the row view the record names is made as the screen does.
    FakeGridScreen(std::shared_ptr<ScreenData> record,
        std::shared_ptr<BaseDataController> controller, std::shared_ptr<Parent> link = nullptr,
        bool makeRowView = true)
        : record(std::move(record))
        , link(std::move(link))
        , dataController(std::move(controller))
    {
        if (dataController)
            dataController->setViewController(this);
        if (makeRowView && this->record && !this->record->rowView.isEmpty())
            rowView = ClassRegistry::create(this->record->rowView);
    }

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
    // Loads as the main grid screen does, then redraws.
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
        shownTitles.append(QString());
    }
    void ShowDetail(const QVariant& row, const QString& detailType, const QString& title) override
    {
        shownRows.append(row);
        shownForms.append(detailType);
        shownTitles.append(title);
    }
    void ShowRowDetail(const QVariant& row) override { rowDetails.append(row); }
    void showAddEditDeletePopup() override { calls << "showAddEditDeletePopup"; }
    void showPagerPopup() override { calls << "showPagerPopup"; }
    void showHideSearchBar() override { calls << "showHideSearchBar"; }
    bool isButtonInTopBar(platform::ui::Control*) override { return topBarButton; }
    QObject* rowViewContoller() const override { return rowView.get(); }
    void changeRowViewController(const QString& rowViewClass) override
    {
        rowView = ClassRegistry::create(rowViewClass);
        calls << "changeRowViewController:" + rowViewClass;
    }

    // What the segue saw while it ran.
    void prepareForSegue(platform::ui::StoryboardSegue& segue, QObject* sender) override
    {
        segues << segue.identifier();
        segueSenders << sender;
        childscreensDuringSegue << (record ? record->childscreen : QString());
    }

    std::shared_ptr<ScreenData> record;
    std::shared_ptr<Parent> link;
    std::shared_ptr<BaseDataController> dataController;
    std::shared_ptr<QObject> rowView;
    qint64 selected = -1;
    bool topBarButton = false;
    int gridRefreshes = 0;
    int viewRefreshes = 0;
    QVariantList shownRows;
    QStringList shownForms;
    QStringList shownTitles;
    QVariantList rowDetails;
    QStringList calls;
    QStringList segues;
    QList<QObject*> segueSenders;
    QStringList childscreensDuringSegue;
};

} // namespace gridtest
