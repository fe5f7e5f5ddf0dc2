#pragma once

#include "platform/ui/BatchUpdate.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QHash>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QTimer;

namespace platform::ui {

class TableViewHeaderFooterView;

// A list of rows in sections, plain (section titles on bars that stay at the top while
// their rows pass under them) or grouped (sections as separate groups with small titles;
// on a wide view, rounded cards in a readable column). Every count, title and height is
// asked of the data source and delegate at each reload; cells only for the rows in sight
// and one row beyond each edge, reusing cells by identifier. Rows and sections are
// inserted, deleted, reloaded and moved with animations; while editing, a person drags
// movable rows by their reorder control.
class TableView : public ScrollView {
    Q_OBJECT
public:
    enum class Style { Plain = 0, Grouped = 1 };
    enum class RowAnimation {
        Fade = 0,
        Right = 1,
        Left = 2,
        Top = 3,
        Bottom = 4,
        None = 5,
        Middle = 6,
        Automatic = 100
    };
    enum class ScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };
    enum class SeparatorStyle { None = 0, SingleLine = 1 };
    // A height the delegate leaves to the table.
    static constexpr double AutomaticDimension = -1;
    // The tallest row, header or footer; a taller height from the delegate is cut to it.
    // X's window coordinates are 16-bit: no screen shows more of one row at a time.
    static constexpr double MaximumRowHeight = 32767;

    using CellFactory = std::function<TableViewCell*()>;

    explicit TableView(const QRectF& frame, Style style = Style::Plain, QWidget* parent = nullptr);
    ~TableView() override;

    Style style() const { return m_style; }
    QMarginsF adjustedContentInset() const override;

    TableViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(TableViewDataSource* dataSource);
    TableViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(TableViewDelegate* delegate);

    // Height of rows the delegate does not size; 44 by default.
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    SeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(SeparatorStyle style);
    QColor separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(const QColor& color);
    // Left and right room of the lines between rows.
    QMarginsF separatorInset() const { return m_separatorInset; }
    void setSeparatorInset(const QMarginsF& inset);
    // Fills the view behind the rows and does not scroll; the table takes it.
    View* backgroundView() const { return m_backgroundView; }
    void setBackgroundView(View* view);
    // A grouped table wide enough shows its sections as rounded cards.
    bool showsSectionsAsCards() const;

    void registerClassForCellReuseIdentifier(CellFactory factory, const QString& identifier);
    template<class Cell> void registerClassForCellReuseIdentifier(const QString& identifier)
    {
        registerClassForCellReuseIdentifier([] { return new Cell; }, identifier);
    }
    // A cell waiting under the identifier (prepared for reuse, its subviews kept), or
    // null when none waits.
    TableViewCell* dequeueReusableCellWithIdentifier(const QString& identifier);
    // The same, or a new cell of the registered class; raises an internal-inconsistency
    // exception for an identifier never registered.
    TableViewCell* dequeueReusableCellWithIdentifier(
        const QString& identifier, const IndexPath& indexPath);

    int numberOfSections();
    int numberOfRowsInSection(int section);

    // Asks everything again; the selection is cleared.
    void reloadData();
    // Only these rows get new cells; the others keep theirs.
    void reloadRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation);
    void reloadSections(const QList<int>& sections, RowAnimation animation);
    // Changes between beginUpdates and endUpdates are shown together, checked against the
    // data source's new counts.
    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation);
    void deleteRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation);
    void insertSections(const QList<int>& sections, RowAnimation animation);
    void deleteSections(const QList<int>& sections, RowAnimation animation);
    void moveRowAtIndexPath(const IndexPath& from, const IndexPath& to);

    // Geometry, in content coordinates.
    QRectF rectForSection(int section);
    QRectF rectForHeaderInSection(int section);
    QRectF rectForFooterInSection(int section);
    QRectF rectForRowAtIndexPath(const IndexPath& indexPath);
    // The width a row's text has between the cell's margins, for heights that follow it.
    double cellTextWidth() const;
    std::optional<IndexPath> indexPathForRowAtPoint(const QPointF& point);
    QList<IndexPath> indexPathsForRowsInRect(const QRectF& rect);

    // What is on screen; the table brings itself up to date first. A row's cell is null
    // while the row is out of sight.
    TableViewCell* cellForRowAtIndexPath(const IndexPath& indexPath);
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell);
    QList<TableViewCell*> visibleCells();
    QList<IndexPath> indexPathsForVisibleRows();
    View* headerViewForSection(int section);
    View* footerViewForSection(int section);
    void scrollToRowAtIndexPath(const IndexPath& indexPath, ScrollPosition position, bool animated);

    // Selection. Selecting in code does not tell the delegate; a person's tap does.
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows);
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows);
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows) { m_allowsSelectionDuringEditing = allows; }
    std::optional<IndexPath> indexPathForSelectedRow() const;
    QList<IndexPath> indexPathsForSelectedRows() const;
    // With ScrollPosition::None the content stays where it is.
    void selectRowAtIndexPath(
        const std::optional<IndexPath>& indexPath, bool animated, ScrollPosition position);
    void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);

    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated = false);
    // True while a person drags a row.
    bool isReordering() const { return m_reorder.has_value(); }

protected:
    void layoutContent() override;
    // Resized while a field in one of its rows is being edited: that row stays in sight
    // rather than going for reuse, which would end the editing.
    void keepEditedRowInSight();
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class TableViewCell;

    enum class Part { Header = 0, Row = 1, Footer = 2 };
    struct Key {
        Part part;
        IndexPath path; // headers and footers: row 0 of the section
        auto operator<=>(const Key&) const = default;
    };
    struct Shown {
        QPointer<View> view;
        QRectF frame;
        bool fromDelegate = false;
    };
    struct Section {
        double top = 0;
        double headerHeight = 0;
        double footerHeight = 0;
        std::vector<double> rowTops; // one more than the rows: the end of the last
        QString headerTitle;
        QString footerTitle;
        int rows() const { return int(rowTops.size()) - 1; }
        double rowsTop() const { return top + headerHeight; }
        double rowsBottom() const { return rowTops.back(); }
        double bottom() const { return rowTops.back() + footerHeight; }
    };
    using Geometry = std::vector<Section>;
    struct Reorder {
        IndexPath source;
        IndexPath target;
        QPointer<TableViewCell> cell;
        double grab = 0; // pointer's distance below the cell's top
        double pointer = 0; // pointer's content y
        Geometry geometry; // the rows as they would stand with the move made
    };

    void ensureCounts();
    void buildGeometry();
    double contentWidth() const { return frame().width(); }
    double cardMargin() const;
    double cellMargin() const;
    // Left and right of the rows: the cards' margin, or a notch's part of the safe area.
    QMarginsF sideMargins() const;
    QRectF rowFrame(const Geometry& geometry, const IndexPath& path) const;
    QRectF headerFrame(const Geometry& geometry, int section, bool pinned) const;
    QRectF footerFrame(const Geometry& geometry, int section, bool pinned) const;
    std::optional<IndexPath> rowAt(const Geometry& geometry, double y) const;
    const Geometry& displayGeometry() const;
    IndexPath dataToDisplay(const IndexPath& path) const;
    IndexPath displayToData(const IndexPath& path) const;
    std::map<Key, QRectF> wantedElements();
    TableViewCell::Decoration decorationFor(const IndexPath& displayPath) const;
    View* makeElement(const Key& key, bool& fromDelegate);
    View* makeTitleView(const Key& key, const QString& title);
    void adoptCell(TableViewCell* cell, const IndexPath& path);
    void placeElement(const Key& key, View* view, const QRectF& frame);
    void retire(const Key& key, const Shown& shown);
    void updateVisibleElements();
    void restack(const std::vector<QPointer<View>>& below = {});
    void finishUpdates();
    // One change inside its own updates, the rows or sections it names keeping the
    // animation.
    template<class Item>
    void recordChange(const QList<Item>& items, RowAnimation animation,
        std::map<Item, RowAnimation>& animations, void (BatchUpdate::*change)(const QList<Item>&));
    void bringUpToDate();
    bool isValid(const IndexPath& path);
    bool canReorder(const IndexPath& path);
    TableViewCellEditingStyle editingStyleFor(const IndexPath& path);
    // The Delete button of the cell's row was tapped.
    void commitDelete(TableViewCell* cell);
    void accessoryButtonTapped(TableViewCell* cell);
    void userSelect(const IndexPath& path);
    void setCellSelected(const IndexPath& path, bool selected, bool animated);
    void beginReorder(const IndexPath& path, TableViewCell* cell, double pointer);
    void moveReorder(double pointer);
    void endReorder();
    void autoScrollStep();
    Geometry movedGeometry(const IndexPath& from, const IndexPath& to) const;

    Style m_style;
    DelegatePointer<TableViewDataSource> m_dataSource;
    DelegatePointer<TableViewDelegate> m_delegate;
    double m_rowHeight = 44;
    SeparatorStyle m_separatorStyle = SeparatorStyle::SingleLine;
    QColor m_separatorColor = QColor(198, 198, 200);
    QMarginsF m_separatorInset = QMarginsF(16, 0, 0, 0);
    QPointer<View> m_backgroundView;

    QHash<QString, CellFactory> m_factories;
    QHash<QString, QList<QPointer<TableViewCell>>> m_cellQueues;
    QList<QPointer<TableViewHeaderFooterView>> m_titleQueue;
    std::map<Key, QPointer<View>> m_delegateViews; // the last view the delegate gave
    std::map<Key, Shown> m_shown;
    std::vector<int> m_counts;
    bool m_countsValid = false;
    Geometry m_geometry;
    double m_contentHeight = 0;
    double m_geometryWidth = -1;
    QMarginsF m_geometrySides;
    bool m_geometryValid = false;
    bool m_reloadPending = true;
    bool m_needsUpdate = true;
    bool m_inLayout = false;
    QSizeF m_laidOutSize;

    std::set<IndexPath> m_selected;
    bool m_allowsSelection = true;
    bool m_allowsMultipleSelection = false;
    bool m_allowsSelectionDuringEditing = false;
    bool m_editing = false;
    std::optional<IndexPath> m_pressed;

    std::unique_ptr<BatchUpdate> m_update;
    int m_updateDepth = 0;
    std::map<IndexPath, RowAnimation> m_insertAnimations; // new rows
    std::map<IndexPath, RowAnimation> m_deleteAnimations; // old rows, reloads too
    std::map<int, RowAnimation> m_sectionInsertAnimations;
    std::map<int, RowAnimation> m_sectionDeleteAnimations;

    std::optional<Reorder> m_reorder;
    QTimer* m_autoScroll = nullptr;
    int m_autoScrollDirection = 0;
};

} // namespace platform::ui
