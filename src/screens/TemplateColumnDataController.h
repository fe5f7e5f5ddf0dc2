#pragma once

#include "grid/ColumnTableDataController.h"
#include "screens/CloudTableDataController.h"
#include "utilities/data/OrderedDictionary.h"

#include <QStringList>

class Template;
class TemplateColumn;

// The "Template Columns" screen: the typed columns of the definition chosen on the
// Templates screen, in their order. A row opens the column's form; dragging a tile or
// the ordering form gives every column its place, numbered from 0.
class TemplateColumnDataController : public CloudTableDataController,
                                     public ColumnTableDataController {
    Q_OBJECT
public:
    TemplateColumnDataController();
    ~TemplateColumnDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    void searchData(const QString& text) override;
    // The tapped column opens in its form, as after Edit.
    void tapOnDisclosure(qint64 index) override;

    void addRow() override;
    // A column with a name unique in its definition and what its type needs, normalised
    // by the type; else every failure in one message and nothing saved.
    bool saveRow(const QVariant& row) override;
    // Refused with "Template in use." while a user table is made from the definition.
    bool deleteRow() override;

    // Ordering: by dragging, and through the ordering form (column id to name, in row
    // order; answered with the ids in their new order).
    void itemsReorderd() override;
    bool respondsToItemsReorderd() const override { return true; }
    OrderedDictionary getOrderingData() const override;
    bool onOrderingComplete(const QStringList& ids) override;
    bool respondsToOnOrderingComplete() const override { return true; }

    // The definition whose columns the screen shows.
    QString templateId() const { return m_templateId; }

private:
    TemplateColumn* rowAt(qint64 index) const;
    QList<TemplateColumn*> columns() const;
    // Writes the columns' places 0..n-1 in the given order, in one commit.
    bool storeOrder(const QList<TemplateColumn*>& ordered);

    QString m_templateId;
};
