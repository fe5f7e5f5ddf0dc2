#pragma once

#include "grid/TableDataController.h"

#include <QString>

#include <memory>

// The sort keys of a desktop-server table screen as a list of their own; like the filter
// list, it edits the sorts of the screen below (the data controller of the grid's parent
// link) in place, and its search button applies them there.
class SortDataController : public TableDataController {
    Q_OBJECT
public:
    Q_INVOKABLE SortDataController();
    ~SortDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    // "<Header> Ascending" (or Descending) with the "sortmetro" image.
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // A new ascending sort in the detail form.
    void addRow() override;
    // The selected sort in the detail form.
    void editRow() override;
    // Removes the selected sort: the one shown at the selection, also during a search.
    bool deleteRow() override;
    // Takes the column of the header from the screen's table; refuses (with "Please enter
    // valid data.") a "None" header or an empty field. An added sort is appended.
    bool saveRow(const QVariant& row) override;
    // Matches the sorts' headers.
    void searchData(const QString& text) override;
    // Applies the sorts to the calling screen.
    void searchTouched(platform::ui::Control* sender) override;

    std::shared_ptr<BaseDataController> parentController() const;

    static const QString TileImage; // "sortmetro"
    // "<Header> Ascending" (or "Descending").
    static QString sortText(const Sort& sort);

private:
    void reloadRows();
};
