#include "screens/GenericSortDataController.h"

#include "forms/RowFormDataController.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/RowObject.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/Util.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

namespace {

const QString kSortImage = QStringLiteral("sortmetro");

} // namespace

GenericSortDataController::GenericSortDataController() = default;

GenericSortDataController::~GenericSortDataController() = default;

QVariantList GenericSortDataController::listRows(BaseDataController& parent) const
{
    QVariantList rows;
    for (const auto& sort : std::as_const(parent.sorts()))
        rows << RowObject::fromRecord(sort);
    return rows;
}

void GenericSortDataController::setListRows(BaseDataController& parent, const QVariantList& rows)
{
    QList<std::shared_ptr<Sort>> sorts;
    for (const QVariant& row : rows) {
        if (auto sort = RowObject::record<Sort>(row))
            sorts << sort;
    }
    parent.sorts() = sorts;
}

QObject* GenericSortDataController::entryOf(const QVariant& row) const
{
    return RowObject::record<Sort>(row).get();
}

QString GenericSortDataController::headerOf(const QVariant& row) const
{
    const auto sort = RowObject::record<Sort>(row);
    return sort ? sort->Header() : QString();
}

std::shared_ptr<GridData> GenericSortDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    const auto sort = RowObject::record<Sort>(row);
    if (!sort)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = QStringLiteral("%1 %2").arg(sort->Header(),
        sort->Ascending() ? LocalizedStrings::Ascending() : LocalizedStrings::Descending());
    item->Image = kSortImage;
    return item;
}

void GenericSortDataController::addRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    auto sort = std::make_shared<Sort>();
    sort->setAscending(true);
    Util::initObjectWithEmptyString(sort.get());
    const QVariant row = RowObject::fromRecord(sort);
    setDetailRowInAction(row);
    grid->ShowDetail(row);
}

bool GenericSortDataController::saveRow(const QVariant& row)
{
    const auto sort = RowObject::record<Sort>(row);
    const auto owner = parentDataController();
    if (!sort || !owner)
        return false;
    const auto* table = dynamic_cast<const RowFormDataController*>(owner.get());
    TemplateColumn* column
        = table ? TemplateColumn::getColumnForName(sort->Header(), table->Columns()) : nullptr;
    // Protected values are stored encrypted: their order means nothing.
    if (column && TypeConstants::isProtected(column->typeName()))
        column = nullptr;
    sort->setColumn(column ? column->id().toString() : QString());
    const bool valid = sort->Header() != LocalizedStrings::None()
        && MessageHelper::ValidateTextStringInObject(sort.get(), &Sort::staticMetaObject);
    if (!valid) {
        MessageHelper::ShowMessage(MessageHelper::InvalidDataMessage, false);
        return false;
    }
    return storeAccepted(row);
}
