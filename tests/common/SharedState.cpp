#include "common/TestSupport.h"

#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/UbiquitousKeyValueStore.h"

#include <QLocale>

namespace testsupport {

void resetSharedState()
{
    // Formatters made on first use keep the locale of that moment: every test starts in
    // the same one, whatever ran before it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::UserDefaults::standard().reload();
    platform::coredata::CloudContainer::reset();
    platform::coredata::UbiquitousKeyValueStore::defaultStore().reset();
}

} // namespace testsupport
