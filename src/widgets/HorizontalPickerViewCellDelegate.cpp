#include "widgets/HorizontalPickerViewCellDelegate.h"

void HorizontalPickerViewCellDelegate::pickerViewAtIndexPathDidSelectItem(
    const std::optional<platform::ui::IndexPath>&, int)
{
}
