#include "utilities/shell/AlertViewHelper.h"

#include "utilities/text/LocalizedStrings.h"

platform::ui::AlertView* AlertViewHelper::showAlertWithTitle(const QString& title,
    const QString& message, platform::ui::AlertViewDelegate* delegate, int tag)
{
    auto* alert = new platform::ui::AlertView(
        title, message, delegate, LocalizedStrings::Cancel(), { LocalizedStrings::OK() });
    alert->setTag(tag);
    alert->show();
    return alert;
}
