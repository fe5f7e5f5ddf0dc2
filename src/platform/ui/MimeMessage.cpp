#include "platform/ui/MimeMessage.h"

#include "platform/ui/MailRecipient.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUuid>

namespace platform::ui {

namespace {

constexpr int kBase64LineLength = 76;
const QByteArray kCrLf = "\r\n";

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

} // namespace

QByteArray MimeMessage::encodeHeaderText(const QString& text)
{
    const QString clean = flatten(text);
    if (isPlainAscii(clean))
        return clean.toLatin1();
    // Encoded words of at most 75 characters, split between whole characters.
    QByteArray out;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < clean.size(); ++i) {
        QString one(clean.at(i));
        if (clean.at(i).isHighSurrogate() && i + 1 < clean.size())
            one += clean.at(++i);
        const QByteArray bytes = one.toUtf8();
        if ((chunk.size() + bytes.size() + 2) / 3 * 4 > 45)
            flush();
        chunk += bytes;
    }
    flush();
    return out;
}

QString MimeMessage::cleanAddress(const QString& address)
{
    return flatten(address).remove(',').remove(';');
}

QByteArray MimeMessage::toBytes() const
{
    auto addressList = [](const QStringList& list) {
        QStringList clean;
        for (const QString& address : list) {
            // A recipient is written as one, its name quoted where need be; anything else
            // is at least kept to one line and one entry.
            const auto recipient = MailRecipient::fromText(address);
            const QString a = recipient ? flatten(recipient->headerText()) : cleanAddress(address);
            if (!a.isEmpty())
                clean.append(a);
        }
        return clean.join(", ").toUtf8();
    };
    const QByteArray boundary
        = "=_kivotab_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    QByteArray out;
    out += "From: " + encodeHeaderText(from) + kCrLf;
    if (!to.isEmpty())
        out += "To: " + addressList(to) + kCrLf;
    if (!cc.isEmpty())
        out += "Cc: " + addressList(cc) + kCrLf;
    if (!bcc.isEmpty())
        out += "Bcc: " + addressList(bcc) + kCrLf;
    out += "Subject: " + encodeHeaderText(subject) + kCrLf;
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
