#include "screens/ListImageSelectDataController.h"

#include "grid/ListSelectScreen.h"

ListImageSelectDataController::ListImageSelectDataController() = default;

ListImageSelectDataController::~ListImageSelectDataController() = default;

void ListImageSelectDataController::loadData(const std::shared_ptr<Parent>&)
{
    ListSelectScreen* list = listSelectViewController();
    const auto texts = list ? list->rows() : std::nullopt;
    if (texts)
        setRows(buildContentMenuWithImage(*texts, list->images()));
}
