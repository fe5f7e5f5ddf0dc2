#include "widgets/SheetCustomPickerDelegate.h"

void SheetCustomPickerDelegate::sheetPickerConfigurePickerView(
    SheetCustomPicker*, platform::ui::PickerView*)
{
}

void SheetCustomPickerDelegate::sheetPickerDidSucceed(SheetCustomPicker*, QObject*)
{
}

void SheetCustomPickerDelegate::sheetPickerDidCancel(SheetCustomPicker*, QObject*)
{
}
