#include "platform/LocalTimeZone.h"

#include <QFileInfo>

#include <ctime>

namespace platform::LocalTimeZone {

namespace {

const QString SystemZoneFile = QStringLiteral("/etc/localtime");
const QString ZoneDatabase = QStringLiteral("/usr/share/zoneinfo/");
const QString ZoneFolderMark = QStringLiteral("/zoneinfo/");

} // namespace

QString systemZoneName()
{
    // A custom zone database would make the same name mean another file.
    if (!qEnvironmentVariableIsEmpty("TZDIR"))
        return {};
    const QString target = QFileInfo(SystemZoneFile).symLinkTarget();
    const qsizetype mark = target.indexOf(ZoneFolderMark);
    if (mark < 0)
        return {};
    const QString name = target.mid(mark + ZoneFolderMark.size());
    // The name must lead the C library to the very file the system zone is.
    const QString named = QFileInfo(ZoneDatabase + name).canonicalFilePath();
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(QStringLiteral(".."))
        || named.isEmpty() || named != QFileInfo(SystemZoneFile).canonicalFilePath())
        return {};
    return name;
}

void pin()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    const QString name = systemZoneName();
    if (name.isEmpty())
        return;
    qputenv("TZ", name.toUtf8());
    tzset();
}

} // namespace platform::LocalTimeZone
