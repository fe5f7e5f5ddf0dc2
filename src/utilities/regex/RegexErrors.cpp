#include "utilities/regex/RegexErrors.h"

#include <QDebug>

#include <cstdio>
#include <cstdlib>

const QString RXICURegexErrorDomain = QStringLiteral("RXICURegexErrorDomain");
const QString RXRegexNullReason = QStringLiteral("The regular expression argument is NULL.");
const QString RXRangeReason = QStringLiteral("Range or index out of bounds.");
const QString RXStringTooLongReason = QStringLiteral("String length exceeds INT_MAX.");
const QString RXICURegexException = QStringLiteral("RXICURegexException");
const QString RXICURegexRegexErrorKey = QStringLiteral("RXICURegexRegex");
const QString RXICURegexRegexOptionsErrorKey = QStringLiteral("RXICURegexRegexOptions");
const QString RXICURegexErrorCodeErrorKey = QStringLiteral("RXICURegexErrorCode");
const QString RXICURegexErrorNameErrorKey = QStringLiteral("RXICURegexErrorName");
const QString RXICURegexSubjectStringErrorKey = QStringLiteral("RXICURegexSubjectString");
const QString RXICURegexSubjectRangeErrorKey = QStringLiteral("RXICURegexSubjectRange");
const QString RXICURegexReplacementStringErrorKey = QStringLiteral("RXICURegexReplacementString");
const QString RXICURegexReplacedStringErrorKey = QStringLiteral("RXICURegexReplacedString");
const QString RXICURegexReplacedCountErrorKey = QStringLiteral("RXICURegexReplacedCount");
const QString RXICURegexEnumerationOptionsErrorKey = QStringLiteral("RXICURegexEnumerationOptions");
const QString RXICURegexLineErrorKey = QStringLiteral("RXICURegexLine");
const QString RXICURegexOffsetErrorKey = QStringLiteral("RXICURegexOffset");
const QString RXICURegexPreContextErrorKey = QStringLiteral("RXICURegexPreContext");
const QString RXICURegexPostContextErrorKey = QStringLiteral("RXICURegexPostContext");

namespace {

constexpr qsizetype MaximumUserInfoEntries = 62;

const QString NullRegexText = QStringLiteral("<NULL regex>");
const QString ParseFailureReason
    = QStringLiteral("The error %1 occurred at line %2, column %3: %4<<HERE>>%5");
const QString FailureReason = QStringLiteral("The error %1 occurred.");
const QString NoDescription = QStringLiteral("No description of this error is available.");
const QString ICUErrorDescription = QStringLiteral("ICU regular expression error #%1, %2.");
const QString ReasonFormat = QStringLiteral("*** %1[%2 %3]: %4");
const QString NullReceiver = QStringLiteral("<NULL>");
const QString NullSelector = QStringLiteral(":NULL:");

const QString FailureDescriptionKey = QStringLiteral("description");
const QString FailureFunctionKey = QStringLiteral("function");
const QString FailureFileKey = QStringLiteral("file");
const QString FailureLineKey = QStringLiteral("line");
const QString FailureExceptionNameKey = QStringLiteral("exceptionName");

QString contextText(const UChar* units)
{
    qsizetype length = 0;
    while (length < U_PARSE_CONTEXT_LEN && units[length] != 0)
        ++length;
    return QString(reinterpret_cast<const QChar*>(units), length);
}

QString errorName(UErrorCode status)
{
    return QString::fromLatin1(u_errorName(status));
}

} // namespace

QVariantMap rx_makeUserInfo(const RXErrorFacts& facts, const RXUserInfoPairs& pairs)
{
    QVariantMap userInfo;
    userInfo.insert(
        RXICURegexRegexErrorKey, facts.regexString ? *facts.regexString : NullRegexText);
    userInfo.insert(RXICURegexRegexOptionsErrorKey, quint32(facts.options));
    userInfo.insert(RXICURegexErrorCodeErrorKey, qint32(facts.status));
    userInfo.insert(RXICURegexErrorNameErrorKey, errorName(facts.status));
    if (facts.subject)
        userInfo.insert(RXICURegexSubjectStringErrorKey, *facts.subject);
    if (facts.userInfoOptions & RXUserInfoSubjectRange)
        userInfo.insert(RXICURegexSubjectRangeErrorKey, QVariant::fromValue(facts.range));
    if (facts.replacementString)
        userInfo.insert(RXICURegexReplacementStringErrorKey, *facts.replacementString);
    if (facts.replacedString)
        userInfo.insert(RXICURegexReplacedStringErrorKey, *facts.replacedString);
    if (facts.userInfoOptions & RXUserInfoReplacedCount)
        userInfo.insert(RXICURegexReplacedCountErrorKey, facts.replacedCount);
    if (facts.userInfoOptions & RXUserInfoEnumerationOptions)
        userInfo.insert(RXICURegexEnumerationOptionsErrorKey, facts.enumerationOptions);

    QString reason;
    if (facts.parseError && facts.parseError->line != -1) {
        const QString before = contextText(facts.parseError->preContext);
        const QString after = contextText(facts.parseError->postContext);
        userInfo.insert(RXICURegexLineErrorKey, qint32(facts.parseError->line));
        userInfo.insert(RXICURegexOffsetErrorKey, qint32(facts.parseError->offset));
        userInfo.insert(RXICURegexPreContextErrorKey, before);
        userInfo.insert(RXICURegexPostContextErrorKey, after);
        reason = ParseFailureReason.arg(errorName(facts.status))
                     .arg(facts.parseError->line)
                     .arg(facts.parseError->offset)
                     .arg(before, after);
    } else {
        reason = FailureReason.arg(errorName(facts.status));
    }
    userInfo.insert(platform::Error::LocalizedFailureReasonKey, reason);

    for (const auto& [key, object] : pairs) {
        if (key.isNull() || !object.isValid() || userInfo.size() >= MaximumUserInfoEntries)
            break;
        userInfo.insert(key, object);
    }
    return userInfo;
}

platform::Error rx_makeError(
    const RXErrorFacts& facts, const QString& description, const RXUserInfoPairs& pairs)
{
    QString text = description;
    if (text.isNull()) {
        text = facts.status == U_ZERO_ERROR
            ? NoDescription
            : ICUErrorDescription.arg(int(facts.status)).arg(errorName(facts.status));
    }
    QVariantMap userInfo = rx_makeUserInfo(facts, pairs);
    userInfo.insert(platform::Error::LocalizedDescriptionKey, text);
    return platform::Error(RXICURegexErrorDomain, facts.status, userInfo);
}

platform::Exception rx_makeICUException(
    const QString* regexString, RXRegexOptions options, UErrorCode status)
{
    RXErrorFacts facts;
    facts.regexString = regexString;
    facts.options = options;
    facts.status = status;
    return platform::Exception(RXICURegexException,
        ICUErrorDescription.arg(int(status)).arg(errorName(status)), rx_makeUserInfo(facts));
}

QString rx_formatExceptionReason(const RXCaller& caller, const QString& text)
{
    return ReasonFormat.arg(caller.isClass ? QChar('+') : QChar('-'))
        .arg(caller.className ? QString::fromLatin1(caller.className) : NullReceiver,
            caller.selector ? QString::fromLatin1(caller.selector) : NullSelector, text);
}

QVariantMap rx_makeFailureDictionary(
    const char* function, const char* file, int line, const QString& description)
{
    return {
        { FailureDescriptionKey, description },
        { FailureFunctionKey, QString::fromLatin1(function) },
        { FailureFileKey, QString::fromLocal8Bit(file) },
        { FailureLineKey, line },
        { FailureExceptionNameKey, platform::Exception::InternalInconsistency },
    };
}

void rx_raiseDeferred(const RXCaller& caller, const platform::Exception& exception)
{
    throw platform::Exception(exception.name(),
        rx_formatExceptionReason(caller, exception.reason()), exception.userInfo());
}

void rx_raiseDeferred(const RXCaller& caller, const QVariantMap& failure)
{
    for (const QString& key :
        { FailureFunctionKey, FailureFileKey, FailureDescriptionKey, FailureLineKey }) {
        if (!failure.contains(key)) {
            std::fprintf(stderr, "%s:%d: Invalid parameter not satisfying: %s\n", __FILE__,
                __LINE__, "the failure names its function, file, line and description");
            std::abort();
        }
    }
    const QString function = failure.value(FailureFunctionKey).toString();
    const QString file = failure.value(FailureFileKey).toString();
    const int line = failure.value(FailureLineKey).toInt();
    // As a failed assertion: logged with where it was found, then raised.
    qWarning().noquote()
        << QStringLiteral("*** Assertion failure in %1, %2:%3").arg(function, file).arg(line);
    throw platform::Exception(platform::Exception::InternalInconsistency,
        rx_formatExceptionReason(caller, failure.value(FailureDescriptionKey).toString()), failure);
}
