#include "platform/ui/MimeMessage.h"

#include "platform/ui/MailRecipient.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>

namespace platform::ui {

namespace {

constexpr int kBase64LineLength = 76;
const QByteArray kCrLf = "\r\n";
// Header lines are folded before they pass this length, as mail programs expect.
constexpr qsizetype kHeaderLineLength = 78;
// The longest word a folded line holds after its leading space, with room for a comma.
constexpr qsizetype kLongestWord = kHeaderLineLength - 2;
// The UTF-8 bytes one encoded word carries: with its base64 (56 characters) and the 12
// around it, it stays under the 75 an encoded word may have, and fits a line after
// "Subject: ".
constexpr qsizetype kEncodedWordBytes = 42;

bool isPlainAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

QString flatten(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text)
        result.append(c.unicode() < 0x20 || c.unicode() == 0x7F ? QChar(' ') : c);
    return result.simplified();
}

QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / kBase64LineLength * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += kBase64LineLength) {
        out += encoded.mid(i, kBase64LineLength);
        out += kCrLf;
    }
    return out;
}

// A file name parameter: plain when it can be, else RFC 2231 with UTF-8.
QByteArray fileNameParameter(const QString& key, const QString& name)
{
    QString clean = flatten(name);
    clean.remove('"').remove('\\');
    if (clean.isEmpty())
        clean = QStringLiteral("attachment");
    if (isPlainAscii(clean))
        return key.toLatin1() + "=\"" + clean.toLatin1() + "\"";
    return key.toLatin1() + "*=UTF-8''" + clean.toUtf8().toPercentEncoding();
}

QByteArray cleanMimeType(const QString& mimeType)
{
    const QString type = mimeType.trimmed().toLower();
    static const QRegularExpression valid(
        QStringLiteral("^[a-z0-9!#$&^_.+-]+/[a-z0-9!#$&^_.+-]+$"));
    return valid.match(type).hasMatch() ? type.toLatin1() : QByteArray("application/octet-stream");
}

QByteArray rfc5322Date(const QDateTime& date)
{
    const QLocale c = QLocale::c();
    const int offset = date.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? '-' : '+')
                             .arg(std::abs(offset) / 60, 2, 10, QChar('0'))
                             .arg(std::abs(offset) % 60, 2, 10, QChar('0'));
    return (c.toString(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")) + " " + zone).toLatin1();
}

// The text as RFC 2047 words, cut between whole characters, before a space where one is
// near. Readers join the words without the white space between them, so every space of
// the text stays inside a word.
QList<QByteArray> encodedWords(const QString& text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    const auto take = [&](qsizetype bytes) {
        words.append("=?UTF-8?B?" + chunk.left(bytes).toBase64() + "?=");
        chunk.remove(0, bytes);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            one += text.at(++i);
        const QByteArray bytes = one.toUtf8();
        while (chunk.size() + bytes.size() > kEncodedWordBytes) {
            const qsizetype space = chunk.lastIndexOf(' ');
            take(space > 0 ? space : chunk.size());
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        take(chunk.size());
    return words;
}

bool fitsALine(const QStringList& words)
{
    return std::all_of(words.cbegin(), words.cend(),
        [](const QString& word) { return word.size() <= kLongestWord; });
}

QList<QByteArray> latin1Words(const QStringList& words)
{
    QList<QByteArray> out;
    for (const QString& word : words)
        out.append(word.toLatin1());
    return out;
}

// Free text (a subject) as the words a header folds between: plain ASCII as it stands,
// anything else encoded.
QList<QByteArray> textWords(const QString& text)
{
    const QString clean = flatten(text);
    if (clean.isEmpty())
        return {};
    const QStringList words = clean.split(u' ');
    if (isPlainAscii(clean) && fitsALine(words))
        return latin1Words(words);
    return encodedWords(clean);
}

// A display name as header words: an ASCII name as it stands or quoted; in any other,
// the words a header may hold as they stand are kept so, and the runs between them are
// encoded.
QList<QByteArray> nameWords(const MailRecipient& recipient)
{
    const QString& name = recipient.name();
    if (isPlainAscii(name)) {
        const QStringList quoted = recipient.quotedName().split(u' ');
        if (fitsALine(quoted))
            return latin1Words(quoted);
    }
    QList<QByteArray> words;
    QStringList run;
    const auto encodeRun = [&] {
        if (!run.isEmpty())
            words += encodedWords(run.join(u' '));
        run.clear();
    };
    for (const QString& word : name.split(u' ')) {
        if (MailRecipient::isPlainWords(word) && word.size() <= kLongestWord) {
            encodeRun();
            words.append(word.toLatin1());
        } else {
            run.append(word);
        }
    }
    encodeRun();
    return words;
}

// The field and its words, folded between words where a line would grow too long.
QByteArray foldedHeader(const QByteArray& field, const QList<QByteArray>& words)
{
    QByteArray out = field + ":";
    qsizetype line = out.size();
    bool first = true;
    for (const QByteArray& word : words) {
        if (!first && line + 1 + word.size() > kHeaderLineLength) {
            out += kCrLf;
            line = 0;
        }
        out += ' ' + word;
        line += 1 + word.size();
        first = false;
    }
    return out + kCrLf;
}

// An address list: each recipient's words, a comma after all but the last.
QByteArray addressHeader(const QByteArray& field, const QStringList& list)
{
    QList<QByteArray> words;
    for (const QString& typed : list) {
        QList<QByteArray> own;
        if (const auto recipient = MailRecipient::fromText(typed)) {
            const QByteArray address = recipient->address().toUtf8();
            if (recipient->name().isEmpty()) {
                own.append(address);
            } else {
                own = nameWords(*recipient);
                own.append("<" + address + ">");
            }
        } else if (const QString clean = MimeMessage::cleanAddress(typed); !clean.isEmpty()) {
            // Not one recipient: kept at least to one entry of the list.
            for (const QString& part : clean.split(u' '))
                own.append(part.toUtf8());
        }
        if (own.isEmpty())
            continue;
        if (!words.isEmpty())
            words.last() += ',';
        words += own;
    }
    return foldedHeader(field, words);
}

} // namespace

QString MimeMessage::cleanAddress(const QString& address)
{
    return flatten(address).remove(',').remove(';');
}

QByteArray MimeMessage::toBytes() const
{
    const QByteArray boundary
        = "=_kivotab_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    QByteArray out;
    out += addressHeader("From", { from });
    if (!to.isEmpty())
        out += addressHeader("To", to);
    if (!cc.isEmpty())
        out += addressHeader("Cc", cc);
    if (!bcc.isEmpty())
        out += addressHeader("Bcc", bcc);
    out += foldedHeader("Subject", textWords(subject));
    out += "Date: " + rfc5322Date(date) + kCrLf;
    out += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1()
        + "@kivotab.local>" + kCrLf;
    out += "MIME-Version: 1.0" + kCrLf;
    out += "Content-Type: multipart/mixed;" + kCrLf + " boundary=\"" + boundary + "\"" + kCrLf;
    out += kCrLf;
    out += "This is a multi-part message in MIME format." + kCrLf;

    out += "--" + boundary + kCrLf;
    out += QByteArray("Content-Type: ") + (bodyIsHtml ? "text/html" : "text/plain")
        + "; charset=utf-8" + kCrLf;
    out += "Content-Transfer-Encoding: base64" + kCrLf + kCrLf;
    out += base64Lines(body.toUtf8());

    for (const Attachment& attachment : attachments) {
        out += "--" + boundary + kCrLf;
        out += "Content-Type: " + cleanMimeType(attachment.mimeType) + ";" + kCrLf + " "
            + fileNameParameter("name", attachment.fileName) + kCrLf;
        out += "Content-Disposition: attachment;" + kCrLf + " "
            + fileNameParameter("filename", attachment.fileName) + kCrLf;
        out += "Content-Transfer-Encoding: base64" + kCrLf + kCrLf;
        out += base64Lines(attachment.data);
    }
    out += "--" + boundary + "--" + kCrLf;
    return out;
}

} // namespace platform::ui
