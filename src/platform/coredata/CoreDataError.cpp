#include "platform/coredata/CoreDataError.h"

namespace platform::coredata {

const QString ErrorDomain = QStringLiteral("NSCocoaErrorDomain");
const QString SQLiteErrorCodeKey = QStringLiteral("NSSQLiteErrorDomain");

Error makeError(ErrorCode code, const QString& description, const QString& path, int sqliteCode)
{
    QVariantMap info { { Error::LocalizedDescriptionKey, description } };
    if (!path.isEmpty())
        info.insert(Error::FilePathKey, path);
    if (sqliteCode != 0)
        info.insert(SQLiteErrorCodeKey, sqliteCode);
    return Error(ErrorDomain, code, info);
}

} // namespace platform::coredata
