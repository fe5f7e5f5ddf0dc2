#include "grid/SortDataController.h"

#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/QueryListScreen.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "model/Sort.h"
#include "utilities/data/Util.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

const QString SortDataController::TileImage = QStringLiteral("sortmetro");

SortDataController::SortDataController() = default;
SortDataController::~SortDataController() = default;

QString SortDataController::sortText(const Sort& sort)
{
    return QStringLiteral("%1 %2").arg(sort.Header(),
        sort.Ascending() ? LocalizedStrings::Ascending() : LocalizedStrings::Descending());
}

std::shared_ptr<BaseDataController> SortDataController::parentController() const
{
    return QueryListScreen::parentController(mainGridViewController());
}

void SortDataController::loadData(const std::shared_ptr<Parent>&)
{
    reloadRows();
}

void SortDataController::reloadRows()
{
    QVariantList entries;
    if (const auto parent = parentController()) {
        for (const auto& sort : std::as_const(parent->sorts()))
            entries.append(RowObject::fromRecord(sort));
    }
    setRows(entries);
}

std::shared_ptr<GridData> SortDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    const auto sort = RowObject::record<Sort>(row);
    if (!sort)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = sortText(*sort);
    item->Image = TileImage;
    return item;
}

void SortDataController::addRow()
{
    auto sort = std::make_shared<Sort>();
    sort->setAscending(true);
    Util::initObjectWithEmptyString(sort.get());
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromRecord(sort));
}

void SortDataController::editRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    if (grid)
        grid->ShowDetail(getRowData(grid->selectedRow()));
}

bool SortDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto parent = parentController();
    // The selection indexes the rows shown, which during a search are only the matches.
    const auto selected = RowObject::record<Sort>(getRowData(grid ? grid->selectedRow() : -1));
    if (!parent || !selected)
        return false;
    if (!parent->sorts().removeOne(selected))
        return false;
    reloadRows();
    return true;
}

bool SortDataController::saveRow(const QVariant& row)
{
    const auto sort = RowObject::record<Sort>(row);
    const auto parent = parentController();
    if (!sort || !parent)
        return false;
    const auto table = parent->table();
    sort->setColumn(table ? table->columnForHeader(sort->Header()) : QString());
    const bool valid = sort->Header() != LocalizedStrings::None()
        && MessageHelper::ValidateTextStringInObject(sort.get(), &Sort::staticMetaObject);
    if (!valid) {
        MessageHelper::ShowMessage(LocalizedStrings::InvalidData(), true);
        return false;
    }
    if (lastClickedButton() == AddAction) {
        parent->sorts().append(sort);
        reloadRows();
    }
    return true;
}

void SortDataController::searchData(const QString& text)
{
    filterRows(text, [predicate = ContainsPredicate(text)](const QVariant& row) {
        const auto sort = RowObject::record<Sort>(row);
        return sort && predicate.evaluate(sort->Header());
    });
}

void SortDataController::searchTouched(platform::ui::Control*)
{
    QueryListScreen::applyQuery(mainGridViewController());
}
