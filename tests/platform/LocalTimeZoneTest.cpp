#include "platform/LocalTimeZone.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <ctime>

namespace {

struct LocalFields {
    QDate date;
    QTime time;
    int offset;
    bool operator==(const LocalFields&) const = default;
};

// Local readings of instants across a century, both seasons, and before 1970.
QList<LocalFields> localFields()
{
    QList<LocalFields> fields;
    for (qint64 seconds = -2208988800LL; seconds < 2000000000LL; seconds += 15552000LL + 3607) {
        const QDateTime date = QDateTime::fromSecsSinceEpoch(seconds);
        fields.append({ date.date(), date.time(), date.offsetFromUtc() });
    }
    return fields;
}

void setZone(const QByteArray& zone)
{
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

} // namespace

TEST(LocalTimeZone, PinningNamesTheSystemZoneAndChangesNoLocalTime)
{
    const QByteArray saved = qEnvironmentVariableIsSet("TZ") ? qgetenv("TZ") : QByteArray();
    setZone(QByteArray());
    const auto before = localFields();
    const QString name = platform::LocalTimeZone::systemZoneName();
    platform::LocalTimeZone::pin();
    if (name.isEmpty()) {
        EXPECT_FALSE(qEnvironmentVariableIsSet("TZ"));
    } else {
        EXPECT_EQ(qgetenv("TZ"), name.toUtf8());
        EXPECT_FALSE(name.startsWith(u'/'));
    }
    EXPECT_EQ(localFields(), before);

    // A zone the user chose stays.
    setZone("America/New_York");
    platform::LocalTimeZone::pin();
    EXPECT_EQ(qgetenv("TZ"), QByteArray("America/New_York"));
    setZone(saved);
}
