#pragma once

#include "grid/BaseViewController.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/SearchBar.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/ReorderableCollectionViewDataSource.h"
#include "widgets/ReorderableCollectionViewDelegateFlowLayout.h"

#include <QPointer>
#include <QRectF>

#include <memory>
#include <optional>

class GridData;
class RowViewContoller;
class RowViewContollerProtocol;

// The grid that shows any screen record's rows: one collection view with a single
// section whose cells the record's row view draws, a search bar above it, a highlighted
// selected row, swipes that switch tiles into edit mode, and drags handed to the row
// view. The rows, their count, the search and what a tapped row does are the data
// controller's; loading and navigation are the main grid screen's.
class CollectionViewController : public BaseViewController,
                                 public ReorderableCollectionViewDataSource,
                                 public ReorderableCollectionViewDelegateFlowLayout,
                                 public platform::ui::SearchBarDelegate,
                                 public platform::ui::GestureRecognizerDelegate {
    Q_OBJECT
public:
    explicit CollectionViewController(QObject* parent = nullptr);
    ~CollectionViewController() override;

    static const QString CellIdentifier; // "CELL_CONTENT"
    static const QString HeaderIdentifier; // "CELL_HEADER"

    // Index of the selected row; -1 for none.
    qint64 selectedRow() const { return m_selectedRow; }
    void setSelectedRow(qint64 row) { m_selectedRow = row; }
    // The row view, made from the record's rowView; null when the record names none.
    QObject* rowViewContoller() const { return m_rowViewObject.get(); }
    RowViewContollerProtocol* rowView() const { return m_rowView; }
    platform::ui::SearchBar* searchBar() const { return m_searchBar.data(); }
    platform::ui::CollectionView* collectionView() const { return m_collectionView.data(); }

    // Life cycle.
    void initProperties() override;
    void loadView() override;
    void viewDidLayoutSubviews() override;
    void customViewWillAppear() override;
    // Loads the rows when a reload is due, then (unless the flag is off or the data
    // controller loads in the background) runs afterLoad.
    void localLoadData(bool runAfterLoad);
    // Loads the rows (the main grid screen does it through the data controller).
    virtual void loadData();
    void refreshView() override;
    void viewWillDisappear(bool animated) override;
    void orientationChanged() override;
    void setBackGround() override;

    // What a grid item shows and what a tap on it does (the main grid screen asks its
    // data controller).
    virtual std::shared_ptr<GridData> getGridData(qint64 index);
    virtual void tapOnDisclosure(qint64 index);
    virtual void tapOnItem(qint64 index);

    // Collection view data source and delegate.
    int collectionViewNumberOfItemsInSection(
        platform::ui::CollectionView* view, int section) override;
    platform::ui::CollectionViewCell* collectionViewCellForItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    platform::ui::CollectionReusableView* collectionViewViewForSupplementaryElementOfKind(
        platform::ui::CollectionView* view, const QString& kind,
        const platform::ui::IndexPath& indexPath) override;
    QSizeF collectionViewSizeForItemAtIndexPath(platform::ui::CollectionView* view,
        platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    void collectionViewDidDeselectItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    // No drag starts while a search shows: the moves would apply the search's indexes to
    // all the rows.
    bool collectionViewCanMoveItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    void collectionViewItemAtIndexPathWillMoveToIndexPath(platform::ui::CollectionView* view,
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to) override;
    void collectionViewItemAtIndexPathDidMoveToIndexPath(platform::ui::CollectionView* view,
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to) override;

    // Search bar delegate.
    bool searchBarShouldBeginEditing(platform::ui::SearchBar* bar) override;
    bool searchBarShouldEndEditing(platform::ui::SearchBar* bar) override;
    // Typing searches (and clears the selection); an empty text ends the search and keeps
    // the row that was selected among the matches selected among all rows, or none.
    void searchBarTextDidChange(platform::ui::SearchBar* bar, const QString& text) override;
    void searchBarCancelButtonClicked(platform::ui::SearchBar* bar) override;
    void searchBarSearchButtonClicked(platform::ui::SearchBar* bar) override;
    void searchBarBookmarkButtonClicked(platform::ui::SearchBar* bar) override;

    // Selection and grid.
    void selectRow(qint64 index);
    void unselectRow(qint64 index);
    void internalSelectRow();
    void refreshGrid();
    virtual void afterLoad();
    void createGrid();
    // Rebuilds the grid with a new row view of the registered class of that name.
    void changeRowViewController(const QString& rowViewClass);
    void clearHeaders();
    void showHideSearchBar();
    // The rectangle the grid fills: below a visible search bar, right of a notch.
    QRectF gridviewContentSize();
    // A paged table's page picker in the navigation bar, on the current page; none for a
    // table without pages.
    virtual void displayPageNumber();
    HorizontalPickerView* pagePicker() const { return m_pagePicker; }
    void leftSwipeHandle();
    void rightSwipeHandle();
    // The view of the bottom toolbar button with that number (its tag), or null.
    platform::ui::View* viewForButton(int number);

    // Swipes over a cell count only in a grid whose tiles have buttons.
    bool gestureRecognizerShouldBegin(platform::ui::GestureRecognizer* recognizer) override;

    static constexpr double AnimationDuration = 0.5;

private:
    void makeRowView(const QString& rowViewClass);
    void addSwipes(platform::ui::CollectionViewCell* cell);
    QSizeF itemSize(qint64 index, bool reuse);
    void animateRow(qint64 index, const QColor& color);
    // Once per frame that made cells: asks the data controller for the rows a screen ahead
    // in the direction the grid last moved.
    void schedulePrefetch();
    void prefetchAhead();

    qint64 m_selectedRow = -1;
    std::shared_ptr<QObject> m_rowViewObject;
    RowViewContollerProtocol* m_rowView = nullptr;
    QPointer<platform::ui::SearchBar> m_searchBar;
    QPointer<platform::ui::CollectionView> m_collectionView;
    QPointer<HorizontalPickerView> m_pagePicker;
    std::optional<QSizeF> m_itemSize;
    // The grid's width at its last reload: tiles are sized from it.
    double m_reloadedWidth = -1;
    bool m_prefetchPending = false;
    // The first item visible when rows were last asked for ahead; -1 before.
    qint64 m_prefetchedFrom = -1;
};
