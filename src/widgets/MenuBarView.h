#pragma once

#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewDelegateFlowLayout.h"
#include "platform/ui/ViewController.h"
#include "widgets/SimplePopoverControllerDelegate.h"
#include "widgets/SimplePopupViewController.h"

#include <QColor>
#include <QList>
#include <QPointer>

class MenuItem;

namespace platform::ui {
class ViewController;
}

// A horizontal bar, 30 high, of icon-and-text menu entries under the top of a screen. A
// tap runs the entry's handler and, when the entry has child entries, first opens them
// as a vertical icon menu in a light popup below the entry.
class MenuBarView : public platform::ui::CollectionView,
                    public platform::ui::CollectionViewDataSource,
                    public platform::ui::CollectionViewDelegateFlowLayout,
                    public SimplePopoverControllerDelegate {
    Q_OBJECT
public:
    // The bar adds itself to the host's view; it takes the entries that have no parent.
    MenuBarView(platform::ui::ViewController* viewController, const QList<MenuItem*>& menuItems,
        const QColor& color);
    // Dark grey behind the entries.
    MenuBarView(platform::ui::ViewController* viewController, const QList<MenuItem*>& menuItems);

    static const QString CellIdentifier; // "cvCell"
    static constexpr double Height = 30.0;
    static constexpr double ImageWidth = 30.0;

    QList<MenuItem*> menuItems() const { return m_menuItems; }
    QColor color() const { return m_color; }
    SimplePopupViewController* popup() const { return m_popup; }

    // At the top of the host's safe area, as wide as the superview.
    void resetFrame();
    Q_INVOKABLE void dismissPopup();
    void SimplePopoverControllerDidDismissPopover(SimplePopupViewController* popup) override;

    // What a tap on the entry does.
    void selectItem(int index);

    int collectionViewNumberOfItemsInSection(
        platform::ui::CollectionView* view, int section) override;
    platform::ui::CollectionViewCell* collectionViewCellForItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    QSizeF collectionViewSizeForItemAtIndexPath(platform::ui::CollectionView* view,
        platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;

private:
    QPointer<platform::ui::ViewController> m_viewController;
    QList<MenuItem*> m_menuItems;
    QColor m_color;
    QPointer<SimplePopupViewController> m_popup;
};
