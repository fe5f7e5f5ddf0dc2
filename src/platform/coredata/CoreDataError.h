#pragma once

#include "platform/Error.h"

#include <QString>

namespace platform::coredata {

// The domain and codes of the errors the store layer reports.
extern const QString ErrorDomain; // "NSCocoaErrorDomain"
extern const QString SQLiteErrorCodeKey; // user-info key holding SQLite's result code

enum ErrorCode : qint64 {
    ValidationError = 1550,
    PersistentStoreInvalidTypeError = 134000,
    PersistentStoreSaveError = 134030,
    PersistentStoreIncompatibleSchemaError = 134020,
    CoreDataError = 134060,
    PersistentStoreOperationError = 134070,
    PersistentStoreOpenError = 134080,
    PersistentStoreIncompatibleVersionHashError = 134100,
    MigrationError = 134110,
};

// An error of this domain whose description is the given text; `path`, when given, goes
// under the file-path key and `sqliteCode`, when not 0, under SQLiteErrorCodeKey.
Error makeError(
    ErrorCode code, const QString& description, const QString& path = {}, int sqliteCode = 0);

// Writes the error to `out` when the caller asked for it.
inline void report(Error* out, const Error& error)
{
    if (out)
        *out = error;
}

} // namespace platform::coredata
