#pragma once

#include "platform/ui/CollectionViewDelegate.h"

#include <QMarginsF>
#include <QSizeF>

namespace platform::ui {

class CollectionViewLayout;

// A collection view's delegate that sizes a flow layout's items, spacings, insets,
// headers and footers per item or section. Each answer not given is the layout's own
// property.
class CollectionViewDelegateFlowLayout : public CollectionViewDelegate {
public:
    virtual QSizeF collectionViewSizeForItemAtIndexPath(
        CollectionView* view, CollectionViewLayout* layout, const IndexPath& indexPath);
    virtual QMarginsF collectionViewInsetForSectionAtIndex(
        CollectionView* view, CollectionViewLayout* layout, int section);
    virtual double collectionViewMinimumLineSpacingForSectionAtIndex(
        CollectionView* view, CollectionViewLayout* layout, int section);
    virtual double collectionViewMinimumInteritemSpacingForSectionAtIndex(
        CollectionView* view, CollectionViewLayout* layout, int section);
    virtual QSizeF collectionViewReferenceSizeForHeaderInSection(
        CollectionView* view, CollectionViewLayout* layout, int section);
    virtual QSizeF collectionViewReferenceSizeForFooterInSection(
        CollectionView* view, CollectionViewLayout* layout, int section);
};

} // namespace platform::ui
