#include "CSVTestSupport.h"
#include "ReportFixture.h"
#include "utilities/text/FormatLocale.h"

#include "platform/Date.h"

#include <clocale>

using reporttest::ReportTest;

namespace {

// A table of every column type, exported to CSV from one table and imported into
// another of the same definition.
struct TableRoundTripTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        for (const QString& type : TypeConstants::allTypes())
            addColumn(type + " column", type);
        source = addTable("Everything");
        target = addTable("Copy");
    }

    // Rows whose texts are the awkward fields in turn, with numbers, flags and moments of
    // every kind; some rows leave their numbers and dates out.
    QList<QVariantMap> rows() const
    {
        const QStringList texts = csvtest::awkwardFields();
        const QList<double> numbers { 0, 12.5, -0.001, 1234567.891, 1e21, 3, -42, 0.1 };
        const QList<QDateTime> moments { utc(2024, 2, 29, 13, 45, 7), utc(1969, 12, 31, 23, 59, 59),
            utc(2001, 1, 1), utc(2038, 1, 19, 3, 14, 8) };
        QList<QVariantMap> made;
        for (int i = 0; i < 24; ++i) {
            QVariantMap row;
            const auto text = [&](int shift) { return texts[(i + shift) % texts.size()]; };
            row["Text column"] = text(0);
            row["BigText column"] = text(1) + text(2);
            row["List column"] = text(3);
            row["Link column"] = text(4);
            row["Protected column"] = text(5);
            row["Yes/No column"] = i % 2 == 0;
            if (i % 5 != 4) {
                row["Numeric column"] = numbers[i % numbers.size()];
                row["Currency column"] = numbers[(i + 3) % numbers.size()];
            }
            if (i % 6 != 5) {
                const QDateTime moment = moments[i % moments.size()];
                row["Date column"] = moment;
                row["Time column"] = moment.addSecs(i * 61);
                row["DateTime column"] = moment.addDays(i);
            }
            made.append(row);
        }
        return made;
    }

    void roundTrip()
    {
        storeRows(source, rows());
        open(source);
        const auto file = documentsFile("Everything.csv");
        run(ReportController::SaveCSV, file);
        dismissAlerts();
        // UTF-8 without a mark, "," and "\n".
        const QByteArray csv = readFile(file->fullName);
        ASSERT_FALSE(csv.startsWith("\xEF\xBB\xBF"));
        ASSERT_TRUE(csv.startsWith("Text column,BigText column,Date column,Numeric column,"));

        open(target);
        run(ReportController::ImportCSV, file);
        const QString log = QString::fromUtf8(readFile(menu->lastSelectedFileName()));
        EXPECT_TRUE(log.endsWith("Successfully imported 24 rows.\r\n")) << log.toStdString();

        const auto exported = storedValues(source);
        const auto imported = storedValues(target);
        ASSERT_EQ(imported.size(), exported.size());
        for (qsizetype r = 0; r < exported.size(); ++r) {
            for (TemplateColumn* c : columns) {
                const QString id = c->id().toString();
                // An empty text may be stored as nothing; a number or a date left out stays out.
                if (!TypeConstants::isText(c->typeName())) {
                    EXPECT_EQ(imported[r].contains(id), exported[r].contains(id))
                        << "row " << r << " " << c->typeName().toStdString();
                }
                const QVariant want = exported[r].value(id);
                const QVariant got = imported[r].value(id);
                if (TypeConstants::isDate(c->typeName())) {
                    EXPECT_EQ(got.value<platform::Date>(), want.value<platform::Date>())
                        << "row " << r << " " << c->typeName().toStdString();
                } else if (TypeConstants::isNumber(c->typeName())) {
                    EXPECT_EQ(got.toDouble(), want.toDouble())
                        << "row " << r << " " << c->typeName().toStdString();
                } else if (TypeConstants::isBoolean(c->typeName())) {
                    EXPECT_EQ(got.toBool(), want.toBool()) << "row " << r;
                } else {
                    EXPECT_EQ(got.toString(), want.toString())
                        << "row " << r << " " << c->typeName().toStdString();
                }
            }
        }
    }

    UserTemplate* source = nullptr;
    UserTemplate* target = nullptr;
};

} // namespace

TEST_F(TableRoundTripTest, EveryTypeComesBackUnchangedInTheCLocale)
{
    FormatLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    roundTrip();
}

TEST_F(TableRoundTripTest, EveryTypeComesBackUnchangedInGerman)
{
    csvtest::GermanLocale german;
    roundTrip();
}

// The export's plain numbers read as written whatever the locale; other forms are read
// the locale's way.
TEST_F(TableRoundTripTest, PlainNumbersReadTheSameInGerman)
{
    csvtest::GermanLocale german;
    open(target);
    const auto file = documentsFile("numbers.csv");
    QByteArray header;
    for (TemplateColumn* c : columns)
        header += (header.isEmpty() ? "" : ",") + c->name().toString().toUtf8();
    QFile out(file->fullName);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(header + "\n");
    for (const char* line : { "a,,,1.234,,,,,,-0.5,", "b,,,1e3,,,,,,2," }) {
        out.write(line);
        out.write("\n");
    }
    out.close();
    run(ReportController::ImportCSV, file);
    const auto imported = storedValues(target);
    ASSERT_EQ(imported.size(), 2);
    EXPECT_EQ(imported[0].value(key("Numeric column")).toDouble(), 1.234);
    EXPECT_EQ(imported[0].value(key("Currency column")).toDouble(), -0.5);
    EXPECT_EQ(imported[1].value(key("Numeric column")).toDouble(), 1000.0);
}
