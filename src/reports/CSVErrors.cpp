#include "reports/CSVErrors.h"

#include <QRegularExpression>

namespace CSVErrors {

const QString Domain = QStringLiteral("net.solvane.csv");
const QString LineKey = QStringLiteral("CSVLine");

platform::Error formatError(const QString& description, QVariantMap userInfo)
{
    userInfo.insert(platform::Error::LocalizedDescriptionKey, description);
    return platform::Error(Domain, FormatError, std::move(userInfo));
}

platform::Error formatErrorInLine(const QString& description, quint64 line, QVariantMap userInfo)
{
    userInfo.insert(LineKey, line);
    return formatError(description, std::move(userInfo));
}

QString describedWithLine(const platform::Error& error)
{
    const QString description = error.localizedDescription();
    const QVariant line = error.userInfo().value(LineKey);
    if (!line.isValid())
        return description;
    const QString number = QString::number(line.toULongLong());
    const QRegularExpression named(
        QStringLiteral("\\bline %1\\b").arg(number), QRegularExpression::CaseInsensitiveOption);
    if (named.match(description).hasMatch())
        return description;
    return QStringLiteral("Line %1: %2").arg(number, description);
}

} // namespace CSVErrors
