#pragma once

#include "grid/GenericRowViewController.h"

// Tiles the user drags into a new order: each step of a drag moves the row in the data
// controller's rows, and a controller that stores orders stores the new one at once.
class GenericOrderableRowViewController : public GenericRowViewController {
    Q_OBJECT
public:
    GenericOrderableRowViewController();
    ~GenericOrderableRowViewController() override;

    void WillMoveItemFromIndex(qint64 from, qint64 to) override;
    void DidMoveItemFromIndex(qint64 from, qint64 to) override;
    bool respondsToMoveItem() const override { return true; }

protected:
    // The drag-reorder layout, set up as the plain tiles' layout.
    platform::ui::CollectionViewLayout* makeLayout() override;
};
