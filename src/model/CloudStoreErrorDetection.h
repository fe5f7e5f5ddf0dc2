#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

// Finds damaged cloud content in the errors the cloud import makes. Every such error passes
// through init_USM_WithDomain as it is made (install() hooks it into the store layer's
// import once per process); an import error that names a store's transaction data posts
// "CloudManagedStoreDidDetectCorruptionNotification" with user info NSUnderlyingError (the
// error being made) and "CSMStoreURLsErrorKey" (the URLs of the stores concerned), which
// the store manager turns into a corruption mark.
namespace CloudStoreErrorDetection {

// Hooks the detection into the import's errors; later calls do nothing.
void install();

// Examines an error being made and returns it unchanged. Errors of another domain or code
// than the import's pass at once; an import error nothing recognises is written to the log.
platform::Error init_USM_WithDomain(
    const QString& domain, qint64 code, const QVariantMap& userInfo);

// Whether `error`, or an error or exception nested in it, was recognised and handled; the
// notification names `receiver`, the error being made.
bool USM_handleError(const platform::Error& receiver, const QVariant& error);
bool USM_handleException(const platform::Error& receiver, const QVariant& exception);

// The error and its user info, one entry a line, for the log.
QString USM_fullDescription(const platform::Error& error);

} // namespace CloudStoreErrorDetection
