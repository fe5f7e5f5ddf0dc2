#include "grid/QueryListScreen.h"

#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/GridScreenProtocol.h"
#include "grid/MainCollectionViewController.h"
#include "grid/Parent.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/DeviceHelper.h"

#include <QPointer>

std::shared_ptr<BaseDataController> QueryListScreen::parentController(GridScreenProtocol* grid)
{
    const auto link = grid ? grid->parentLink() : nullptr;
    return link ? link->dataController.lock() : nullptr;
}

void QueryListScreen::applyQuery(GridScreenProtocol* grid)
{
    auto* list = grid ? dynamic_cast<BaseViewController*>(grid->gridViewController()) : nullptr;
    if (!list)
        return;
    QPointer<MainCollectionViewController> calling
        = qobject_cast<MainCollectionViewController*>(list->callingViewController());
    if (calling) {
        if (const auto controller = calling->dataController())
            controller->setQueryChanged(true);
        calling->navigatePage(MainCollectionViewController::FirstPage);
    }
    if (DeviceHelper::isIPHONE()) {
        if (platform::ui::NavigationController* navigation = list->navigationController())
            navigation->popViewController(true);
    } else if (calling) {
        calling->dismissPopup();
    }
}
