#include "screens/GenericFilterSortDataController.h"

#include "forms/RecordCopy.h"
#include "grid/BaseViewController.h"
#include "grid/ContainsPredicate.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "utilities/shell/DeviceHelper.h"

GenericFilterSortDataController::GenericFilterSortDataController() = default;

GenericFilterSortDataController::~GenericFilterSortDataController() = default;

std::shared_ptr<BaseDataController> GenericFilterSortDataController::parentDataController() const
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto link = grid ? grid->parentLink() : nullptr;
    return link ? link->dataController.lock() : nullptr;
}

void GenericFilterSortDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    const auto owner = parent ? parent->dataController.lock() : parentDataController();
    setRows(owner ? listRows(*owner) : QVariantList());
}

void GenericFilterSortDataController::reloadRows()
{
    const auto owner = parentDataController();
    setRows(owner ? listRows(*owner) : QVariantList());
}

void GenericFilterSortDataController::searchData(const QString& text)
{
    filterRows(text, [this, predicate = ContainsPredicate(text)](const QVariant& row) {
        return predicate.evaluate(headerOf(row));
    });
}

void GenericFilterSortDataController::tapOnDisclosure(qint64)
{
    edit(nullptr);
}

void GenericFilterSortDataController::beforeEdit(const QVariant& row)
{
    setDetailRowInAction(row);
}

bool GenericFilterSortDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto owner = parentDataController();
    if (!grid || !owner)
        return false;
    // The selection indexes the rows shown, which are the search's matches while searching.
    QObject* selected = entryOf(getRowData(grid->selectedRow()));
    if (!selected)
        return false;
    QVariantList entries = listRows(*owner);
    entries.removeIf([&](const QVariant& row) { return entryOf(row) == selected; });
    setListRows(*owner, entries);
    reloadRows();
    refreshParent();
    return true;
}

OrderedDictionary GenericFilterSortDataController::getOrderingData() const
{
    OrderedDictionary items;
    const auto owner = parentDataController();
    if (!owner)
        return items;
    const QVariantList entries = listRows(*owner);
    for (qsizetype i = 0; i < entries.size(); ++i)
        items.setObject(headerOf(entries[i]), QString::number(i));
    return items;
}

bool GenericFilterSortDataController::onOrderingComplete(const QStringList& ids)
{
    const auto owner = parentDataController();
    if (!owner)
        return false;
    const QVariantList entries = listRows(*owner);
    QVariantList ordered;
    QList<bool> taken(entries.size(), false);
    for (const QString& id : ids) {
        bool number = false;
        const qsizetype index = id.toLongLong(&number);
        if (!number || index < 0 || index >= entries.size() || taken[index])
            continue;
        taken[index] = true;
        ordered << entries[index];
    }
    // An entry the order did not name (the list changed meanwhile) is kept, at the end.
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!taken[i])
            ordered << entries[i];
    }
    setListRows(*owner, ordered);
    reloadRows();
    refreshParent();
    return true;
}

void GenericFilterSortDataController::itemsReorderd()
{
    if (const auto owner = parentDataController()) {
        setListRows(*owner, rows());
        refreshParent();
    }
}

bool GenericFilterSortDataController::storeAccepted(const QVariant& row)
{
    const auto owner = parentDataController();
    if (!owner)
        return false;
    if (lastClickedButton() == AddAction) {
        QVariantList entries = listRows(*owner);
        entries << row;
        setListRows(*owner, entries);
    } else if (lastClickedButton() == EditAction) {
        QObject* original = entryOf(detailRowInAction());
        QObject* saved = entryOf(row);
        if (original && saved && original != saved)
            RecordCopy::copyProperties(*saved, *original);
    }
    reloadRows();
    refreshParent();
    return true;
}

void GenericFilterSortDataController::refreshParent()
{
    GridScreenProtocol* grid = mainGridViewController();
    auto* screen = grid ? dynamic_cast<BaseViewController*>(grid->gridViewController()) : nullptr;
    auto* caller
        = screen ? dynamic_cast<BaseViewController*>(screen->callingViewController()) : nullptr;
    if (!caller)
        return;
    if (const auto rowsController = caller->dataController())
        rowsController->setQueryChanged(true);
    caller->refreshView();
}

void GenericFilterSortDataController::searchTouched(platform::ui::Control* sender)
{
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    if (grid->isButtonInTopBar(sender)) {
        grid->showHideSearchBar();
        return;
    }
    refreshParent();
    platform::ui::ViewController* screen = grid->gridViewController();
    if (DeviceHelper::isIPHONE()) {
        if (platform::ui::NavigationController* navigation
            = screen ? screen->navigationController() : nullptr)
            navigation->popViewController(true);
        return;
    }
    auto* list = dynamic_cast<BaseViewController*>(screen);
    if (auto* caller
        = list ? dynamic_cast<BaseViewController*>(list->callingViewController()) : nullptr)
        caller->dismissPopup();
}
