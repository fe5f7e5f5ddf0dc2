#include "widgets/ProgressHUDDelegate.h"

void ProgressHUDDelegate::hudWasHidden(ProgressHUD*)
{
}
