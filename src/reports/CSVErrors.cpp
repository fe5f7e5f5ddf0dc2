#include "reports/CSVErrors.h"

namespace CSVErrors {

const QString Domain = QStringLiteral("net.solvane.csv");

platform::Error formatError(const QString& description, QVariantMap userInfo)
{
    userInfo.insert(platform::Error::LocalizedDescriptionKey, description);
    return platform::Error(Domain, FormatError, std::move(userInfo));
}

} // namespace CSVErrors
