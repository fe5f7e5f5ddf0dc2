#include "utilities/regex/KivoRegex.h"
#include "utilities/regex/RXLowMemoryWarningObserver.h"
#include "utilities/regex/RegexAdditions.h"
#include "utilities/regex/RegexEngine.h"
#include "utilities/regex/RegexErrors.h"

#include "common/TestSupport.h"
#include "platform/NotificationCenter.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <unicode/uregex.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace KivoRegex;

namespace {

// Runs the call and returns the exception it raised (name and reason), failing if none.
template<typename Call> platform::Exception raised(Call&& call)
{
    try {
        call();
    } catch (const platform::Exception& exception) {
        return exception;
    }
    ADD_FAILURE() << "no exception was raised";
    return platform::Exception({}, {});
}

} // namespace

TEST(KivoRegex, MatchesRangesAndMatchedText)
{
    const QString text = QStringLiteral("order 66, row 7");
    EXPECT_TRUE(isMatchedByRegex(text, "\\d+"));
    EXPECT_FALSE(isMatchedByRegex(text, "x"));
    EXPECT_EQ(rangeOfRegex(text, "\\d+"), (RXRange { 6, 2 }));
    EXPECT_EQ(rangeOfRegex(text, "row (\\d)", 1), (RXRange { 14, 1 }));
    EXPECT_EQ(rangeOfRegex(text, "\\d+", RXRange { 8, 7 }), (RXRange { 14, 1 }));
    EXPECT_TRUE(rangeOfRegex(text, "(x)?row", 1).isNull());
    EXPECT_EQ(stringByMatching(text, "row (\\d)", 1), "7");
    EXPECT_EQ(stringByMatching(text, "(?i)ORDER"), "order");
    EXPECT_EQ(stringByMatching(text, "ORDER", UREGEX_CASE_INSENSITIVE, RXWholeRange, 0, nullptr),
        "order");

    // None when nothing matched, the empty text when the first match is empty.
    EXPECT_EQ(stringByMatching(text, "z+"), std::nullopt);
    const std::optional<QString> empty = stringByMatching(text, "z*");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_FALSE(empty->isNull());

    // A range reaching to the end from any location; one unit past the end raises.
    EXPECT_EQ(rangeOfRegex(text, "\\d+", RXRange { 10, RXRangeToEnd }), (RXRange { 14, 1 }));
    const platform::Exception outOfBounds = raised([&] {
        (void)isMatchedByRegex(text, "\\d", RXRange { 10, 6 });
    });
    EXPECT_EQ(outOfBounds.name(), platform::Exception::RangeError);
    EXPECT_EQ(
        outOfBounds.reason(), "*** -[QString isMatchedByRegex]: Range or index out of bounds.");
}

TEST(KivoRegex, CapturesWithGroupsThatTakeNoPart)
{
    const QString text = QStringLiteral("key=value; flag");
    EXPECT_EQ(captureCountForRegex("(a)(b(c))"), 3);
    EXPECT_EQ(captureCount(QStringLiteral("(?:a)(b)")), 1);

    // Group 2 takes no part: "" in the list, key absent from the dictionary.
    EXPECT_EQ(captureComponentsMatchedByRegex(text, "(\\w+)(?:=(\\w+))?"),
        QStringList({ "key=value", "key", "value" }));
    EXPECT_EQ(captureComponentsMatchedByRegex(text, "(flag)(=\\w+)?"),
        QStringList({ "flag", "flag", "" }));
    EXPECT_EQ(dictionaryByMatchingRegex(text, "(flag)(=\\w+)?", { { "name", 1 }, { "value", 2 } }),
        (QVariantMap { { "name", "flag" } }));
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(text, "(\\w+)(?:=(\\w+))?"),
        (QList<QStringList> { { "key=value", "key", "value" }, { "flag", "flag", "" } }));
    EXPECT_EQ(
        arrayOfDictionariesByMatchingRegex(text, "(\\w+)(?:=(\\w+))?", { { "k", 1 }, { "v", 2 } }),
        (QList<QVariantMap> { { { "k", "key" }, { "v", "value" } }, { { "k", "flag" } } }));
    EXPECT_EQ(
        componentsMatchedByRegex(text, "(\\w+)(?:=(\\w+))?", 2), QStringList({ "value", "" }));
    EXPECT_EQ(captureComponentsMatchedByRegex(text, "zzz"), QStringList());
    EXPECT_EQ(dictionaryByMatchingRegex(text, "zzz", { { "k", 0 } }), QVariantMap());
    // No keys at all is an empty list of keys, not a missing argument.
    EXPECT_EQ(dictionaryByMatchingRegex(text, "key", {}), QVariantMap());
    EXPECT_EQ(
        arrayOfDictionariesByMatchingRegex(text, "\\w+", {}), (QList<QVariantMap> { {}, {}, {} }));

    // Keys stop at a null key; bad capture numbers raise with the key named.
    EXPECT_EQ(
        dictionaryByMatchingRegex(text, "(\\w+)", { { "a", 1 }, { QString(), 0 }, { "b", 0 } }),
        (QVariantMap { { "a", "key" } }));
    const platform::Exception badCapture = raised([&] {
        (void)dictionaryByMatchingRegex(text, "(\\w+)", { { "a", 2 } });
    });
    EXPECT_EQ(badCapture.name(), platform::Exception::InvalidArgument);
    EXPECT_TRUE(badCapture.reason().endsWith(
        "The capture argument 2 (capture 1 of 1) for key 'a' is not valid."));
    const QString keys[] = { "a", QString() };
    const int captures[] = { 0, 1 };
    EXPECT_TRUE(raised([&] {
        (void)dictionaryByMatchingRegex(
            text, "(\\w+)", 0, RXWholeRange, nullptr, keys, captures, 2);
    })
                    .reason()
                    .endsWith("The capture key (key 2 of 2) is NULL."));
    EXPECT_TRUE(raised([&] { (void)componentsMatchedByRegex(text, "(\\w+)", 2); })
                    .reason()
                    .endsWith("The capture argument is not valid."));
}

TEST(KivoRegex, SplitEdgeCases)
{
    EXPECT_EQ(componentsSeparatedByRegex("a,b,,c,,", ","), QStringList({ "a", "b", "", "c" }));
    EXPECT_EQ(componentsSeparatedByRegex(",a,b", ","), QStringList({ "", "a", "b" }));
    EXPECT_EQ(componentsSeparatedByRegex("abc", ","), QStringList({ "abc" }));
    EXPECT_EQ(componentsSeparatedByRegex("", ","), QStringList());
    EXPECT_EQ(componentsSeparatedByRegex(",,,", ","), QStringList());
    // The separator's groups go between the pieces.
    EXPECT_EQ(
        componentsSeparatedByRegex("1-2+3", "([-+])"), QStringList({ "1", "-", "2", "+", "3" }));
    // A pattern that matches the empty string splits between characters, not before them.
    EXPECT_EQ(componentsSeparatedByRegex("abc", "x*"), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(componentsSeparatedByRegex("a  b c", "\\s*"), QStringList({ "a", "b", "c" }));
    // Only the range is split.
    EXPECT_EQ(
        componentsSeparatedByRegex("a,b,c,d", ",", RXRange { 2, 3 }), QStringList({ "b", "c" }));
}

TEST(KivoRegex, AllMatchesOfAnEmptyMatchingPattern)
{
    EXPECT_EQ(componentsMatchedByRegex("ab", "x*"), QStringList({ "", "", "" }));
    EXPECT_EQ(componentsMatchedByRegex("aab", "a*"), QStringList({ "aa", "", "" }));
    EXPECT_EQ(componentsMatchedByRegex("", "x*"), QStringList({ "" }));
    EXPECT_EQ(componentsMatchedByRegex("a1b22c333", "\\d+"), QStringList({ "1", "22", "333" }));
}

TEST(KivoRegex, ReplacementTemplates)
{
    const QString text = QStringLiteral("John Smith, Jane Doe");
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(text, "(\\w+) (\\w+)", "$2 $1"),
        "Smith John, Doe Jane");
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("price 5", "(\\d)", "\\$$1.00"), "price $5.00");
    // Only the replaced range comes back.
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("aaa-aaa", "a", "b", RXRange { 4, 3 }), "bbb");
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abc", "abc", ""), "");

    const QString unchanged = QStringLiteral("no digits");
    const std::optional<QString> copy = stringByReplacingOccurrencesOfRegex(unchanged, "\\d", "#");
    EXPECT_EQ(copy, unchanged);

    // Far longer than the first buffer estimate: the second pass takes the exact length.
    const QString longTemplate(500, QChar('x'));
    const std::optional<QString> grown
        = stringByReplacingOccurrencesOfRegex("a.b.c", "\\.", longTemplate);
    ASSERT_TRUE(grown.has_value());
    EXPECT_EQ(grown->size(), 3 + 2 * 500);
    EXPECT_TRUE(grown->startsWith("a" + longTemplate + "b"));

    // A reference to a group the pattern lacks is ICU's error, raised as such.
    const platform::Exception icuError
        = raised([] { (void)stringByReplacingOccurrencesOfRegex("ab", "(a)", "$5"); });
    EXPECT_EQ(icuError.name(), RXICURegexException);
    EXPECT_TRUE(icuError.reason().startsWith(
        "*** -[QString stringByReplacingOccurrencesOfRegex]: ICU regular expression error #"));

    EXPECT_EQ(
        raised([] { (void)stringByReplacingOccurrencesOfRegex("ab", "a", QString()); }).reason(),
        "*** -[QString stringByReplacingOccurrencesOfRegex]: The replacement string "
        "argument is NULL.");
}

TEST(KivoRegex, ARunawayMatchStopsAtTheTimeLimitWithICUsError)
{
    // Nested quantifiers backtrack through every way of splitting the "a"s: without a
    // limit this one runs for tens of seconds.
    const QString subject = QString(30, QChar('a')) + QStringLiteral("c");
    const auto started = std::chrono::steady_clock::now();
    const platform::Exception timedOut = raised([&] { (void)isMatchedByRegex(subject, "(a+)+b"); });
    EXPECT_EQ(timedOut.name(), RXICURegexException);
    EXPECT_EQ(timedOut.reason(),
        QStringLiteral("*** -[QString isMatchedByRegex]: ICU regular expression error #%1, "
                       "U_REGEX_TIME_OUT.")
            .arg(int(U_REGEX_TIME_OUT)));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));

    // Enumerations report it as their error.
    platform::Error error;
    const RXMatchBlock none = [](qint64, const QString*, const RXRange*, bool*) {};
    EXPECT_FALSE(
        enumerateStringsMatchedByRegex(subject, "(a+)+b", 0, RXWholeRange, &error, 0, none));
    EXPECT_EQ(error.domain(), RXICURegexErrorDomain);
    EXPECT_EQ(error.code(), U_REGEX_TIME_OUT);

    // The cached pattern still serves, and sane matching over a large text stays within
    // the bound.
    EXPECT_TRUE(isMatchedByRegex("xaab", "(a+)+b"));
    const QString large = QStringLiteral("abcdefgh ").repeated(500000);
    EXPECT_TRUE(isMatchedByRegex(large, "[a-h]+\\s*$"));
    EXPECT_EQ(componentsMatchedByRegex(large, "h ").value_or(QStringList()).size(), 500000);
}

TEST(KivoRegex, InPlaceReplacementKeepsTheRestAndOtherCopies)
{
    QString text = QStringLiteral("a1b2c3");
    text.detach();
    const QString shared = text;
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "\\d", "#", RXRange { 2, 2 }), 1);
    EXPECT_EQ(text, "a1b#c3");
    EXPECT_EQ(shared, "a1b2c3");

    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "z", "#"), 0);
    EXPECT_EQ(text, "a1b#c3");
    EXPECT_EQ(RegexAdditions::replaceOccurrencesOfRegex(text, "\\d", ""), 2);
    EXPECT_EQ(text, "ab#c");
    // The engine must not answer from what it knew of the string before the change.
    EXPECT_EQ(componentsMatchedByRegex(text, "\\w"), QStringList({ "a", "b", "c" }));

    platform::Error error;
    EXPECT_EQ(
        RegexAdditions::replaceOccurrencesOfRegex(text, "(", "x", 0, RXWholeRange, &error), -1);
    EXPECT_EQ(text, "ab#c");
    EXPECT_EQ(error.domain(), RXICURegexErrorDomain);
}

TEST(KivoRegex, NonBmpCharactersCountAsTwoUnits)
{
    const QString text = QString::fromUtf8("a\U0001F600b\U0001F600c");
    ASSERT_EQ(text.size(), 7);
    EXPECT_EQ(rangeOfRegex(text, QString::fromUtf8("\U0001F600")), (RXRange { 1, 2 }));
    EXPECT_EQ(rangeOfRegex(text, "b."), (RXRange { 3, 3 }));
    EXPECT_EQ(componentsMatchedByRegex(text, "."),
        QStringList(
            { "a", QString::fromUtf8("\U0001F600"), "b", QString::fromUtf8("\U0001F600"), "c" }));
    EXPECT_EQ(componentsSeparatedByRegex(text, "\\p{So}"), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(rangeOfRegex(text, "c", RXRange { 3, RXRangeToEnd }), (RXRange { 6, 1 }));
    // Empty matches step over a surrogate pair as one character.
    EXPECT_EQ(
        componentsMatchedByRegex(QString::fromUtf8("\U0001F600"), "x*"), QStringList({ "", "" }));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(text, "\\p{So}", "-"), "a-b-c");
}

TEST(KivoRegex, InvalidPatternGivesTheCompileError)
{
    platform::Error error;
    EXPECT_FALSE(isMatchedByRegex("abc", "a(b", 0, RXWholeRange, &error));
    EXPECT_EQ(error.domain(), "RXICURegexErrorDomain");
    EXPECT_EQ(error.code(), U_REGEX_MISMATCHED_PAREN);
    EXPECT_EQ(error.localizedDescription(), "There was an error compiling the regular expression.");
    const QVariantMap& info = error.userInfo();
    EXPECT_EQ(info.value("RXICURegexRegex"), "a(b");
    EXPECT_EQ(info.value("RXICURegexErrorName"), "U_REGEX_MISMATCHED_PAREN");
    EXPECT_TRUE(info.contains("RXICURegexLine"));
    EXPECT_TRUE(info.contains("RXICURegexOffset"));
    EXPECT_EQ(info.value("RXICURegexPreContext"), "a(b");
    EXPECT_EQ(info.value("RXICURegexPostContext"), "");
    EXPECT_EQ(error.localizedFailureReason(),
        QStringLiteral("The error U_REGEX_MISMATCHED_PAREN occurred at line %1, column %2: "
                       "a(b<<HERE>>")
            .arg(info.value("RXICURegexLine").toInt())
            .arg(info.value("RXICURegexOffset").toInt()));

    EXPECT_EQ(captureCountForRegex("[a"), -1);
    EXPECT_FALSE(isRegexValid("*"));
    EXPECT_TRUE(isRegexValid("a*"));
    EXPECT_EQ(stringByMatching("abc", "("), std::nullopt);
    EXPECT_EQ(componentsSeparatedByRegex("abc", ")"), std::nullopt);
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex("abc", "(", "x"), std::nullopt);
    EXPECT_TRUE(rangeOfRegex("abc", "(").isNull());

    // A successful call clears an error left from before.
    EXPECT_TRUE(isMatchedByRegex("abc", "b", 0, RXWholeRange, &error));
    EXPECT_TRUE(error.isNull());
}

TEST(KivoRegex, ArgumentExceptionsNameTheReceiverAndOperation)
{
    EXPECT_EQ(raised([] { (void)captureCountForRegex(QString()); }).reason(),
        "*** +[QString captureCountForRegex]: The regular expression argument is NULL.");
    const platform::Exception instance = raised([] { (void)isMatchedByRegex("abc", QString()); });
    EXPECT_EQ(instance.name(), platform::Exception::InvalidArgument);
    EXPECT_EQ(instance.reason(),
        "*** -[QString isMatchedByRegex]: The regular expression argument is NULL.");
}

TEST(RegexErrors, UserInfoAndDescriptions)
{
    RXErrorFacts facts;
    const platform::Error plain = rx_makeError(facts);
    EXPECT_EQ(plain.localizedDescription(), "No description of this error is available.");
    EXPECT_EQ(plain.userInfo().value("RXICURegexRegex"), "<NULL regex>");
    EXPECT_EQ(
        plain.userInfo().value("NSLocalizedFailureReason"), "The error U_ZERO_ERROR occurred.");

    facts.status = U_REGEX_RULE_SYNTAX;
    EXPECT_EQ(rx_makeError(facts).localizedDescription(),
        QStringLiteral("ICU regular expression error #%1, U_REGEX_RULE_SYNTAX.")
            .arg(int(U_REGEX_RULE_SYNTAX)));

    RXUserInfoPairs pairs;
    for (int i = 0; i < 100; ++i)
        pairs.append({ QStringLiteral("key%1").arg(i), i });
    EXPECT_EQ(rx_makeUserInfo(facts, pairs).size(), 62);

    const QVariantMap failure = rx_makeFailureDictionary("f", "file.cpp", 12, "broken");
    const platform::Exception assertion = raised([&] {
        rx_raiseDeferred({ "X", "y", true }, failure);
    });
    EXPECT_EQ(assertion.name(), platform::Exception::InternalInconsistency);
    EXPECT_EQ(assertion.reason(), "*** +[X y]: broken");
    EXPECT_EQ(rx_formatExceptionReason({}, "text"), "*** -[<NULL> :NULL:]: text");
}

TEST(KivoRegex, CacheKeepsOptionsApartAndSurvivesEviction)
{
    EXPECT_FALSE(isMatchedByRegex("ABC", "abc"));
    EXPECT_TRUE(isMatchedByRegex("ABC", "abc", UREGEX_CASE_INSENSITIVE, RXWholeRange, nullptr));
    EXPECT_FALSE(isMatchedByRegex("ABC", "abc"));

    // Many more patterns than one set's four ways, several falling into the same set,
    // alternated so lines are evicted and compiled again.
    QStringList sameSet;
    const quint64 wanted = rx_stringHash("p0") % 13;
    for (int i = 0; sameSet.size() < 6; ++i) {
        const QString pattern = QStringLiteral("p%1").arg(i);
        if (rx_stringHash(pattern) % 13 == wanted)
            sameSet.append(pattern);
    }
    for (int round = 0; round < 5; ++round) {
        for (const QString& pattern : sameSet) {
            const QString subject = "x" + pattern + "y";
            ASSERT_EQ(rangeOfRegex(subject, pattern), (RXRange { 1, quint64(pattern.size()) }));
            ASSERT_FALSE(isMatchedByRegex(subject, pattern + "z"));
        }
    }

    // After flushing, the next search sets the subject up afresh.
    QString subject = QStringLiteral("one two");
    subject.detach();
    EXPECT_EQ(rangeOfRegex(subject, "two"), (RXRange { 4, 3 }));
    flushCachedRegexData(subject);
    EXPECT_EQ(rangeOfRegex(subject, "two"), (RXRange { 4, 3 }));
    subject[4] = QChar('T');
    EXPECT_TRUE(rangeOfRegex(subject, "two").isNull());
    clearStringCache();
    EXPECT_EQ(rangeOfRegex(subject, "Two"), (RXRange { 4, 3 }));
}

TEST(KivoRegex, RawSubjectsAreReadFreshEachTime)
{
    QChar units[] = { QChar('a'), QChar('b'), QChar('c') };
    const QString raw = QString::fromRawData(units, 3);
    EXPECT_EQ(rangeOfRegex(raw, "b"), (RXRange { 1, 1 }));
    units[1] = QChar('x');
    // Same pointer, same length: the engine must not answer from the last search.
    EXPECT_TRUE(rangeOfRegex(raw, "b").isNull());
}

TEST(KivoRegex, LowMemoryWarningWaitsForTheLockInsteadOfBlocking)
{
    EXPECT_TRUE(isMatchedByRegex("abc", "b")); // registers the observer
    std::atomic<bool> locked { false };
    std::atomic<bool> release { false };
    std::thread holder([&] {
        std::lock_guard lock(rx_cacheSpinLock);
        locked = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    while (!locked)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Returns at once although another thread holds the lock; the retry runs later.
    platform::NotificationCenter::defaultCenter().post(
        RXLowMemoryWarningObserver::DidReceiveMemoryWarningNotification);
    release = true;
    holder.join();
    testsupport::processEvents(3 * RXLowMemoryWarningObserver::RetryDelayMs);
    EXPECT_TRUE(isMatchedByRegex("abc", "b"));
    EXPECT_EQ(stringByMatching("abc", "(c)", 1), "c");
}
