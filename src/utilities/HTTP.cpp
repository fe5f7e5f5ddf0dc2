#include "utilities/HTTP.h"

#include "utilities/KivoUtf8.h"

#include <QRegularExpression>
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
    static const QRegularExpression pattern(QString::fromLatin1(kURLPattern));
    QVariantMap parts;
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return parts;
    for (int group = 1; group <= 6; ++group) {
        if (match.capturedStart(group) >= 0)
            parts.insert(QString::fromLatin1(kURLParts[group - 1]), match.captured(group));
    }
    return parts;
}
