#pragma once

#include "grid/TableDataController.h"
#include "utilities/data/OrderedDictionary.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

class BaseDataController;
class Parent;

// The list of filter conditions or sort keys of a user table's rows screen. Its rows are
// the rows screen's own list (filters or sorts of the parent link's data controller),
// edited in place and never stored: every add, edit, delete and reorder changes that
// list, and the rows screen queries its rows again.
class GenericFilterSortDataController : public TableDataController {
    Q_OBJECT
public:
    GenericFilterSortDataController();
    ~GenericFilterSortDataController() override;

    // The rows screen's data controller; null once that screen is gone.
    std::shared_ptr<BaseDataController> parentDataController() const;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    qint8 tilesButtons() override { return 3; }
    // Rows whose column name holds the text.
    void searchData(const QString& text) override;
    void tapOnDisclosure(qint64 index) override;
    // Remembers the entry the form opens for, to take over an accepted edit.
    void beforeEdit(const QVariant& row) override;
    // Removes the selected entry (among the search's matches while searching) from the
    // rows screen's list.
    bool deleteRow() override;
    // Row index ("%d") -> column name, in list order.
    OrderedDictionary getOrderingData() const override;
    // The list in the order of the index keys.
    bool onOrderingComplete(const QStringList& ids) override;
    bool respondsToOnOrderingComplete() const override { return true; }
    // Tiles dragged into a new order: the list takes it.
    void itemsReorderd() override;
    bool respondsToItemsReorderd() const override { return true; }
    // In the top bar: shows or hides the search bar. In the bottom bar: applies the list to
    // the rows screen and closes this one.
    void searchTouched(platform::ui::Control* sender) override;
    // The rows screen queries its rows again with the present filters and sorts.
    void refreshParent();

protected:
    // The entries of the rows screen's list, as rows, and the list replaced by the entries
    // of these rows (in their order).
    virtual QVariantList listRows(BaseDataController& parent) const = 0;
    virtual void setListRows(BaseDataController& parent, const QVariantList& rows) = 0;
    // The entry a row holds; null for none.
    virtual QObject* entryOf(const QVariant& row) const = 0;
    virtual QString headerOf(const QVariant& row) const = 0;
    // An accepted entry from the form: appended after the add button, else its values
    // taken over by the entry the form was opened for. Then the rows screen is refreshed.
    bool storeAccepted(const QVariant& row);
    // The rows again from the rows screen's list.
    void reloadRows();
};
