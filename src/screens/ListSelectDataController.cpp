#include "screens/ListSelectDataController.h"

#include "grid/ListSelectScreen.h"
#include "platform/ui/ViewController.h"

ListSelectDataController::ListSelectDataController() = default;

ListSelectDataController::~ListSelectDataController() = default;

ListSelectScreen* ListSelectDataController::listSelectViewController() const
{
    return dynamic_cast<ListSelectScreen*>(viewController());
}

void ListSelectDataController::loadData(const std::shared_ptr<Parent>&)
{
    ListSelectScreen* list = listSelectViewController();
    const auto texts = list ? list->rows() : std::nullopt;
    if (texts)
        setRows(buildContentMenu(*texts, list->image()));
}

void ListSelectDataController::tapOnDisclosure(qint64 index)
{
    ListSelectScreen* list = listSelectViewController();
    const ListSelectScreen::Handler handler = list ? list->listSelectHandler() : nullptr;
    const QVariant item = getRowData(index);
    if (!handler || !item.isValid())
        return;
    handler(item, rows().indexOf(item));
}

void ListSelectDataController::searchData(const QString& text)
{
    filterRows(text, getMenuSearchBlock(text));
}
