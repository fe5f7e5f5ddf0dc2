#include "grid/FilterDataController.h"

#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/QueryListScreen.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "utilities/data/Util.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

const QString FilterDataController::TileImage = QStringLiteral("filtermetro");

FilterDataController::FilterDataController() = default;
FilterDataController::~FilterDataController() = default;

std::shared_ptr<BaseDataController> FilterDataController::parentController() const
{
    return QueryListScreen::parentController(mainGridViewController());
}

void FilterDataController::loadData(const std::shared_ptr<Parent>&)
{
    reloadRows();
}

void FilterDataController::reloadRows()
{
    QVariantList entries;
    if (const auto parent = parentController()) {
        for (const auto& filter : std::as_const(parent->filters()))
            entries.append(RowObject::fromRecord(filter));
    }
    setRows(entries);
}

std::shared_ptr<GridData> FilterDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    const auto filter = RowObject::record<FilterExtended>(row);
    if (!filter)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = filter->SQL();
    item->Image = TileImage;
    return item;
}

void FilterDataController::addRow()
{
    auto filter = std::make_shared<FilterExtended>();
    Util::initObjectWithEmptyString(filter.get());
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromRecord(filter));
}

bool FilterDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto parent = parentController();
    // The selection indexes the rows shown, which during a search are only the matches.
    const auto selected
        = RowObject::record<FilterExtended>(getRowData(grid ? grid->selectedRow() : -1));
    if (!parent || !selected)
        return false;
    if (!parent->filters().removeOne(selected))
        return false;
    reloadRows();
    return true;
}

bool FilterDataController::saveRow(const QVariant& row)
{
    const auto filter = RowObject::record<FilterExtended>(row);
    const auto parent = parentController();
    if (!filter || !parent)
        return false;
    const auto table = parent->table();
    filter->setColumn(table ? table->columnForHeader(filter->Header()) : QString());
    filter->setSQL(
        QStringLiteral("%1 %2 %3 %4")
            .arg(filter->AndOr(), filter->Header(), filter->Operator(), filter->Value()));
    const QString none = LocalizedStrings::None();
    const bool valid = filter->AndOr() != none && filter->Header() != none
        && filter->Operator() != none
        && MessageHelper::ValidateTextStringInObject(filter.get(), &Filter::staticMetaObject);
    if (!valid) {
        MessageHelper::ShowMessage(LocalizedStrings::InvalidData(), true);
        return false;
    }
    if (lastClickedButton() == AddAction) {
        parent->filters().append(filter);
        reloadRows();
    }
    return true;
}

void FilterDataController::searchData(const QString& text)
{
    filterRows(text, [predicate = ContainsPredicate(text)](const QVariant& row) {
        const auto filter = RowObject::record<FilterExtended>(row);
        return filter && predicate.evaluate(filter->Header());
    });
}

void FilterDataController::searchTouched(platform::ui::Control*)
{
    QueryListScreen::applyQuery(mainGridViewController());
}
