#pragma once

#include "screens/GenericFilterSortDataController.h"

class FilterExtended;

// The filter conditions of a user table's rows screen. A condition is kept only when its
// connective, column and operator are chosen and its value is given; its text then reads
// "connective column operator value".
class GenericFilterDataController : public GenericFilterSortDataController {
    Q_OBJECT
public:
    GenericFilterDataController();
    ~GenericFilterDataController() override;

    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // A new condition with empty texts in the condition form.
    void addRow() override;
    // Completes the condition from its column (id, value text, condition text) and keeps
    // it; says "Please enter valid data." and keeps nothing when it is incomplete.
    bool saveRow(const QVariant& row) override;

protected:
    QVariantList listRows(BaseDataController& parent) const override;
    void setListRows(BaseDataController& parent, const QVariantList& rows) override;
    QObject* entryOf(const QVariant& row) const override;
    QString headerOf(const QVariant& row) const override;
};
