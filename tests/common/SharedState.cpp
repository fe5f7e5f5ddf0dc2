#include "common/TestSupport.h"

#include "platform/UserDefaults.h"

#ifndef KIVOTAB_TEST_CORE_ONLY
#include "utilities/store/StoreStack.h"
#endif

#include <QLocale>

namespace testsupport {

void resetSharedState()
{
#ifndef KIVOTAB_TEST_CORE_ONLY
    // The store of one test never reaches the next.
    StoreStack::install(nullptr);
#endif
    // Formatters made on first use keep the locale of that moment: every test starts in
    // the same one, whatever ran before it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::UserDefaults::standard().reload();
}

} // namespace testsupport
