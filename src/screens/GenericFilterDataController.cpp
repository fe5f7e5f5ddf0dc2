#include "screens/GenericFilterDataController.h"

#include "forms/RowFormDataController.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/Util.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

namespace {

const QString kFilterImage = QStringLiteral("filtermetro");

// The condition's value as the column shows it, from the value that suits its type.
QString valueText(const FilterExtended& filter, const TemplateColumn& column)
{
    const QString type = column.typeName();
    if (TypeConstants::isNumber(type))
        return column.getStringValue(filter.numericValue());
    if (TypeConstants::isDate(type))
        return column.getStringValue(filter.dateValue());
    if (TypeConstants::isText(type))
        return column.getStringValue(filter.textValue());
    if (TypeConstants::isBoolean(type))
        return column.getStringValue(filter.yesnoValue());
    return {};
}

// A choice left empty or set to "None".
bool isChosen(const QString& label)
{
    return !label.isEmpty() && label != LocalizedStrings::None();
}

} // namespace

GenericFilterDataController::GenericFilterDataController() = default;

GenericFilterDataController::~GenericFilterDataController() = default;

QVariantList GenericFilterDataController::listRows(BaseDataController& parent) const
{
    QVariantList rows;
    for (const auto& filter : std::as_const(parent.filters()))
        rows << RowObject::fromRecord(filter);
    return rows;
}

void GenericFilterDataController::setListRows(BaseDataController& parent, const QVariantList& rows)
{
    QList<std::shared_ptr<FilterExtended>> filters;
    for (const QVariant& row : rows) {
        if (auto filter = RowObject::record<FilterExtended>(row))
            filters << filter;
    }
    parent.filters() = filters;
}

QObject* GenericFilterDataController::entryOf(const QVariant& row) const
{
    return RowObject::record<FilterExtended>(row).get();
}

QString GenericFilterDataController::headerOf(const QVariant& row) const
{
    const auto filter = RowObject::record<FilterExtended>(row);
    return filter ? filter->Header() : QString();
}

std::shared_ptr<GridData> GenericFilterDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    const auto filter = RowObject::record<FilterExtended>(row);
    if (!filter)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = filter->SQL();
    item->Image = kFilterImage;
    return item;
}

void GenericFilterDataController::addRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    auto filter = std::make_shared<FilterExtended>();
    const QString id = filter->id();
    Util::initObjectWithEmptyString(filter.get());
    filter->setId(id);
    const QVariant row = RowObject::fromRecord(filter);
    setDetailRowInAction(row);
    grid->ShowDetail(row);
}

bool GenericFilterDataController::saveRow(const QVariant& row)
{
    const auto filter = RowObject::record<FilterExtended>(row);
    const auto owner = parentDataController();
    if (!filter || !owner)
        return false;
    const auto* table = dynamic_cast<const RowFormDataController*>(owner.get());
    TemplateColumn* column
        = table ? TemplateColumn::getColumnForName(filter->Header(), table->Columns()) : nullptr;
    // A Protected column's values are never compared in the clear.
    if (column && TypeConstants::isProtected(column->typeName()))
        column = nullptr;
    filter->setColumn(column ? column->id().toString() : QString());
    QString text;
    if (column) {
        filter->setValue(column->getStringValue(filter->getValueForType(column->typeName())));
        text = valueText(*filter, *column);
    }
    filter->setSQL(QStringLiteral("%1 %2 %3 %4")
                       .arg(filter->AndOr(), filter->Header(), filter->Operator(), text));
    const bool valid = isChosen(filter->AndOr()) && isChosen(filter->Header())
        && isChosen(filter->Operator()) && !text.isEmpty();
    if (!valid) {
        MessageHelper::ShowMessage(MessageHelper::InvalidDataMessage, false);
        return false;
    }
    return storeAccepted(row);
}
