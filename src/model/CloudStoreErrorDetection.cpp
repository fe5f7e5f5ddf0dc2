#include "model/CloudStoreErrorDetection.h"

#include "model/CloudStoreManager.h"
#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/Product.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ImportErrorHook.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "utilities/shell/DebugHelper.h"

#include <QUrl>

#include <mutex>

namespace CloudStoreErrorDetection {

namespace cd = platform::coredata;
using platform::Error;

namespace {

const QString IgnoredReason = QStringLiteral("Error reading the log file at location: (null)");
const QString UnderlyingErrorAltKey = QStringLiteral("underlyingError");

void post(const Error& receiver, const QVariantList& urls)
{
    platform::NotificationCenter::defaultCenter().post(
        CloudStoreManager::DidDetectCorruptionNotification, nullptr,
        { { Error::UnderlyingErrorKey, QVariant::fromValue(receiver) },
            { CloudStoreManager::StoreURLsErrorKey, urls } });
}

QString describe(const QVariant& value)
{
    if (value.canConvert<Error>() && value.metaType() == QMetaType::fromType<Error>())
        return USM_fullDescription(value.value<Error>());
    if (value.metaType() == QMetaType::fromType<platform::Exception>()) {
        // An exception has no empty form to copy out into: read it in place.
        const auto& exception = *static_cast<const platform::Exception*>(value.constData());
        QStringList info;
        for (auto it = exception.userInfo().cbegin(); it != exception.userInfo().cend(); ++it)
            info << it.key() + " = " + it.value().toString();
        return QStringLiteral("%1: %2 {%3}")
            .arg(exception.name(), exception.reason(), info.join(QStringLiteral("; ")));
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QStringList items;
        for (const QVariant& item : value.toList())
            items << describe(item);
        return '(' + items.join(QStringLiteral(",\n")) + ')';
    }
    return value.toString();
}

} // namespace

void install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        cd::setImportErrorHook([](const Error& made) {
            init_USM_WithDomain(made.domain(), made.code(), made.userInfo());
        });
    });
}

Error init_USM_WithDomain(const QString& domain, qint64 code, const QVariantMap& userInfo)
{
    const Error made(domain, code, userInfo);
    if (domain != cd::ErrorDomain || code != cd::UbiquitousImportError)
        return made;
    if (USM_handleError(made, QVariant::fromValue(made)))
        return made;
    const QStringList lines { QStringLiteral("==="),
        QStringLiteral("Detected unknown ubiquity import error."),
        QStringLiteral("Please report this at https://%1/kivotab/support")
            .arg(QLatin1String(Product::webSiteHost)),
        QStringLiteral("and provide details of the conditions and whether or not you notice"),
        QStringLiteral("any sync issues afterwards.  Error:\n%1").arg(USM_fullDescription(made)),
        QStringLiteral("===") };
    for (const QString& line : lines)
        DebugHelper::writeToLog(line);
    return made;
}

bool USM_handleError(const Error& receiver, const QVariant& value)
{
    if (!value.isValid() || value.metaType() != QMetaType::fromType<Error>())
        return false;
    const Error error = value.value<Error>();
    if (error.isNull())
        return false;
    const QVariantMap& info = error.userInfo();
    if (error.domain() == cd::ErrorDomain
        && error.code() == cd::ValidationMissingMandatoryPropertyError) {
        // Every store of the invalid object's coordinator is concerned.
        QVariantList urls;
        auto* object = qobject_cast<cd::ManagedObject*>(
            info.value(cd::ValidationObjectErrorKey).value<QObject*>());
        cd::ManagedObjectContext* context = object ? object->managedObjectContext() : nullptr;
        if (context && context->persistentStoreCoordinator()) {
            for (const auto& store : context->persistentStoreCoordinator()->persistentStores())
                urls << store->URL();
        }
        post(receiver, urls);
        return true;
    }
    if (info.value(cd::ReasonKey).toString().startsWith(IgnoredReason))
        return true;
    if (USM_handleException(receiver, info.value(cd::UnderlyingExceptionKey)))
        return true;
    if (USM_handleError(receiver, info.value(Error::UnderlyingErrorKey)))
        return true;
    if (USM_handleError(receiver, info.value(UnderlyingErrorAltKey)))
        return true;
    for (const QVariant& detail : info.value(cd::DetailedErrorsKey).toList()) {
        if (USM_handleError(receiver, detail))
            return true;
    }
    return false;
}

bool USM_handleException(const Error& receiver, const QVariant& value)
{
    if (!value.isValid() || value.metaType() != QMetaType::fromType<platform::Exception>())
        return false;
    const auto& exception = *static_cast<const platform::Exception*>(value.constData());
    if (!exception.userInfo().contains(cd::SQLiteErrorCodeKey))
        return false;
    // Without a path the list names no store, which the manager leaves alone.
    QVariantList urls;
    const QString path = exception.userInfo().value(Error::FilePathKey).toString();
    if (!path.isEmpty())
        urls << QUrl::fromLocalFile(path);
    post(receiver, urls);
    return true;
}

QString USM_fullDescription(const Error& error)
{
    QString text = QStringLiteral("Error: %1 (%2): %3\n")
                       .arg(error.code())
                       .arg(error.domain(), error.localizedDescription());
    const QVariantMap& info = error.userInfo();
    const std::pair<const char*, const char*> extras[] = {
        { "NSLocalizedRecoveryOptions", " - RecoveryOptions: %1\n" },
        { "NSLocalizedRecoverySuggestion", " - RecoverySuggestion: %1\n" },
        { "NSLocalizedFailureReason", " - FailureReason: %1\n" },
        { "NSHelpAnchor", " - HelpAnchor: %1\n" },
    };
    for (const auto& [key, format] : extras) {
        const QVariant value = info.value(QLatin1String(key));
        if (value.isValid())
            text += QString::fromLatin1(format).arg(describe(value));
    }
    for (auto it = info.cbegin(); it != info.cend(); ++it) {
        const QString prefix = QStringLiteral(" - Info %1: [%2] ")
                                   .arg(it.key(), QLatin1String(it.value().typeName()));
        QString value = describe(it.value());
        value.replace('\n', '\n' + QString(prefix.size(), ' '));
        text += prefix + value + '\n';
    }
    return text;
}

} // namespace CloudStoreErrorDetection
