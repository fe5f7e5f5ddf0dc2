#include "widgets/HorizontalPickerViewCellDataSource.h"

int HorizontalPickerViewCellDataSource::numberOfItemsInPickerViewAtIndexPath(
    const std::optional<platform::ui::IndexPath>&)
{
    return 0;
}

QString HorizontalPickerViewCellDataSource::pickerViewAtIndexPathTitleForItem(
    const std::optional<platform::ui::IndexPath>&, int)
{
    return {};
}
