#pragma once

#include "platform/ui/PickerView.h"

class QObject;
class SheetCustomPicker;

// What a custom picker asks of its delegate: the picker view's components and rows, and
// the three optional calls below (each does nothing by default).
class SheetCustomPickerDelegate : public platform::ui::PickerViewDelegate,
                                  public platform::ui::PickerViewDataSource {
public:
    virtual void sheetPickerConfigurePickerView(
        SheetCustomPicker* picker, platform::ui::PickerView* pickerView);
    virtual void sheetPickerDidSucceed(SheetCustomPicker* picker, QObject* origin);
    virtual void sheetPickerDidCancel(SheetCustomPicker* picker, QObject* origin);
};
