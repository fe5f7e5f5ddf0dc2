#include "model/CloudStoreErrorCause.h"

#include <array>

QString CSMNameOfCause(qint32 cause)
{
    static const std::array<const char*, 11> names { "CloudStoreErrorCauseNoError",
        "CloudStoreErrorCauseDeleteStore", "CloudStoreErrorCauseCreateStorePath",
        "CloudStoreErrorCauseClearStore", "CloudStoreErrorCauseOpenActiveStore",
        "CloudStoreErrorCauseOpenSeedStore", "CloudStoreErrorCauseSeedStore",
        "CloudStoreErrorCauseImportChanges", "CloudStoreErrorCauseConfirmActiveStore",
        "CloudStoreErrorCauseCorruptActiveStore", "CloudStoreErrorCauseEnumerateStores" };
    if (cause < 0 || cause >= qint32(names.size()))
        return QStringLiteral("UnsupportedCause:%1").arg(cause);
    return QString::fromLatin1(names[size_t(cause)]);
}
