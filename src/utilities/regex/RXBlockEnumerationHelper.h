#pragma once

#include "utilities/regex/RegexEngine.h"

#include <memory>

enum RXBlockEnumerationOp {
    RXBlockEnumerationMatchOp = 1, // call a block per match
    RXBlockEnumerationReplaceOp = 2, // call a block per match and splice its result in
};

// One enumeration's private matcher: a clone of the cached expression set to a snapshot
// of the subject, so the engine's lock is free while blocks run and a block may change
// the string it enumerates.
class RXBlockEnumerationHelper {
public:
    ~RXBlockEnumerationHelper();
    RXBlockEnumerationHelper(const RXBlockEnumerationHelper&) = delete;
    RXBlockEnumerationHelper& operator=(const RXBlockEnumerationHelper&) = delete;

    // None when the pattern does not compile (`error` then holds why); an ICU failure
    // while cloning is left in `exception`.
    [[nodiscard]] static std::unique_ptr<RXBlockEnumerationHelper> initWithRegex(
        const QString& regex, RXRegexOptions options, const QString& string, RXRange range,
        platform::Error* error, std::optional<platform::Exception>& exception);

    RXCachedRegex cachedRegex;
    QString buffer; // the snapshot
    bool needToFreeBufferUniChar = false;

private:
    RXBlockEnumerationHelper() = default;
};

struct RXEnumerationOutcome {
    bool exists = false; // a replacement result was made
    QString replaced;
    qint64 callCount = -1;
    bool errorFree = false;
};

// Runs one block enumeration: resolves and checks the range and options, then calls the
// block once per match (or piece), building the replacement for the replace kind.
// Exactly one of the blocks is given, as the kind requires.
[[nodiscard]] RXEnumerationOutcome rx_performEnumerationUsingBlock(const RXCaller& caller,
    quint32 regexOp, const QString& regexString, RXRegexOptions options, const QString& subject,
    RXRange matchRange, RXBlockEnumerationOp blockEnumerationOp,
    RXRegexEnumerationOptions enumerationOptions, platform::Error* error,
    const RXMatchBlock* matchBlock, const RXReplaceBlock* replaceBlock);
