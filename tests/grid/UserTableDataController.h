#pragma once

#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/TableDataController.h"
#include "grid/UserTableRows.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"

#include <algorithm>

namespace gridtest {

// The least data controller of a user table's rows, as the application's rows screen
// reads them: the table comes from the breadcrumb (the UserTemplate chosen above), its
// rows as faults; a tile shows the first column's text of its row.
class UserTableDataController : public TableDataController {
    Q_OBJECT
public:
    void loadData(const std::shared_ptr<Parent>& parent) override
    {
        auto* table
            = parent ? qobject_cast<UserTemplate*>(RowObject::entity(parent->data)) : nullptr;
        if (!table)
            return;
        const auto columns = TemplateColumn::getColumns(table->template_id().toString());
        tableRows.setTable(table->id().toString(), columns, password);
        setRows(tableRows.fetch());
        ++loads;
    }

    std::shared_ptr<GridData> getGridData(qint64 index) override
    {
        Rows* row = rowAt(index);
        if (!row)
            return nullptr;
        auto item = std::make_shared<GridData>(getRowData(index));
        item->Menu = firstText(tableRows.values(row));
        return item;
    }

    void prefetchRows(qint64 first, qint64 count) override
    {
        QList<Rows*> ahead;
        for (qint64 index = first; index < first + count; ++index) {
            if (Rows* row = rowAt(index))
                ahead.append(row);
        }
        tableRows.prefetch(ahead);
    }

    // Any column's text holds the searched text; rows are decoded one by one and not kept.
    void searchData(const QString& text) override
    {
        filterRows(text, [this, predicate = ContainsPredicate(text)](const QVariant& row) {
            const QVariantMap values
                = tableRows.decode(qobject_cast<Rows*>(RowObject::object(row)));
            const auto& columns = tableRows.columns();
            return std::any_of(columns.cbegin(), columns.cend(), [&](TemplateColumn* column) {
                return predicate.evaluate(
                    column->getStringValue(values.value(column->id().toString())));
            });
        });
    }

    bool deleteRow() override
    {
        GridScreenProtocol* grid = mainGridViewController();
        Rows* row = grid ? rowAt(grid->selectedRow()) : nullptr;
        if (!row)
            return false;
        tableRows.invalidate(row);
        return Rows::deleteRows(row);
    }

    // The form's values (column id -> value) into the row being edited.
    bool saveRow(const QVariant& values) override
    {
        Rows* row = qobject_cast<Rows*>(RowObject::object(detailRowInAction()));
        if (!row)
            return false;
        row->updateData(values.toMap(), tableRows.columns(), tableRows.password());
        if (!row->saveRows())
            return false;
        tableRows.invalidate(row);
        refreshGrid();
        return true;
    }

    Rows* rowAt(qint64 index) const
    {
        return qobject_cast<Rows*>(RowObject::object(getRowData(index)));
    }

    QString firstText(const QVariantMap& values) const
    {
        const auto& columns = tableRows.columns();
        return columns.isEmpty()
            ? QString()
            : columns.first()->getStringValue(values.value(columns.first()->id().toString()));
    }

    Rows::Password password;
    UserTableRows tableRows;
    int loads = 0;
};

} // namespace gridtest
