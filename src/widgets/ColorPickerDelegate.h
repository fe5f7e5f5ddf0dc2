#pragma once

class ColorPickerController;

// Told when the user saves or cancels the colour picker; it closes the picker.
class ColorPickerDelegate {
public:
    virtual ~ColorPickerDelegate() = default;
    virtual void colorPickerSaved(ColorPickerController* picker) = 0;
    virtual void colorPickerCancelled(ColorPickerController* picker) = 0;
};
