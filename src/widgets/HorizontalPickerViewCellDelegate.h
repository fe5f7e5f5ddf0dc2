#pragma once

#include "platform/ui/IndexPath.h"

#include <optional>

// What a picker cell tells its delegate; optional.
class HorizontalPickerViewCellDelegate {
public:
    virtual ~HorizontalPickerViewCellDelegate() = default;
    // The user's swipe on the cell's picker has come to rest on the item.
    virtual void pickerViewAtIndexPathDidSelectItem(
        const std::optional<platform::ui::IndexPath>& indexPath, int item);
};
