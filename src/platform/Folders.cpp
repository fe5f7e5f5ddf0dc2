#include "platform/Folders.h"

#include "platform/Product.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform::Folders {

namespace {

QString ensured(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

} // namespace

QString home()
{
    const QString fromEnvironment = qEnvironmentVariable("KIVOTAB_HOME");
    if (!fromEnvironment.isEmpty())
        return ensured(QDir::cleanPath(fromEnvironment));
    // The same folder whatever the process calls itself (the application, a benchmark).
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + "/.local/share";
    return ensured(data + "/" + Product::company + "/" + Product::name);
}

QString documents()
{
    return ensured(home() + "/Documents");
}
QString library()
{
    return ensured(home() + "/Library");
}
QString applicationSupport()
{
    return ensured(library() + "/Application Support");
}
QString preferences()
{
    return ensured(library() + "/Preferences");
}
QString tmp()
{
    return ensured(home() + "/tmp");
}

QString resources()
{
    const QString fromEnvironment = qEnvironmentVariable("KIVOTAB_RESOURCES");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(KIVOTAB_RESOURCES);
}

QString builtResources()
{
    return QStringLiteral(KIVOTAB_BUILT_RESOURCES);
}

QString resourcePath(const QString& name, const QString& type)
{
    const QString file = type.isEmpty() ? name : name + "." + type;
    for (const QString& folder : { resources(), builtResources() }) {
        const QString path = folder + "/" + file;
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

} // namespace platform::Folders
