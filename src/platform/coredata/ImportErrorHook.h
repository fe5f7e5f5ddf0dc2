#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariantMap>

#include <functional>

namespace platform::coredata {

// Failures of the cloud import are only seen as the errors it makes, so every error the
// import makes passes through one process-wide hook as it is made, on the thread that
// makes it. The application installs the hook once; it must not block.
using ImportErrorHook = std::function<void(const Error&)>;

void setImportErrorHook(ImportErrorHook hook);

// The import of cloud changes failed (domain ErrorDomain).
constexpr qint64 UbiquitousImportError = 134302;
// A mandatory value is missing (domain ErrorDomain).
constexpr qint64 ValidationMissingMandatoryPropertyError = 1570;

// User-info keys of the errors the import makes.
extern const QString ReasonKey; // "reason"
extern const QString UnderlyingExceptionKey; // "NSUnderlyingException": a platform::Exception
extern const QString DetailedErrorsKey; // "NSDetailedErrors": a list of errors
extern const QString ValidationObjectErrorKey; // "NSValidationObjectErrorKey": the object

// An error of the store layer's domain, passed through the hook before it is returned.
Error makeImportError(qint64 code, const QVariantMap& userInfo);

} // namespace platform::coredata
