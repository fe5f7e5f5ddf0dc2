#pragma once

#include "platform/ui/IndexPath.h"

#include <QString>

namespace platform::ui {

class CollectionView;
class CollectionViewCell;
class CollectionReusableView;

// Where a collection view gets its counts, cells and supplementary views. Cells and
// supplementary views come from the view's dequeue methods.
class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;

    virtual int numberOfSectionsInCollectionView(CollectionView*) { return 1; }
    virtual int collectionViewNumberOfItemsInSection(CollectionView* view, int section) = 0;
    virtual CollectionViewCell* collectionViewCellForItemAtIndexPath(
        CollectionView* view, const IndexPath& indexPath)
        = 0;
    // None by default: a layout that asks for a supplementary view then shows nothing.
    virtual CollectionReusableView* collectionViewViewForSupplementaryElementOfKind(
        CollectionView*, const QString& /*kind*/, const IndexPath&)
    {
        return nullptr;
    }
};

} // namespace platform::ui
