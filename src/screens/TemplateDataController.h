#pragma once

#include "grid/ColumnTableDataController.h"
#include "screens/CloudTableDataController.h"

#include <QStringList>

class Template;

// The "Templates" screen: every table definition, added, edited and deleted here; a
// definition's row opens its columns, and checkout opens the template download.
class TemplateDataController : public CloudTableDataController, public ColumnTableDataController {
    Q_OBJECT
public:
    TemplateDataController();
    ~TemplateDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    void searchData(const QString& text) override;

    void addRow() override;
    // A definition with a unique name, a description and one to four tiles per row,
    // else every failure in one message and nothing saved.
    bool saveRow(const QVariant& row) override;
    // A definition no user table is made from goes, with its columns, in one commit;
    // otherwise "Template in use." and nothing changes.
    bool deleteRow() override;
    void checkoutTouched(platform::ui::Control* sender) override;

private:
    Template* rowAt(qint64 index) const;
};
