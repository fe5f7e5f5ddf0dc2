#include "common/TestSupport.h"

#include "platform/UserDefaults.h"

#ifndef KIVOTAB_TEST_CORE_ONLY
#include "platform/ui/DatePicker.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextView.h"
#include "widgets/ProgressHUD.h"
#endif

#include <QLocale>

namespace testsupport {

void resetSharedState()
{
    // Formatters made on first use keep the locale of that moment: every test starts in
    // the same one, whatever ran before it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::UserDefaults::standard().reload();
#ifndef KIVOTAB_TEST_CORE_ONLY
    // What the style sets for the controls made after it, and the first responder.
    platform::ui::TextInput::endEditing(nullptr, true);
    platform::ui::SearchBar::appearance() = {};
    platform::ui::TextField::appearance() = {};
    platform::ui::TextView::appearance() = {};
    platform::ui::DatePicker::appearance() = {};
    ProgressHUD::appearance() = {};
#endif
}

} // namespace testsupport
