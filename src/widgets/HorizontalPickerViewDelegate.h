#pragma once

class HorizontalPickerView;

// What a horizontal picker tells its delegate; optional.
class HorizontalPickerViewDelegate {
public:
    virtual ~HorizontalPickerViewDelegate() = default;
    // The user's swipe has come to rest on the item. Selections made in code are not told.
    virtual void pickerViewDidSelectItem(HorizontalPickerView* pickerView, int item);
};
