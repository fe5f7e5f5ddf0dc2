#pragma once

#include "platform/ui/ViewController.h"

#include <QColor>
#include <QList>
#include <QPointer>

class MenuItem;

// The icon menu: a small vertical list of equal cells, each an optional icon and a text,
// sized from its entries when made and shown in a popover or popup by its owner. A tap
// runs the entry's handler, then asks the owner (`menuBar`) to close the menu when it
// has a `dismissPopup` slot or invokable method; a menu without owner is closed by its
// handlers. The menu takes the entries that have no parent yet.
class VerticalMenuViewController : public platform::ui::ViewController {
    Q_OBJECT
public:
    VerticalMenuViewController(const QList<MenuItem*>& menuItems, QObject* menuBar,
        const QColor& backgroundColor, QObject* parent = nullptr);
    // Dark grey behind the entries.
    VerticalMenuViewController(
        const QList<MenuItem*>& menuItems, QObject* menuBar, QObject* parent = nullptr);

    static const QString CellIdentifier; // "cvCell"

    QList<MenuItem*> menuItems() const { return m_menuItems; }
    QObject* menuBar() const { return m_menuBar; }
    // What the menu needs: the cells, 5 points between them and 10 points of margin.
    QSizeF menuSize() const { return m_menuSize; }
    // The size of every cell.
    QSizeF maxItemSize() const { return m_maxItemSize; }
    bool containsImage() const { return m_containsImage; }
    QColor backgroundColor() const { return m_backgroundColor; }
    // The list of cells.
    platform::ui::View* collectionView() const { return m_collectionView; }

    // The list's data source and delegate.
    int numberOfSections() const { return 1; }
    int numberOfItemsInSection(int section) const;
    QSizeF sizeForItemAtIndex(int index) const;
    // The cell of the entry, filled afresh.
    platform::ui::View* cellForItemAtIndex(int index);
    void didSelectItemAtIndex(int index);
    // Places the cells: one column, centred, 5 points apart.
    void reloadData();

    void loadView() override;
    void viewDidLoad() override;

private:
    void calculateSize();
    void layoutCells();

    QList<MenuItem*> m_menuItems;
    QPointer<QObject> m_menuBar;
    QColor m_backgroundColor;
    QSizeF m_menuSize;
    QSizeF m_maxItemSize;
    bool m_containsImage = false;
    platform::ui::View* m_collectionView = nullptr;
    QList<QPointer<platform::ui::View>> m_cells;
};
