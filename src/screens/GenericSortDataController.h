#pragma once

#include "screens/GenericFilterSortDataController.h"

// The sort keys of a user table's rows screen. A key is kept only when its column is one
// of the table's.
class GenericSortDataController : public GenericFilterSortDataController {
    Q_OBJECT
public:
    GenericSortDataController();
    ~GenericSortDataController() override;

    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // A new ascending key with empty texts in the sort form.
    void addRow() override;
    // Keeps the key with its column's id; says "Please enter valid data." and keeps
    // nothing without a column of the table.
    bool saveRow(const QVariant& row) override;

protected:
    QVariantList listRows(BaseDataController& parent) const override;
    void setListRows(BaseDataController& parent, const QVariantList& rows) override;
    QObject* entryOf(const QVariant& row) const override;
    QString headerOf(const QVariant& row) const override;
};
