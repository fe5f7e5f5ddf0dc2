#include "reports/PdfReportPageSearch.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

namespace {

// Places items of the heights on pages of the given room with the search; a page fits
// when its items' heights add up to the room at most. Gives the item counts per page and
// the trials made.
std::vector<quint64> place(PdfReportPageSearch::Mode mode, const std::vector<int>& heights,
    int room, quint64 perPage, quint64* trials = nullptr)
{
    PdfReportPageSearch search(mode, perPage);
    std::vector<quint64> pages;
    quint64 placed = 0;
    quint64 made = 0;
    const quint64 total = heights.size();
    do {
        search.beginPage(total - placed);
        for (;;) {
            ++made;
            const quint64 end = std::min<quint64>(total, placed + search.count());
            const int height = std::accumulate(
                heights.begin() + qsizetype(placed), heights.begin() + qsizetype(end), 0);
            if (search.tried(height <= room))
                break;
            EXPECT_LT(made, 100000u) << "the search does not end";
            if (made >= 100000)
                return pages;
        }
        pages.push_back(std::min(search.accepted(), total - placed));
        placed += search.accepted();
    } while (placed < total);
    if (trials)
        *trials = made;
    return pages;
}

} // namespace

TEST(PdfReportPageSearch, QuickCountsEqualTheLiteralSearchOverRandomHeights)
{
    std::mt19937 random(35);
    quint64 literalTrials = 0;
    quint64 quickTrials = 0;
    for (int run = 0; run < 300; ++run) {
        std::uniform_int_distribution<int> count(0, 400);
        std::uniform_int_distribution<int> spread(1, 5);
        const int heightSpread = spread(random);
        std::uniform_int_distribution<int> height(0, 30 * heightSpread);
        std::vector<int> heights(size_t(count(random)));
        for (int& h : heights)
            h = height(random);
        // Now and then an item taller than a page.
        if (!heights.empty() && run % 7 == 0)
            heights[size_t(run) % heights.size()] = 5000;
        const quint64 perPage = std::uniform_int_distribution<int>(1, 120)(random);
        quint64 literal = 0;
        quint64 quick = 0;
        const auto expected
            = place(PdfReportPageSearch::Mode::Literal, heights, 900, perPage, &literal);
        const auto found = place(PdfReportPageSearch::Mode::Quick, heights, 900, perPage, &quick);
        ASSERT_EQ(found, expected) << "run " << run;
        literalTrials += literal;
        quickTrials += quick;
    }
    EXPECT_LT(quickTrials, literalTrials);
}

TEST(PdfReportPageSearch, RowsOfOneHeightTakeAFewTrialsAPageInsteadOfSeven)
{
    // 27 rows of 33 points fill a page of 900: the literal search tries 100, 50, 25 ... 28
    // and 27 again on every page; the quick one starts from the last page's count.
    quint64 literal = 0;
    quint64 quick = 0;
    const std::vector<int> rows(2700, 33);
    const auto expected = place(PdfReportPageSearch::Mode::Literal, rows, 900, 100, &literal);
    EXPECT_EQ(place(PdfReportPageSearch::Mode::Quick, rows, 900, 100, &quick), expected);
    EXPECT_EQ(expected.size(), 100u);
    EXPECT_GE(literal, 690u);
    EXPECT_LE(quick, 3 * 100u);
}

TEST(PdfReportPageSearch, EveryPageTakesAtLeastOneItemAndTheReportEnds)
{
    for (auto mode : { PdfReportPageSearch::Mode::Literal, PdfReportPageSearch::Mode::Quick }) {
        // Every item taller than a page: one to a page.
        EXPECT_EQ(place(mode, { 2000, 2000, 2000 }, 900, 100), std::vector<quint64>({ 1, 1, 1 }));
        // No items: one page, empty.
        EXPECT_EQ(place(mode, {}, 900, 100), std::vector<quint64>({ 0 }));
        // Exactly the items per page, and one more.
        EXPECT_EQ(place(mode, std::vector<int>(100, 1), 900, 100), std::vector<quint64>({ 100 }));
        EXPECT_EQ(
            place(mode, std::vector<int>(101, 1), 900, 100), std::vector<quint64>({ 100, 1 }));
        // A tall item between short ones goes alone; the next starts a new page.
        EXPECT_EQ(
            place(mode, { 100, 100, 5000, 100 }, 900, 100), std::vector<quint64>({ 2, 1, 1 }));
    }
}

TEST(PdfReportPageSearch, LiteralSearchTriesTheOriginalSequence)
{
    // 27 items of 10 fit in 275: 100 and 50 overflow, 25 fits, then one more at a time.
    PdfReportPageSearch search(PdfReportPageSearch::Mode::Literal, 100);
    search.beginPage(1000);
    std::vector<quint64> tried;
    do
        tried.push_back(search.count());
    while (!search.tried(search.count() * 10 <= 275));
    EXPECT_EQ(tried, std::vector<quint64>({ 100, 50, 25, 26, 27, 28, 27 }));
    EXPECT_EQ(search.accepted(), 27u);
}

TEST(PdfReportPageSearch, RowsLaidOutAtOnceFollowThePreviousPageNotATallItem)
{
    PdfReportPageSearch search(PdfReportPageSearch::Mode::Quick, 100);
    // The first page lays out a page of one-line rows and some more.
    search.beginPage(1000);
    EXPECT_EQ(search.overfullCount(), 40u);
    search.settle(32);
    EXPECT_EQ(search.accepted(), 32u);
    // Then a few more than the page before took, never past the items left.
    search.beginPage(968);
    EXPECT_EQ(search.overfullCount(), 36u);
    search.beginPage(20);
    EXPECT_EQ(search.overfullCount(), 20u);
    // An item alone on its pages, being too tall, says nothing of the next page's rows.
    search.beginPage(968);
    search.settle(1, false);
    EXPECT_EQ(search.accepted(), 1u);
    search.beginPage(967);
    EXPECT_EQ(search.overfullCount(), 36u);
    // A count past the cap is the cap.
    search.beginPage(5);
    search.settle(9);
    EXPECT_EQ(search.accepted(), 5u);
}
