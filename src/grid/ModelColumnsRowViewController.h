#pragma once

#include "grid/ColumnsRowViewController.h"

#include <QStringList>

class ColumnTableDataController;

// Rows of a local screen as a column table: the data controller gives the header texts,
// their widths and each row's values (ColumnTableDataController). A header tap sorts by
// that column, and the active sort shows as an arrow before the header's text: "↓"
// ascending, "↑" descending.
class ModelColumnsRowViewController : public ColumnsRowViewController {
    Q_OBJECT
public:
    ModelColumnsRowViewController();
    ~ModelColumnsRowViewController() override;

    static const QString AscendingArrow; // "↓"
    static const QString DescendingArrow; // "↑"

    const QStringList& headers() const { return m_headers; }

    void initColumns() override;
    QSizeF getRowSize() override;
    QVariant pageSize() override;
    // Sends the column index of the tapped header to the data controller.
    void headerLabelTouched(platform::ui::GestureRecognizer* recognizer);

protected:
    bool showsImageColumn() const override;
    QList<Column> visibleColumns() const override;
    QVariantList rowValues(qint64 index) const override;
    void takeDynamicImage(qint64 index) override;
    QString headerText(const Column& column) const override;
    void setUpHeaderLabel(platform::ui::View* label) override;

private:
    ColumnTableDataController* columnSource() const;

    QStringList m_headers;
};
