#include "grid/SortRowViewController.h"

#include "grid/GridData.h"
#include "grid/RowObject.h"
#include "grid/SortDataController.h"
#include "model/Sort.h"
#include "platform/ui/View.h"

SortRowViewController::SortRowViewController() = default;
SortRowViewController::~SortRowViewController() = default;

void SortRowViewController::createRow(platform::ui::View* contentView, qint64 index, const QSizeF&)
{
    if (!contentView)
        return;
    clearTile(contentView);
    const auto sort = RowObject::record<Sort>(gridDataAt(index).Data);
    if (sort)
        addLabel(
            contentView, QRectF(0, 0, TextWidth, LineHeight), SortDataController::sortText(*sort));
}

QSizeF SortRowViewController::getRowSize()
{
    return tileSize(SortTileHeight);
}
