#pragma once

#include <QString>

class HorizontalPickerView;

// What a horizontal picker asks of its data source; both questions are optional.
class HorizontalPickerViewDataSource {
public:
    virtual ~HorizontalPickerViewDataSource() = default;
    // Asked at each reload; without an answer the picker has no items.
    virtual int numberOfItemsInPickerView(HorizontalPickerView* pickerView);
    // The text of an item's label; a data source without titles leaves a label's text as
    // it was.
    virtual bool respondsToTitleForItem() const { return false; }
    virtual QString pickerViewTitleForItem(HorizontalPickerView* pickerView, int item);
};
