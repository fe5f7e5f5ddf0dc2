#include "common/TestSupport.h"

#include "platform/UserDefaults.h"
#ifndef KIVOTAB_TEST_CORE_ONLY
#include "utilities/shell/ScreenServices.h"
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
    // A test that needs screen records installs the factory it means.
    ScreenServices::install(nullptr);
#endif
}

} // namespace testsupport
