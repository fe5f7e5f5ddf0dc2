#include "widgets/PopoverControllerDelegate.h"

void PopoverControllerDelegate::popoverControllerDidDismissPopover(PopoverController*)
{
}

void PopoverControllerDelegate::presentedNewPopoverController(
    PopoverController*, PopoverController*)
{
}

void PopoverControllerDelegate::closebuttonClicked(PopoverController*)
{
}
