#include "widgets/ProgressHUDFailures.h"

#include "platform/Exception.h"

namespace ProgressHUDFailures {

const QString NilColor = QStringLiteral("The color should not be nil.");
const QString NilView = QStringLiteral("View must not be nil.");
const QString NotMainThread
    = QStringLiteral("ProgressHUD needs to be accessed on the main thread.");

void raise(const QString& reason)
{
    throw platform::Exception(platform::Exception::InternalInconsistency, reason);
}

void requireColor(const QColor& color)
{
    if (!color.isValid())
        raise(NilColor);
}

} // namespace ProgressHUDFailures
