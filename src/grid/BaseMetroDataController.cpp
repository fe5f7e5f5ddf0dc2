#include "grid/BaseMetroDataController.h"

#include "grid/GridScreenProtocol.h"
#include "grid/ScreenData.h"

BaseMetroDataController::BaseMetroDataController() = default;
BaseMetroDataController::~BaseMetroDataController() = default;

void BaseMetroDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (record && !record->childScreens.isEmpty())
        setRows(buildContentMenu(record->childScreens, parent));
}

void BaseMetroDataController::searchData(const QString& text)
{
    filterRows(text, getMenuSearchBlock(text));
}
