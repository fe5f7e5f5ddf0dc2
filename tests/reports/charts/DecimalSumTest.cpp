#include "reports/charts/DecimalSum.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DecimalSum, AddsTheDecimalFormsOfItsValues)
{
    DecimalSum tenths;
    tenths.add(0.1);
    tenths.add(0.2);
    EXPECT_EQ(tenths.sum(), 0.3);
    EXPECT_EQ(tenths.average(), 0.15);

    // Values of every size and sign, whose exponents run from far below to far above 0;
    // in binary the 3e-7 would be lost beside 1e15.
    DecimalSum mixed;
    for (double value : { 12.75, -0.005, 1e15, 3e-7, -1e15, 8000.1, 5000.0 })
        mixed.add(value);
    EXPECT_EQ(mixed.count(), 7);
    EXPECT_EQ(mixed.sum(), 13012.8450003);

    // A million cents add up to the cent.
    DecimalSum cents;
    for (int i = 0; i < 1000000; ++i)
        cents.add(0.01);
    EXPECT_EQ(cents.sum(), 10000.0);
    EXPECT_EQ(cents.average(), 0.01);
}

TEST(DecimalSum, GoesOnInBinaryBeyondItsDigitsAndIsEmptyAtFirst)
{
    DecimalSum empty;
    EXPECT_EQ(empty.sum(), 0.0);
    EXPECT_EQ(empty.average(), 0.0);

    DecimalSum wide;
    wide.add(1e300);
    wide.add(1e-300);
    wide.add(1e300);
    EXPECT_EQ(wide.sum(), 2e300);

    DecimalSum infinite;
    infinite.add(1.0);
    infinite.add(std::numeric_limits<double>::infinity());
    EXPECT_EQ(infinite.sum(), std::numeric_limits<double>::infinity());
}
