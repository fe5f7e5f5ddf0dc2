#pragma once

#include <QByteArray>
#include <QString>

namespace platform::ui {
class ViewController;
}

// Opens the mail composer with a recipient, a subject and a body or one attachment.
// The given screen becomes the composer's delegate when it is one (it hears the result
// and dismisses the composer); otherwise the composer dismisses itself. When mail cannot
// be sent, "Mail not Configured." is shown instead. Main thread.
class MailHelper {
public:
    MailHelper() = delete;

    static void sendEmailTo(const QString& to, const QString& subject, const QString& body,
        platform::ui::ViewController* viewController);
    // The body text as "data.csv" (UTF-8, text/csv), with a short note as the body.
    static void sendEmailToWithAttachment(const QString& to, const QString& subject,
        const QString& body, platform::ui::ViewController* viewController);
    // The file's contents as "debug.log" with the MIME type; body "Debug Info".
    static void sendEmailToWithFile(const QString& to, const QString& subject,
        const QString& filePath, platform::ui::ViewController* viewController, const QString& mime);
    // The data as the named file; empty body.
    static void sendEmailToWithFile(const QString& to, const QString& subject,
        const QByteArray& data, const QString& mime, const QString& fileName,
        platform::ui::ViewController* viewController);

    static const QString CsvFileName; // "data.csv"
    static const QString CsvMimeType; // "text/csv"
    static const QString DebugFileName; // "debug.log"
    static const QString DebugInfo; // "Debug Info"
};
