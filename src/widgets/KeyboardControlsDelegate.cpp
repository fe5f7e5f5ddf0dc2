#include "widgets/KeyboardControlsDelegate.h"

#include "widgets/SqlKeyboardProtocol.h"

void KeyboardControlsDelegate::keyboardControlsPreviousNextPressed(
    KeyboardControls*, int, platform::ui::View*)
{
}

void KeyboardControlsDelegate::keyboardControlsDonePressed(KeyboardControls*)
{
}

void SqlKeyboardProtocol::clickedSql(const QString&)
{
}
