#include "utilities/text/HTTP.h"

#include "utilities/regex/KivoRegex.h"
#include "utilities/text/KivoUtf8.h"

#include <QUrl>

namespace {

// Beyond letters and digits, what is left unescaped. The delimiters URLs allow
// (":/?#[]@!$&()*+,;=") are escaped too, so a value never splits an address; the ASCII
// apostrophe has always been left as it is.
const QByteArray kLeftAsIs = QByteArrayLiteral("-._~'");

const char kURLPattern[]
    = R"(\b(https?)://(?:(\S+?)(?::(\S+?))?@)?([a-zA-Z0-9\-.]+)(?::(\d+))?((?:/[a-zA-Z0-9\-._?,'+\&%$=~*!():@\\]*)+)?)";
const char* const kURLParts[] = { "protocol", "user", "password", "host", "port", "path" };

} // namespace

QString HTTP::urlEncodedString(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, kLeftAsIs));
}

std::optional<QString> HTTP::urlDecodedString(const QString& text)
{
    return KivoUtf8::stringWithUTF8Data(QByteArray::fromPercentEncoding(text.toUtf8()));
}

QVariantMap HTTP::SplitURL(const QString& text)
{
    // ICU's semantics, as every pattern of the system has: \b, \S and \d are Unicode-aware.
    static const QString pattern = QString::fromLatin1(kURLPattern);
    QVariantMap parts;
    if (!KivoRegex::isMatchedByRegex(text, pattern))
        return parts;
    for (int group = 1; group <= 6; ++group) {
        // A repeat over the same text is mostly answered from the engine's last match.
        if (const auto part = KivoRegex::stringByMatching(text, pattern, group))
            parts.insert(QString::fromLatin1(kURLParts[group - 1]), *part);
    }
    return parts;
}
