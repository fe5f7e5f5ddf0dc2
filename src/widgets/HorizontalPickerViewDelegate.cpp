#include "widgets/HorizontalPickerViewDelegate.h"

void HorizontalPickerViewDelegate::pickerViewDidSelectItem(HorizontalPickerView*, int)
{
}
