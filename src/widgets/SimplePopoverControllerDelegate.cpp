#include "widgets/SimplePopoverControllerDelegate.h"

void SimplePopoverControllerDelegate::SimplePopoverControllerDidDismissPopover(
    SimplePopupViewController*)
{
}
