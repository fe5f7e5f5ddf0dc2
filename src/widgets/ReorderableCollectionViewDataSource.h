#pragma once

#include "platform/ui/CollectionViewDataSource.h"

// What the drag-reorder layout asks a collection view's data source. Every question is
// optional: the defaults let any item move anywhere and do nothing on a move.
class ReorderableCollectionViewDataSource : public platform::ui::CollectionViewDataSource {
public:
    // Whether the item may be picked up.
    virtual bool collectionViewCanMoveItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath);
    // Whether the picked item may go to the place.
    virtual bool collectionViewItemAtIndexPathCanMoveToIndexPath(platform::ui::CollectionView* view,
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to);
    // Before the layout moves the item: the model moves it first.
    virtual void collectionViewItemAtIndexPathWillMoveToIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& from,
        const platform::ui::IndexPath& to);
    // After the move was shown.
    virtual void collectionViewItemAtIndexPathDidMoveToIndexPath(platform::ui::CollectionView* view,
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to);
};
