#pragma once

#include "utilities/regex/RegexTypes.h"

#include "platform/Error.h"
#include "platform/Exception.h"

#include <QList>
#include <QPair>
#include <QVariantMap>

#include <limits>

#include <unicode/parseerr.h>
#include <unicode/utypes.h>

// How the regular-expression layer reports failures: errors in RXICURegexErrorDomain,
// exceptions named RXICURegexException for ICU failures, and exception reasons that name
// the receiver and the operation.

extern const QString RXICURegexErrorDomain; // "RXICURegexErrorDomain"
extern const QString RXICURegexException; // "RXICURegexException"
extern const QString RXICURegexRegexErrorKey; // "RXICURegexRegex"
extern const QString RXICURegexRegexOptionsErrorKey;
extern const QString RXICURegexErrorCodeErrorKey;
extern const QString RXICURegexErrorNameErrorKey;
extern const QString RXICURegexSubjectStringErrorKey;
extern const QString RXICURegexSubjectRangeErrorKey;
extern const QString RXICURegexReplacementStringErrorKey;
extern const QString RXICURegexReplacedStringErrorKey;
extern const QString RXICURegexReplacedCountErrorKey;
extern const QString RXICURegexEnumerationOptionsErrorKey;
extern const QString RXICURegexLineErrorKey;
extern const QString RXICURegexOffsetErrorKey;
extern const QString RXICURegexPreContextErrorKey;
extern const QString RXICURegexPostContextErrorKey;

// The largest length ICU takes, and the reasons both the engine and block enumeration give.
inline constexpr quint64 RXIntMax = quint64(std::numeric_limits<int32_t>::max());
extern const QString RXRegexNullReason;
extern const QString RXRangeReason;
extern const QString RXStringTooLongReason;

// Which optional facts go into a user info.
enum RXUserInfoOption : quint32 {
    RXUserInfoNone = 0,
    RXUserInfoSubjectRange = 1,
    RXUserInfoReplacedCount = 2,
    RXUserInfoEnumerationOptions = 4,
};

// The facts of one failure; absent texts are null pointers.
struct RXErrorFacts {
    quint32 userInfoOptions = RXUserInfoNone;
    const QString* regexString = nullptr;
    RXRegexOptions options = 0;
    const UParseError* parseError = nullptr;
    UErrorCode status = U_ZERO_ERROR;
    const QString* subject = nullptr;
    RXRange range = RXNullRange;
    const QString* replacementString = nullptr;
    const QString* replacedString = nullptr;
    qint64 replacedCount = -1;
    RXRegexEnumerationOptions enumerationOptions = 0;
};

using RXUserInfoPairs = QList<QPair<QString, QVariant>>;

// Every present fact, the parse position with "<<HERE>>" in the failure reason when the
// pattern did not compile, then the caller's pairs (at most 62 entries in all).
QVariantMap rx_makeUserInfo(const RXErrorFacts& facts, const RXUserInfoPairs& pairs = {});
platform::Error rx_makeError(
    const RXErrorFacts& facts, const QString& description = {}, const RXUserInfoPairs& pairs = {});
// Not raised: handed to rx_raiseDeferred once the engine's lock is released.
platform::Exception rx_makeICUException(
    const QString* regexString, RXRegexOptions options, UErrorCode status);
// "*** -[Class operation]: text", '+' for class operations.
QString rx_formatExceptionReason(const RXCaller& caller, const QString& text);
// An internal failure found while the lock was held, reported after it is released.
QVariantMap rx_makeFailureDictionary(
    const char* function, const char* file, int line, const QString& description);
// Raises the prepared exception with its reason prefixed by the caller.
[[noreturn]] void rx_raiseDeferred(const RXCaller& caller, const platform::Exception& exception);
// Reports an internal failure the way a failed assertion is reported.
[[noreturn]] void rx_raiseDeferred(const RXCaller& caller, const QVariantMap& failure);
