#include "reports/ReportFixture.h"

#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "platform/plot/Theme.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartInfo.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QRandomGenerator>
#include <QTimeZone>
#include <unicode/ucal.h>

#include <ctime>

using reporttest::ReportTest;

namespace {

struct ChartSeriesTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        x = addColumn(QStringLiteral("Item"), TypeConstants::Text);
        amount = addColumn(QStringLiteral("Amount"), TypeConstants::Numeric, false, 0, 2);
        when = addColumn(QStringLiteral("When"), TypeConstants::Date);
        weight = addColumn(QStringLiteral("Weight"), TypeConstants::Numeric, false, 0, 2);
    }

    QVariantMap definition(const QString& xName, const QString& function = LocalizedStrings::Sum(),
        const QString& grouping = LocalizedStrings::None(),
        const QString& type = LocalizedStrings::Bar())
    {
        return { { QStringLiteral("xaxis"), xName },
            { QStringLiteral("yaxis"), QStringLiteral("Amount") }, { QStringLiteral("type"), type },
            { QStringLiteral("function"), function }, { QStringLiteral("grouping"), grouping },
            { QStringLiteral("theme"), platform::plot::Theme::Slate } };
    }

    std::shared_ptr<ChartInfo> build(const QVariantMap& definition, QString* message = nullptr)
    {
        ChartDataController builder(controller.get());
        return builder.buildChart(definition, message);
    }

    static QStringList labels(const ChartInfo& chart)
    {
        QStringList texts;
        for (const auto& point : chart.chartData)
            texts << point->label;
        return texts;
    }

    TemplateColumn* x = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* when = nullptr;
    TemplateColumn* weight = nullptr;
};

} // namespace

TEST_F(ChartSeriesTest, GroupsRunsOfEqualKeysInXOrderAndSkipsRowsWithoutValues)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    storeRows(table,
        { { { "Item", "b" }, { "Amount", 1.0 } }, { { "Item", "a" }, { "Amount", 2.0 } },
            { { "Item", "a" }, { "Amount", 3.0 } }, { { "Amount", 50.0 } }, { { "Item", "c" } } });
    open(table);
    const auto chart = build(definition(QStringLiteral("Item")));
    ASSERT_TRUE(chart);
    EXPECT_EQ(labels(*chart), (QStringList { "a", "b" }));
    EXPECT_DOUBLE_EQ(chart->chartData[0]->xValue, 1);
    EXPECT_DOUBLE_EQ(chart->chartData[0]->value, 5);
    EXPECT_DOUBLE_EQ(chart->chartData[1]->xValue, 2);
    EXPECT_EQ(chart->chartData[0]->yLabel, amount->getStringValue(5.0));
    EXPECT_EQ(chart->title, QStringLiteral("Sales"));
    EXPECT_EQ(chart->ytitle, QStringLiteral("Amount"));
    EXPECT_EQ(chart->yDecimal, 2u);

    const auto counted = build(definition(QStringLiteral("Item"), LocalizedStrings::Count()));
    EXPECT_DOUBLE_EQ(counted->chartData[0]->value, 2);
    EXPECT_DOUBLE_EQ(counted->chartData[1]->value, 1);
}

TEST_F(ChartSeriesTest, SumsAndAveragesAreExactDecimalsAndNegativeValuesCount)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    storeRows(table,
        { { { "Item", "a" }, { "Amount", 0.1 } }, { { "Item", "a" }, { "Amount", 0.2 } },
            { { "Item", "b" }, { "Amount", -1.5 } }, { { "Item", "b" }, { "Amount", 2.25 } },
            { { "Item", "b" }, { "Amount", -3.0 } } });
    open(table);
    const auto value = [&](const QString& function, int point) {
        return build(definition(QStringLiteral("Item"), function))->chartData[point]->value;
    };
    EXPECT_EQ(value(LocalizedStrings::Sum(), 0), 0.3);
    EXPECT_EQ(value(LocalizedStrings::Average(), 0), 0.15);
    EXPECT_EQ(value(LocalizedStrings::Sum(), 1), -2.25);
    EXPECT_EQ(value(LocalizedStrings::Average(), 1), -0.75);
    EXPECT_EQ(value(LocalizedStrings::Minimum(), 1), -3.0);
    EXPECT_EQ(value(LocalizedStrings::Maximum(), 1), 2.25);
}

TEST_F(ChartSeriesTest, NumbersShownAlikeFormOneGroupAtTheFirstValue)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    storeRows(table,
        { { { "Weight", 1.004 }, { "Amount", 1.0 } }, { { "Weight", 1.001 }, { "Amount", 2.0 } },
            { { "Weight", 2.5 }, { "Amount", 4.0 } } });
    open(table);
    const auto chart = build(definition(QStringLiteral("Weight")));
    ASSERT_EQ(chart->chartData.size(), 2);
    EXPECT_EQ(chart->chartData[0]->label, weight->getStringValue(1.001));
    EXPECT_DOUBLE_EQ(chart->chartData[0]->xValue, 1.001);
    EXPECT_DOUBLE_EQ(chart->chartData[0]->value, 3);
}

TEST_F(ChartSeriesTest, TheGridsFiltersApplyItsSortDoesNotAndEmptyBoundsSetNone)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    storeRows(table,
        { { { "Item", "a" }, { "Amount", 1.0 } }, { { "Item", "b" }, { "Amount", -2.0 } },
            { { "Item", "c" }, { "Amount", 3.0 } }, { { "Item", "d" }, { "Amount", 4.0 } } });
    open(table);
    auto positive = std::make_shared<FilterExtended>();
    positive->setColumn(amount->id().toString());
    positive->setHeader(QStringLiteral("Amount"));
    positive->setOperator(LocalizedStrings::GreaterThan());
    positive->setNumericValue(0.0);
    controller->filters() = { positive };
    auto descending = std::make_shared<Sort>();
    descending->setColumn(x->id().toString());
    descending->setHeader(QStringLiteral("Item"));
    descending->setAscending(false);
    controller->sorts() = { descending };

    QVariantMap unbounded = definition(QStringLiteral("Item"));
    unbounded.insert(QStringLiteral("minValue"), QString());
    EXPECT_EQ(labels(*build(unbounded)), (QStringList { "a", "c", "d" }));

    // Bounds are inclusive; one side alone bounds only that side.
    QVariantMap upper = unbounded;
    upper.insert(QStringLiteral("maxValue"), QStringLiteral("c"));
    EXPECT_EQ(labels(*build(upper)), (QStringList { "a", "c" }));
    QVariantMap both = upper;
    both.insert(QStringLiteral("minValue"), QStringLiteral("c"));
    EXPECT_EQ(labels(*build(both)), (QStringList { "c" }));
    // Nothing in range: a chart without points.
    both.insert(QStringLiteral("minValue"), QStringLiteral("x"));
    const auto empty = build(both);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->chartData.isEmpty());
}

TEST_F(ChartSeriesTest, NoneIsRefusedAndAProtectedTableNeedsItsPassword)
{
    const QList<QVariantMap> rows { { { "Item", "a" }, { "Amount", 1.5 } },
        { { "Item", "b" }, { "Amount", 2.5 } }, { { "Item", "a" }, { "Amount", 0.25 } } };
    UserTemplate* plain = addTable(QStringLiteral("Plain"));
    storeRows(plain, rows);
    const QString password = QStringLiteral("s3cret");
    UserTemplate* locked = addTable(QStringLiteral("Locked"), password);
    storeRows(locked, rows, password);

    open(plain);
    QString message;
    EXPECT_FALSE(build(definition(LocalizedStrings::None()), &message));
    EXPECT_EQ(message, LocalizedStrings::InvalidData());
    const auto expected = build(definition(QStringLiteral("Item")));

    open(locked, password);
    const auto opened = build(definition(QStringLiteral("Item")));
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->chartData.size(), expected->chartData.size());
    for (qsizetype i = 0; i < expected->chartData.size(); ++i) {
        EXPECT_EQ(opened->chartData[i]->label, expected->chartData[i]->label);
        EXPECT_EQ(opened->chartData[i]->value, expected->chartData[i]->value);
    }

    open(locked);
    message.clear();
    EXPECT_FALSE(build(definition(QStringLiteral("Item")), &message));
    EXPECT_EQ(message, LocalizedStrings::PasswordInvalid());

    // A row the password does not open is an error, not a smaller chart.
    storeRows(locked, { { { "Item", "z" }, { "Amount", 9.0 } } }, QStringLiteral("other"));
    open(locked, password);
    message.clear();
    EXPECT_FALSE(build(definition(QStringLiteral("Item")), &message));
    EXPECT_EQ(message, ChartDataController::RowUnreadable);
}

TEST_F(ChartSeriesTest, ManyAmountsAddUpToTheCent)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    QRandomGenerator random(11);
    QList<QVariantMap> rows;
    QMap<QString, qint64> cents;
    for (int i = 0; i < 100000; ++i) {
        const QString category = QStringLiteral("c%1").arg(random.bounded(50), 2, 10, QChar(u'0'));
        const qint64 value = random.bounded(2000000) - 200000;
        cents[category] += value;
        rows.append({ { "Item", category }, { "Amount", double(value) / 100 } });
    }
    storeRows(table, rows);
    open(table);
    const auto chart = build(definition(QStringLiteral("Item")));
    ASSERT_EQ(chart->chartData.size(), 50);
    for (const auto& point : chart->chartData) {
        const qint64 expected = cents.value(point->label);
        EXPECT_EQ(point->value, double(expected) / 100) << point->label.toStdString();
    }
}

TEST_F(ChartSeriesTest, DateGroupsSitAtTheirDayMonthOrYear)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    storeRows(table,
        { { { "When", utc(2024, 3, 3, 9) }, { "Amount", 1.0 } },
            { { "When", utc(2024, 3, 3, 15) }, { "Amount", 2.0 } },
            { { "When", utc(2024, 3, 20, 8) }, { "Amount", 4.0 } } });
    open(table);
    const auto monthly = build(
        definition(QStringLiteral("When"), LocalizedStrings::Sum(), LocalizedStrings::Monthly()));
    ASSERT_EQ(monthly->chartData.size(), 1);
    EXPECT_EQ(monthly->chartData[0]->label, KivoDateUtils::getMonthYearString(utc(2024, 3, 3)));
    EXPECT_DOUBLE_EQ(monthly->chartData[0]->xValue, double(utc(2024, 3, 1, 12).toSecsSinceEpoch()));
    EXPECT_DOUBLE_EQ(monthly->chartData[0]->value, 7);

    const auto daily = build(
        definition(QStringLiteral("When"), LocalizedStrings::Sum(), LocalizedStrings::Daily()));
    ASSERT_EQ(daily->chartData.size(), 2);
    EXPECT_DOUBLE_EQ(daily->chartData[0]->xValue, double(utc(2024, 3, 3).toSecsSinceEpoch()));
    EXPECT_DOUBLE_EQ(daily->chartData[1]->xValue, double(utc(2024, 3, 20).toSecsSinceEpoch()));

    const auto yearly = build(
        definition(QStringLiteral("When"), LocalizedStrings::Count(), LocalizedStrings::Yearly()));
    ASSERT_EQ(yearly->chartData.size(), 1);
    EXPECT_DOUBLE_EQ(
        yearly->chartData[0]->xValue, double(utc(2024, 12, 31, 12).toSecsSinceEpoch()));
    EXPECT_DOUBLE_EQ(yearly->chartData[0]->value, 3);
}

TEST_F(ChartSeriesTest, ExplicitTicksOnlyFromEightPoints)
{
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    QList<QVariantMap> rows;
    for (int i = 0; i < 7; ++i)
        rows.append({ { "Weight", double(i * 10) }, { "Amount", 1.0 } });
    storeRows(table, rows);
    open(table);
    const QVariantMap line = definition(QStringLiteral("Weight"), LocalizedStrings::Sum(),
        LocalizedStrings::None(), LocalizedStrings::Line());
    EXPECT_TRUE(build(line)->xAxisLabels.isEmpty());

    storeRows(table,
        { { { "Weight", 60.0 }, { "Amount", 1.0 } }, { { "Weight", 35.0 }, { "Amount", 1.0 } } });
    const auto chart = build(line);
    ASSERT_EQ(chart->xAxisLabels.size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_DOUBLE_EQ(chart->xAxisLabels[i].second, i * 10.0);
    EXPECT_EQ(chart->xAxisLabels[6].first, weight->getStringValue(60.0));

    // First and last the same: one tick.
    ChartInfo same;
    for (int i = 0; i < 8; ++i) {
        auto point = std::make_shared<ChartData>();
        point->xValue = 5;
        same.chartData.append(point);
    }
    ChartDataController::createXTicks(same, weight, LocalizedStrings::None());
    EXPECT_EQ(same.xAxisLabels.size(), 1);

    // Apart by less than the column's two decimals show: no two ticks share a label.
    ChartInfo close;
    for (int i = 0; i < 8; ++i) {
        auto point = std::make_shared<ChartData>();
        point->xValue = 1 + i * 0.001;
        close.chartData.append(point);
    }
    ChartDataController::createXTicks(close, weight, LocalizedStrings::None());
    ASSERT_EQ(close.xAxisLabels.size(), 2);
    EXPECT_EQ(close.xAxisLabels[0].first, weight->getStringValue(1.0));
    EXPECT_DOUBLE_EQ(close.xAxisLabels[0].second, 1.0);
    EXPECT_EQ(close.xAxisLabels[1].first, weight->getStringValue(1.01));
}

// The same rows in zones whose days do not all begin at midnight or last 24 hours.
struct ChartZones : ChartSeriesTest, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        ChartSeriesTest::SetUp();
        useZone(GetParam());
    }
    void TearDown() override
    {
        useZone("UTC");
        ChartSeriesTest::TearDown();
    }
    static void useZone(const char* zone)
    {
        qputenv("TZ", zone);
        tzset();
        const QString name = QString::fromLatin1(zone);
        UErrorCode status = U_ZERO_ERROR;
        ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(name.utf16()), &status);
        ASSERT_TRUE(U_SUCCESS(status));
    }
};

TEST_P(ChartZones, PointsAndTicksNameTheirOwnDays)
{
    const QTimeZone zone { QByteArray(GetParam()) };
    // Noon of ten days around the zone's hard days, and one of those days' first instants.
    QList<QDate> days;
    for (const QDate& around :
        { QDate(2024, 3, 31), QDate(2024, 10, 27), QDate(2018, 11, 4), QDate(2011, 12, 29) }) {
        for (int i = -4; i <= 5; ++i)
            days << around.addDays(i);
    }
    UserTemplate* table = addTable(QStringLiteral("Sales"));
    QList<QVariantMap> rows;
    QSet<QDate> shownDays; // Apia had no 30 December 2011
    for (const QDate& day : days) {
        const QDateTime noon(day, QTime(12, 0), zone);
        shownDays.insert(QDateTime::fromSecsSinceEpoch(noon.toSecsSinceEpoch(), zone).date());
        rows.append({ { "When", noon }, { "Amount", 1.0 } });
    }
    storeRows(table, rows);
    open(table);

    const auto plain = build(definition(QStringLiteral("When"), LocalizedStrings::Sum(),
        LocalizedStrings::None(), LocalizedStrings::Line()));
    for (const auto& point : plain->chartData) {
        const QVariant raw = QVariant::fromValue(platform::Date::fromUnixTime(point->xValue));
        EXPECT_EQ(point->label, when->getStringValue(raw));
    }

    const auto daily = build(definition(QStringLiteral("When"), LocalizedStrings::Sum(),
        LocalizedStrings::Daily(), LocalizedStrings::Line()));
    ASSERT_EQ(daily->chartData.size(), qsizetype(shownDays.size()));
    for (const auto& point : daily->chartData) {
        const QDateTime start = QDateTime::fromSecsSinceEpoch(qint64(point->xValue), zone);
        // The day's first instant: a moment earlier is the day before.
        EXPECT_EQ(point->label, KivoDateUtils::getDateString(start)) << GetParam();
        EXPECT_NE(start.addSecs(-1).date(), start.date()) << GetParam();
    }
    ASSERT_EQ(daily->xAxisLabels.size(), 7);
    EXPECT_EQ(daily->xAxisLabels.first().first, daily->chartData.first()->label);
    EXPECT_EQ(daily->xAxisLabels.last().first, daily->chartData.last()->label);
    EXPECT_EQ(daily->xAxisLabels.last().second, daily->chartData.last()->xValue);
    for (const auto& [text, position] : daily->xAxisLabels) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(qint64(position), zone);
        EXPECT_EQ(text, KivoDateUtils::getDateString(moment)) << GetParam();
    }

    for (const QString& grouping : { LocalizedStrings::Monthly(), LocalizedStrings::Yearly() }) {
        const auto chart
            = build(definition(QStringLiteral("When"), LocalizedStrings::Sum(), grouping));
        for (const auto& point : chart->chartData) {
            const QDateTime at = QDateTime::fromSecsSinceEpoch(qint64(point->xValue), zone);
            EXPECT_EQ(at.time(), QTime(12, 0)) << GetParam();
            EXPECT_EQ(at.date().day(), grouping == LocalizedStrings::Monthly() ? 1 : 31);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(HardDays, ChartZones,
    ::testing::Values("UTC", "Europe/Berlin", "Asia/Kolkata", "America/Sao_Paulo", "Pacific/Apia"));
