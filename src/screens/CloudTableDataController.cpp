#include "screens/CloudTableDataController.h"

#include "grid/BridgeScreenData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "screens/ScreenFactory.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPointer>

#include <utility>

CloudTableDataController::CloudTableDataController() = default;

CloudTableDataController::~CloudTableDataController() = default;

QString CloudTableDataController::dataChecksum(const QVariant& row) const
{
    const platform::coredata::ManagedObject* entity = RowObject::entity(row);
    return entity ? entity->value(QStringLiteral("id")).toString() : QString();
}

void CloudTableDataController::tapOnItem(qint64 index)
{
    // The grid selects its row again a moment after every reload: that never changes the
    // row an open Add or Edit form saves into.
    if (rowOfOpenForm().isValid())
        return;
    TableDataController::tapOnItem(index);
    m_checksum = detailRowInAction().isValid() ? dataChecksum(detailRowInAction()) : QString();
}

void CloudTableDataController::cloudStoreUnloaded()
{
    m_storeWent = true;
    setRows({});
    refreshGrid();
    showHud();
}

void CloudTableDataController::cloudStoreLoaded()
{
    hideHud();
    // The row an open Add or Edit form saves into, whatever the reload finds at the
    // selection.
    const QVariant formRow = rowOfOpenForm();
    const bool storeWent = std::exchange(m_storeWent, false);
    GridScreenProtocol* grid = mainGridViewController();
    m_prevSelectedRow = grid ? grid->selectedRow() : -1;

    std::shared_ptr<Parent> link = grid ? grid->parentLink() : nullptr;
    const auto parentController = link
        ? std::dynamic_pointer_cast<CloudTableDataController>(link->dataController.lock())
        : nullptr;
    if (parentController && parentController->prevSelectedRow() >= 0) {
        // The parent has reloaded first: its chosen row is gone, or it is there afresh.
        if (!parentController->detailRowInAction().isValid()) {
            if (grid)
                grid->setSelectedRow(-1);
            setDetailRowInAction({});
            poptoRootIfLast();
            return;
        }
        if (GridScreenProtocol* parentGrid = parentController->mainGridViewController()) {
            link = parentGrid->createParent();
            if (ScreenHost* host = screenHost())
                host->setParentLink(link);
        }
    }

    loadData(link);

    const qint64 selected = grid ? grid->selectedRow() : -1;
    if (selected >= 0 && selected < count()) {
        const QVariant row = getRowData(selected);
        if (dataChecksum(row) == m_checksum) {
            setDetailRowInAction(row);
        } else {
            grid->setSelectedRow(-1);
            setDetailRowInAction({});
        }
    } else {
        if (grid)
            grid->setSelectedRow(-1);
        // A row being added survives the reload.
        if (lastClickedButton() != AddAction)
            setDetailRowInAction({});
    }
    if (formRow.isValid())
        keepRowOfOpenForm(formRow, storeWent);
    refreshGrid();
    fireDetailCloudChange();
}

QVariant CloudTableDataController::rowOfOpenForm() const
{
    const unsigned action = lastClickedButton();
    // From the Add or Edit tap on, though the form, made off the main thread, may not
    // show yet: a reload in that moment must not give it the selected row.
    if (!isDetailFormOpenOrComing() || (action != AddAction && action != EditAction))
        return {};
    return detailRowInAction();
}

void CloudTableDataController::keepRowOfOpenForm(const QVariant& row, bool storeWent)
{
    if (lastClickedButton() == AddAction) {
        // The new row is in no store yet: nothing a reload finds is it.
        setDetailRowInAction(row);
        return;
    }
    // The objects of a store that went are gone with it: the row found again by its
    // checksum at the selection, as above, stands for the edited one.
    if (storeWent)
        return;
    // The same store: the edited object is the one to save into while it is still
    // stored; one the reload took away (deleted elsewhere) leaves none, and the form says
    // so.
    const platform::coredata::ManagedObject* entity = RowObject::entity(row);
    const bool stored = !entity || (entity->managedObjectContext() && !entity->isDeleted());
    setDetailRowInAction(stored ? row : QVariant());
}

void CloudTableDataController::poptoRootIfLast()
{
    if (!isTopOfStack())
        return;
    if (lastDetailViewController()) {
        fireDetailCloudChange();
        return;
    }
    MessageHelper::ShowMessage(LocalizedStrings::DataHasChanged(), false);
    GridScreenProtocol* grid = mainGridViewController();
    if (platform::ui::NavigationController* navigation
        = grid->gridViewController()->navigationController())
        navigation->popToRootViewController(true);
}

void CloudTableDataController::fireDetailCloudChange()
{
    if (!isTopOfStack())
        return;
    platform::ui::ViewController* detail = lastDetailViewController();
    if (!detail)
        return;
    platform::ui::NavigationController* navigation
        = mainGridViewController()->gridViewController()->navigationController();
    if (navigation && navigation->viewControllers().contains(detail))
        return;
    if (auto* follower = dynamic_cast<CloudStoreProtocol*>(detail))
        follower->cloudStoreLoaded();
}

ScreenHost* CloudTableDataController::screenHost() const
{
    return dynamic_cast<ScreenHost*>(viewController());
}

void CloudTableDataController::showHud()
{
    if (ScreenHost* host = screenHost())
        host->showHud();
}

void CloudTableDataController::hideHud()
{
    if (ScreenHost* host = screenHost())
        host->hideHud();
}

void CloudTableDataController::forceHideHud()
{
    if (ScreenHost* host = screenHost())
        host->forceHideHud();
}

void CloudTableDataController::setScreenTitle(const QString& title)
{
    if (platform::ui::ViewController* screen = viewController())
        screen->setTitle(title);
}

bool CloudTableDataController::isTopOfStack() const
{
    GridScreenProtocol* grid = mainGridViewController();
    platform::ui::ViewController* screen = grid ? grid->gridViewController() : nullptr;
    platform::ui::NavigationController* navigation
        = screen ? screen->navigationController() : nullptr;
    return navigation && navigation->topViewController() == screen;
}

void CloudTableDataController::presentOptions(const QStringList& rows, const QStringList& images,
    const QSizeF& tabletSize, std::function<void(qint64)> choose)
{
    ScreenHost* host = screenHost();
    if (!host)
        return;
    ScreenHost::OptionsList list;
    list.screen = ScreenFactory::GetScreen(ScreenFactory::ListImageSelector, nullptr);
    list.screen->title = LocalizedStrings::Options();
    list.rows = rows;
    list.images = images;
    list.handler = [self = QPointer(this), choose = std::move(choose)](qint64 index) {
        if (!self)
            return;
        try {
            choose(index);
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
    };
    if (DeviceHelper::isIPAD())
        list.popupSize = tabletSize;
    host->showOptionsList(list);
}

void CloudTableDataController::closeOptions(bool popOnPhone)
{
    if (DeviceHelper::isIPAD()) {
        if (ScreenHost* host = screenHost())
            host->dismissPopup();
        return;
    }
    if (!popOnPhone)
        return;
    GridScreenProtocol* grid = mainGridViewController();
    platform::ui::ViewController* screen = grid ? grid->gridViewController() : nullptr;
    platform::ui::NavigationController* navigation
        = screen ? screen->navigationController() : nullptr;
    if (navigation && navigation->topViewController() != screen)
        navigation->popViewController(true);
}
