#include "utilities/regex/KivoRegex.h"
#include "utilities/regex/RegexAdditions.h"
#include "utilities/regex/RegexErrors.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace KivoRegex;

namespace {

struct Call {
    qint64 count;
    QStringList strings;
    QList<RXRange> ranges;
};

RXMatchBlock recorder(QList<Call>& calls, int stopAfter = -1)
{
    return [&calls, stopAfter](
               qint64 count, const QString* strings, const RXRange* ranges, bool* stop) {
        Call call { count, {}, {} };
        for (qint64 i = 0; i < count; ++i) {
            call.strings.append(strings ? strings[i] : QStringLiteral("<none>"));
            call.ranges.append(ranges[i]);
        }
        calls.append(call);
        if (calls.size() == stopAfter)
            *stop = true;
    };
}

} // namespace

TEST(RegexEnumeration, MatchesWithGroupsAndStop)
{
    QList<Call> calls;
    platform::Error error;
    EXPECT_TRUE(enumerateStringsMatchedByRegex(
        "k1=v1;k2=v2", "(\\w+)=(\\w+)", 0, RXWholeRange, &error, 0, recorder(calls)));
    // The error out-value is left alone when the enumeration succeeds.
    EXPECT_TRUE(error.isNull());
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].count, 3);
    EXPECT_EQ(calls[0].strings, QStringList({ "k1=v1", "k1", "v1" }));
    EXPECT_EQ(calls[1].ranges, (QList<RXRange> { { 6, 5 }, { 6, 2 }, { 9, 2 } }));

    calls.clear();
    EXPECT_TRUE(enumerateStringsMatchedByRegex(
        "a b c", "\\w", 0, RXWholeRange, nullptr, 0, recorder(calls, 1)));
    EXPECT_EQ(calls.size(), 1);

    // Stopping a replacement keeps the rest of the range as it was.
    int replacements = 0;
    const std::optional<QString> replaced = stringByReplacingOccurrencesOfRegex(
        "a b c", "\\w", [&](qint64, const QString* strings, const RXRange*, bool* stop) {
            ++replacements;
            *stop = true;
            return strings[0].toUpper();
        });
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(replaced, "A b c");
}

TEST(RegexEnumeration, PiecesBetweenSeparators)
{
    QList<Call> calls;
    EXPECT_TRUE(enumerateStringsSeparatedByRegex("a,b", ",", recorder(calls)));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].strings, QStringList({ "a" }));
    EXPECT_EQ(calls[1].count, 1);
    EXPECT_EQ(calls[1].strings, QStringList({ "b" }));

    calls.clear();
    EXPECT_TRUE(enumerateStringsSeparatedByRegex("a,,b,", ",", recorder(calls)));
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[1].strings, QStringList({ "" }));
    EXPECT_EQ(calls[1].ranges[0], (RXRange { 2, 0 }));
    EXPECT_EQ(calls[2].strings, QStringList({ "b" }));

    // A separator that matches the empty string splits between characters and loses none.
    for (const char* pattern : { "x*", "\\s*" }) {
        calls.clear();
        EXPECT_TRUE(enumerateStringsSeparatedByRegex(
            pattern[0] == 'x' ? "abc" : "a  b c", pattern, recorder(calls)));
        ASSERT_EQ(calls.size(), 3) << pattern;
        EXPECT_EQ(
            calls[0].strings + calls[1].strings + calls[2].strings, QStringList({ "a", "b", "c" }));
        EXPECT_EQ(calls[2].count, 1);
    }

    // The separator's group follows the piece it ends.
    calls.clear();
    EXPECT_TRUE(enumerateStringsSeparatedByRegex("1-2", "(-)", recorder(calls)));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].strings, QStringList({ "1", "-" }));
    EXPECT_EQ(calls[1].strings, QStringList({ "2" }));
}

TEST(RegexEnumeration, ReplacementBlocks)
{
    const auto drop = [](qint64, const QString*, const RXRange*, bool*) { return QString(); };
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("a1b22c", "\\d+", drop), "abc");
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abc", "\\d", drop), "abc");
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("x-1-y", "\\d", 0, RXRange { 1, 3 }, nullptr, 0,
                  [](qint64, const QString* s, const RXRange*, bool*) { return s[0] + s[0]; }),
        "-11-");

    QString text = QStringLiteral("no digits");
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "\\d", drop), 0);
    EXPECT_EQ(text, "no digits");

    text = QStringLiteral("w1 w2 w3");
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "w(\\d)",
                  [](qint64 count, const QString* s, const RXRange*, bool*) {
                      return count == 2 ? "<" + s[1] + ">" : QString();
                  }),
        3);
    EXPECT_EQ(text, "<1> <2> <3>");

    // A block that changes the receiver does not change what later calls see, and the
    // result is written once the enumeration has ended.
    text = QStringLiteral("aa-bb-cc");
    QStringList seen;
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "\\w+",
                  [&](qint64, const QString* s, const RXRange*, bool*) {
                      seen.append(s[0]);
                      text = QStringLiteral("changed");
                      return s[0].toUpper();
                  }),
        3);
    EXPECT_EQ(seen, QStringList({ "aa", "bb", "cc" }));
}

TEST(RegexEnumeration, OptionsForStrings)
{
    QList<Call> calls;
    EXPECT_TRUE(enumerateStringsMatchedByRegex("ab", "\\w", 0, RXWholeRange, nullptr,
        RXRegexEnumerationCapturedStringsNotRequired, recorder(calls)));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].strings, QStringList({ "<none>" }));
    EXPECT_EQ(calls[1].ranges[0], (RXRange { 1, 1 }));

    calls.clear();
    EXPECT_TRUE(enumerateStringsMatchedByRegex("xy zw", "(\\w)(\\w)", 0, RXWholeRange, nullptr,
        RXRegexEnumerationReuseCapturedStrings, recorder(calls)));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].strings, QStringList({ "zw", "z", "w" }));

    const auto reason = [](RXRegexEnumerationOptions options) {
        try {
            (void)enumerateStringsMatchedByRegex("ab", "a", 0, RXWholeRange, nullptr, options,
                [](qint64, const QString*, const RXRange*, bool*) {});
        } catch (const platform::Exception& exception) {
            return exception.reason();
        }
        return QString();
    };
    const QString invalid = QStringLiteral(
        "*** -[QString enumerateStringsMatchedByRegex]: The RXRegexEnumerationOptions argument "
        "is not valid.");
    EXPECT_EQ(reason(RXRegexEnumerationCapturedStringsNotRequired
                  | RXRegexEnumerationReuseCapturedStrings),
        invalid);
    EXPECT_EQ(reason(RXRegexEnumerationConsumeReplacement), invalid);
    EXPECT_EQ(reason(0x1), invalid);
}

TEST(RegexEnumeration, FailuresAndRanges)
{
    platform::Error error;
    int calls = 0;
    const RXMatchBlock count = [&](qint64, const QString*, const RXRange*, bool*) { ++calls; };
    EXPECT_FALSE(enumerateStringsMatchedByRegex("abc", "(", 0, RXWholeRange, &error, 0, count));
    EXPECT_EQ(error.domain(), RXICURegexErrorDomain);
    EXPECT_EQ(calls, 0);

    QString text = QStringLiteral("abc");
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "[", 0, RXWholeRange, nullptr, 0,
                  [](qint64, const QString*, const RXRange*, bool*) { return QString(); }),
        -1);
    EXPECT_EQ(text, "abc");

    EXPECT_THROW(
        (void)enumerateStringsMatchedByRegex("abc", "b", 0, RXRange { 2, 2 }, nullptr, 0, count),
        platform::Exception);
    EXPECT_TRUE(enumerateStringsMatchedByRegex(
        "abcb", "b", 0, RXRange { 2, RXRangeToEnd }, nullptr, 0, count));
    EXPECT_EQ(calls, 1);
}

// Several threads share the one cache (the test build runs under AddressSanitizer), and
// blocks use regular expressions while an enumeration is running.
TEST(RegexEnumeration, CacheSharedAcrossThreads)
{
    constexpr int Threads = 8;
    constexpr int Rounds = 300;
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([t, &failures] {
            const QString digits = QString::number(t * 7919);
            const QString subject = QStringLiteral("id-%1, name-%2; x").arg(digits).arg(t);
            const QString own = QStringLiteral("name-(%1)").arg(t);
            for (int round = 0; round < Rounds; ++round) {
                bool ok = stringByMatching(subject, "id-(\\d+)", 1) == digits
                    && stringByMatching(subject, own, 1) == QString::number(t)
                    && componentsSeparatedByRegex(subject, "[,;] ")->size() == 3
                    && stringByReplacingOccurrencesOfRegex(subject, "\\d", "#")->count('#')
                        == digits.size() + QString::number(t).size();
                int pieces = 0;
                ok = ok
                    && enumerateStringsSeparatedByRegex(subject, "[,;] ",
                        [&](qint64, const QString* s, const RXRange*, bool*) {
                            pieces += isMatchedByRegex(s[0], "\\w") ? 1 : 0;
                        })
                    && pieces == 3;
                QString mutableText = subject;
                ok = ok && RegexAdditions::replaceOccurrencesOfRegex(mutableText, "-", "+") == 2
                    && mutableText.count('+') == 2 && subject.count('-') == 2;
                if (!ok)
                    ++failures;
                if (round % 50 == 0 && t == 0)
                    clearStringCache();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}
