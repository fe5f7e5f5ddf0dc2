#pragma once

#include "grid/TableDataController.h"

#include <QString>

#include <memory>

class FilterExtended;

// The filter conditions of a desktop-server table screen as a list of their own: the
// rows are the filters of the screen below (the data controller of the grid's parent
// link), so adding or removing one changes that screen's query; the search button
// applies the changed query there, which reloads from its first page.
class FilterDataController : public TableDataController {
    Q_OBJECT
public:
    Q_INVOKABLE FilterDataController();
    ~FilterDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    // A tile of the filter's SQL text with the "filtermetro" image.
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // A new filter in the detail form.
    void addRow() override;
    // Removes the selected filter: the one shown at the selection, also during a search.
    bool deleteRow() override;
    // Takes the column of the header from the screen's table and the SQL text; refuses
    // (with "Please enter valid data.") a "None" choice or an empty field. An added filter
    // is appended; an edited one is already in the list.
    bool saveRow(const QVariant& row) override;
    // Matches the filters' headers.
    void searchData(const QString& text) override;
    // Applies the filters to the calling screen.
    void searchTouched(platform::ui::Control* sender) override;

    // The data controller of the screen the list edits; null when it is gone.
    std::shared_ptr<BaseDataController> parentController() const;

    static const QString TileImage; // "filtermetro"

private:
    // Takes the parent's filters into the rows again (after one was added or removed).
    void reloadRows();
};
