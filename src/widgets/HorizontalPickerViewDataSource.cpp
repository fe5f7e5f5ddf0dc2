#include "widgets/HorizontalPickerViewDataSource.h"

int HorizontalPickerViewDataSource::numberOfItemsInPickerView(HorizontalPickerView*)
{
    return 0;
}

QString HorizontalPickerViewDataSource::pickerViewTitleForItem(HorizontalPickerView*, int)
{
    return {};
}
