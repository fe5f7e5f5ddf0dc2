#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>

// A span of UTF-16 units of a string: the same units QString counts, so surrogate pairs
// count as two.
struct RXRange {
    quint64 location = 0;
    quint64 length = 0;

    quint64 end() const { return location + length; }
    bool isNull() const;
    bool operator==(const RXRange& other) const = default;
};

// No range: where nothing matched, or a group took no part in a match.
inline constexpr quint64 RXNotFound = quint64(std::numeric_limits<qint64>::max());
// As a length: up to the end of the string.
inline constexpr quint64 RXRangeToEnd = std::numeric_limits<quint64>::max();
inline constexpr RXRange RXNullRange = { RXNotFound, 0 };
// The whole string, whatever its length.
inline constexpr RXRange RXWholeRange = { 0, RXRangeToEnd };

inline bool RXRange::isNull() const
{
    return *this == RXNullRange;
}

Q_DECLARE_METATYPE(RXRange)

// ICU's regular-expression flag word (UREGEX_CASE_INSENSITIVE, ...), handed to ICU as it
// is; 0 means none.
using RXRegexOptions = quint32;

// What one pass of the engine computes: the low four bits pick the operation, the flags
// above them modify it.
enum RXRegexOp : quint32 {
    RXNoOp = 0,
    RXSplitOp = 1,
    RXReplaceAllOp = 2,
    RXFirstRangeOp = 3,
    RXMatchedStringsOp = 4,
    RXAllCapturesOp = 5,
    RXCapturesArrayOp = 6,
    RXCaptureDictionaryOp = 7,
    RXCaptureDictionariesOp = 8,
    RXOpMask = 0x0F,
    RXMutableReplaceFlag = 0x10, // with RXReplaceAllOp: write the result back
    RXNestedArraysFlag = 0x20, // with RXAllCapturesOp: one list per match
};

// Flags of the block enumerations.
using RXRegexEnumerationOptions = quint64;
inline constexpr RXRegexEnumerationOptions RXRegexEnumerationNoOptions = 0;
// No strings are made; the block gets only ranges (its strings argument is null).
inline constexpr RXRegexEnumerationOptions RXRegexEnumerationCapturedStringsNotRequired = 0x200;
// Accepted for replacements; the returned text is owned by value, so it changes nothing.
inline constexpr RXRegexEnumerationOptions RXRegexEnumerationConsumeReplacement = 0x400;
// The strings handed to the block point into the enumerated text instead of copying it;
// they are valid only during that call.
inline constexpr RXRegexEnumerationOptions RXRegexEnumerationReuseCapturedStrings = 0x800;

// Called once per match (or piece between matches) with capturedCount entries: entry 0
// the whole match, then the groups. Setting *stop ends the enumeration after this call.
using RXMatchBlock = std::function<void(qint64 capturedCount, const QString* capturedStrings,
    const RXRange* capturedRanges, bool* stop)>;
// The same, returning the text that takes the match's place (an empty or null text drops
// the match).
using RXReplaceBlock = std::function<QString(qint64 capturedCount, const QString* capturedStrings,
    const RXRange* capturedRanges, bool* stop)>;

// The receiver named in exception reasons: "*** -[QString rangeOfRegex]: ...".
struct RXCaller {
    const char* className = nullptr;
    const char* selector = nullptr;
    bool isClass = false;
};
