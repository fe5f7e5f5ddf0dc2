#include "ModelFixture.h"

#include "model/RowDecoder.h"
#include "model/Rows.h"

#include <QRandomGenerator>

#include <cstddef>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of the bytes allocated (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using modeltest::ModelTest;

namespace {

const QString kMemoryDefinition = QStringLiteral("3E5A7C91-4B6D-4F80-9A2C-5E7F9B1D3F46");
const QString kMemoryTable = QStringLiteral("9B3D5F71-2C4E-4A68-8B7D-1F3A5C7E9B24");
constexpr int kRows = 10000;

// The bytes the program's allocations hold now (SQLite's page cache among them).
qint64 allocatedBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#endif
}

} // namespace

// What a whole-table job holds for a table: every row fetched with its values, and its
// stored texts reached, costs at most half again their stored bytes; a job's decoded values
// go with the job.
TEST_F(ModelTest, RowsFetchedWithTheirValuesHoldAtMostHalfAgainTheirStoredText)
{
    static const QStringList words { "amber", "birch", "cedar", "december", "ember", "fjord",
        "granite", "harbour", "indigo", "juniper", "kelp", "lumber", "meadow", "nectar" };
    QList<TemplateColumn*> columns;
    for (const char* type : { "Text", "BigText", "List", "Link", "Currency", "Numeric", "Date",
             "DateTime", "Time", "Yes/No" })
        columns << column(
            kMemoryDefinition, QString::fromLatin1(type), QString::fromLatin1(type), 2);
    QRandomGenerator random(11);
    const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
    for (int i = 0; i < kRows; ++i) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(
            1600000000 + qint64(random.bounded(200000000u)), QTimeZone::utc());
        const QVariantMap values { { key(columns[0]), QStringLiteral("%1 %2").arg(word()).arg(i) },
            { key(columns[1]), QStringLiteral("%1 %2 %3 %4").arg(word(), word(), word(), word()) },
            { key(columns[2]), word() },
            { key(columns[3]), QStringLiteral("https://example.org/%1").arg(i) },
            { key(columns[4]), double(random.bounded(1000000u)) / 100 },
            { key(columns[5]), int(random.bounded(500u)) }, { key(columns[6]), moment },
            { key(columns[7]), moment }, { key(columns[8]), moment },
            { key(columns[9]), random.bounded(2u) == 1 } };
        Rows* row = Rows::add(kMemoryTable);
        row->updateData(values, columns, std::nullopt);
        context()->insertObject(row);
    }
    ASSERT_TRUE(context()->save());
    context()->reset();

    const qint64 before = allocatedBytes();
    const auto rows = Rows::getRows(kMemoryTable, columns, {}, {}, std::nullopt);
    ASSERT_EQ(rows.size(), kRows);
    qint64 stored = 0;
    for (Rows* row : rows)
        stored += row->storedJson().toByteArray().size();
    const qint64 fetched = allocatedBytes() - before;
    EXPECT_LE(fetched, 3 * stored / 2) << fetched << " bytes held for " << stored << " stored";

    // Decoding every row for a job holds one row's values at a time.
    RowDecoder decoder(columns, std::nullopt);
    qint64 decoded = 0;
    for (Rows* row : rows) {
        ASSERT_TRUE(decoder.decode(row->storedJson()));
        decoded += decoder.size();
    }
    EXPECT_EQ(decoded, qint64(kRows) * columns.size());
    EXPECT_LE(allocatedBytes() - before, fetched + stored / 10);
}
