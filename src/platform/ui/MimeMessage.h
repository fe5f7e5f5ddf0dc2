#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace platform::ui {

// An RFC 5322 message with MIME parts: a plain-text body and any number of attachments
// (base64). Header texts are made safe: line breaks cannot start a new header, non-ASCII
// text is encoded (RFC 2047 words, RFC 2231 file names), and long headers are folded
// between words, recipients whole.
class MimeMessage {
public:
    struct Attachment {
        QByteArray data;
        QString mimeType;
        QString fileName;
    };

    QString from = QStringLiteral("Kivotab <kivotab@localhost>");
    QStringList to;
    QStringList cc;
    QStringList bcc;
    QString subject;
    QString body;
    bool bodyIsHtml = false;
    QList<Attachment> attachments;
    QDateTime date = QDateTime::currentDateTime();

    // The whole message, lines ended by CR LF.
    QByteArray toBytes() const;

    // Keeps one address: line breaks and control characters removed.
    static QString cleanAddress(const QString& address);
};

} // namespace platform::ui
