#pragma once

#include <QColor>
#include <QSizeF>
#include <QVariant>

namespace platform::ui {
class CollectionViewLayout;
class View;
} // namespace platform::ui

// The questions a grid screen asks its row view, which draws its rows as tiles or as a
// column table. Every one is optional: the defaults answer as a row view that does not
// implement it, and where the grid must know, it asks responds...() first. Rows are
// indexes into the data controller's active rows; the grid has one section.
class RowViewContollerProtocol {
public:
    virtual ~RowViewContollerProtocol();

    // Draws row `index` into a cell's content view (a reused cell keeps its subviews,
    // found again by tag; only what differs is set).
    virtual void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize);
    // The size of one item, when rows differ; else getRowSize.
    virtual QSizeF getRowSizeForIndex(qint64 index);
    virtual bool respondsToGetRowSizeForIndex() const { return false; }
    virtual QSizeF getRowSize();
    // Fills the column header (column tables only).
    virtual void CreateHeader(platform::ui::View* header);
    virtual int getSpacing();
    // Forgets drawn headers; asked when the grid is rebuilt and after every load.
    virtual void clear();
    // The background a deselected row returns to.
    virtual QColor rowbackColor(qint64 index);
    // Rows per page of a desktop-server request (a number; -1 for all in one page).
    virtual QVariant pageSize();
    // The layout of the grid's collection view, made on the first ask and kept (owned by
    // the row view); null for none.
    virtual platform::ui::CollectionViewLayout* collectionViewLayout();
    // A dragged row moves: before the layout moves the item, and after.
    virtual void WillMoveItemFromIndex(qint64 from, qint64 to);
    virtual void DidMoveItemFromIndex(qint64 from, qint64 to);
    virtual bool respondsToMoveItem() const { return false; }
};
