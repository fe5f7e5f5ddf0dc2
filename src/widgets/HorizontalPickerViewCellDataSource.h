#pragma once

#include "platform/ui/IndexPath.h"

#include <QString>

#include <optional>

// What a picker cell asks of its data source, with the cell's row (none while the cell
// is in no table); both questions are optional.
class HorizontalPickerViewCellDataSource {
public:
    virtual ~HorizontalPickerViewCellDataSource() = default;
    // Without an answer the cell's picker has no items.
    virtual int numberOfItemsInPickerViewAtIndexPath(
        const std::optional<platform::ui::IndexPath>& indexPath);
    // Without an answer the labels show no text.
    virtual QString pickerViewAtIndexPathTitleForItem(
        const std::optional<platform::ui::IndexPath>& indexPath, int item);
};
