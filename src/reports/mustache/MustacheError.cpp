#include "reports/mustache/MustacheError.h"

#include "utilities/shell/DebugHelper.h"

const QString MustacheError::Domain = QStringLiteral("MustacheErrorDomain");
const QString MustacheError::RenderingException = QStringLiteral("MustacheRenderingException");

platform::Error MustacheError::make(Code code, const QString& description)
{
    return platform::Error::withDescription(Domain, code, description);
}

void MustacheError::report(const platform::Error& error, platform::Error* slot)
{
    if (slot) {
        *slot = error;
        return;
    }
    DebugHelper::singleton().logMessage(
        QStringLiteral("Mustache error: %1").arg(error.localizedDescription()));
}
