#include "screens/TemplateColumnDataController.h"

#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/DefinitionRules.h"
#include "model/ModelRegistry.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/text/LocalizedStrings.h"

namespace {

constexpr unsigned EditButton = 2;

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

} // namespace

TemplateColumnDataController::TemplateColumnDataController() = default;

TemplateColumnDataController::~TemplateColumnDataController() = default;

TemplateColumn* TemplateColumnDataController::rowAt(qint64 index) const
{
    return qobject_cast<TemplateColumn*>(RowObject::object(getRowData(index)));
}

QList<TemplateColumn*> TemplateColumnDataController::columns() const
{
    QList<TemplateColumn*> all;
    for (const QVariant& row : rows())
        if (auto* column = qobject_cast<TemplateColumn*>(RowObject::object(row)))
            all << column;
    return all;
}

void TemplateColumnDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    if (parent) {
        if (auto* definition = qobject_cast<Template*>(RowObject::object(parent->data)))
            m_templateId = text(definition->id());
    }
    QVariantList shown;
    if (!m_templateId.isEmpty()) {
        for (TemplateColumn* column : TemplateColumn::getColumns(m_templateId))
            shown.append(RowObject::fromObject(column));
    }
    setRows(shown);
}

std::shared_ptr<GridData> TemplateColumnDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    auto* column = qobject_cast<TemplateColumn*>(RowObject::object(row));
    if (!column)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = text(column->name());
    item->Image = QStringLiteral("columns");
    return item;
}

QStringList TemplateColumnDataController::columnHeaders() const
{
    return { LocalizedStrings::Name(), LocalizedStrings::Type() };
}

QList<double> TemplateColumnDataController::columnWidths() const
{
    return { 100, 100 };
}

QStringList TemplateColumnDataController::columnValues(qint64 index)
{
    TemplateColumn* column = rowAt(index);
    if (!column)
        return { QString(), QString() };
    return { text(column->name()), text(column->type()) };
}

void TemplateColumnDataController::searchData(const QString& searchText)
{
    filterRows(searchText, getNameSearchBlock(searchText));
}

void TemplateColumnDataController::tapOnDisclosure(qint64)
{
    setLastClickedButton(EditButton);
    editRow();
}

void TemplateColumnDataController::addRow()
{
    if (m_templateId.isEmpty())
        return;
    TemplateColumn* column = TemplateColumn::add(m_templateId);
    if (!column)
        return;
    setDetailRowInAction(RowObject::fromObject(column));
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromObject(column));
}

bool TemplateColumnDataController::saveRow(const QVariant& row)
{
    auto* column = qobject_cast<TemplateColumn*>(RowObject::object(row));
    if (!column)
        return false;
    const QStringList problems
        = DefinitionRules::columnProblems(column, columns(), lastClickedButton() == EditButton);
    if (problems.isEmpty() && column->saveTemplateColumn())
        return true;
    if (!problems.isEmpty())
        MessageHelper::ShowMultipleMessage(problems, false);
    // What was refused, normalisations included, must not ride along with a later commit.
    rollbackContext();
    return false;
}

bool TemplateColumnDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    TemplateColumn* column = grid ? rowAt(grid->selectedRow()) : nullptr;
    if (!column)
        return false;
    if (UserTemplate::isTemplateUsed(text(column->template_id()))) {
        MessageHelper::ShowMessage(LocalizedStrings::TemplateInUse(), false);
        return false;
    }
    if (!TemplateColumn::deleteTemplateColumn(column)) {
        rollbackContext();
        return false;
    }
    return true;
}

bool TemplateColumnDataController::storeOrder(const QList<TemplateColumn*>& ordered)
{
    const double now = ModelRegistry::now();
    for (qsizetype position = 0; position < ordered.size(); ++position) {
        TemplateColumn* column = ordered[position];
        if (column->order().isNull() || column->order().toLongLong() != position) {
            column->setOrder(int(position));
            column->setMtimestamp(now);
        }
    }
    if (KivoLib::commit())
        return true;
    rollbackContext();
    return false;
}

void TemplateColumnDataController::itemsReorderd()
{
    (void)storeOrder(columns());
}

OrderedDictionary TemplateColumnDataController::getOrderingData() const
{
    OrderedDictionary ordering;
    for (TemplateColumn* column : columns())
        ordering.setObject(text(column->name()), text(column->id()));
    return ordering;
}

bool TemplateColumnDataController::onOrderingComplete(const QStringList& ids)
{
    const QList<TemplateColumn*> all = columns();
    QList<TemplateColumn*> ordered;
    for (const QString& id : ids) {
        TemplateColumn* column = TemplateColumn::getColumnForId(id, all);
        if (column && !ordered.contains(column))
            ordered << column;
    }
    // Columns the answer leaves out keep their turn after the others, so the places
    // stay 0..n-1 without gaps or doubles.
    for (TemplateColumn* column : all)
        if (!ordered.contains(column))
            ordered << column;
    if (!storeOrder(ordered))
        return false;
    refreshView();
    return true;
}
