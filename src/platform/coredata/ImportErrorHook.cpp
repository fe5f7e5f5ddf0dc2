#include "platform/coredata/ImportErrorHook.h"

#include "platform/coredata/CoreDataError.h"

#include <mutex>

namespace platform::coredata {

const QString ReasonKey = QStringLiteral("reason");
const QString UnderlyingExceptionKey = QStringLiteral("NSUnderlyingException");
const QString DetailedErrorsKey = QStringLiteral("NSDetailedErrors");
const QString ValidationObjectErrorKey = QStringLiteral("NSValidationObjectErrorKey");

namespace {

std::mutex g_mutex;

ImportErrorHook& hook()
{
    static ImportErrorHook installed;
    return installed;
}

} // namespace

void setImportErrorHook(ImportErrorHook newHook)
{
    std::lock_guard lock(g_mutex);
    hook() = std::move(newHook);
}

Error makeImportError(qint64 code, const QVariantMap& userInfo)
{
    Error error(ErrorDomain, code, userInfo);
    ImportErrorHook call;
    {
        std::lock_guard lock(g_mutex);
        call = hook();
    }
    if (call)
        call(error);
    return error;
}

} // namespace platform::coredata
