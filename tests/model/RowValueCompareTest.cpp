#include "model/RowValueCompare.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Sorts compare values read once into keys; that must order exactly as the values do.
TEST(RowValueCompare, KeysOrderExactlyAsTheirValues)
{
    const QDateTime moment(QDate(2024, 3, 5), QTime(14, 30), QTimeZone::utc());
    const QList<QVariant> values { QVariant(), QVariant::fromValue(nullptr), QVariant(QDateTime()),
        0, -1, 2.5, qlonglong(1) << 60, std::nan(""), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), true, false, moment, moment.toLocalTime(),
        moment.addMSecs(1), QDateTime(QDate(1, 1, 1), QTime(9, 0)), QString(), QStringLiteral("a"),
        QStringLiteral("B"), QStringLiteral("\u00e9"), QStringLiteral("a\u0000b"),
        QByteArray("raw"), QStringList { "x" } };
    for (const QVariant& a : values) {
        for (const QVariant& b : values) {
            EXPECT_EQ(
                RowValueCompare::compare(RowValueCompare::keyOf(a), RowValueCompare::keyOf(b)),
                RowValueCompare::compare(a, b))
                << a.typeName() << " " << a.toString().toStdString() << " / " << b.typeName() << " "
                << b.toString().toStdString();
        }
    }
}
