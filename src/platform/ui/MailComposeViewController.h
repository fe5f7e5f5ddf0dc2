#pragma once

#include "platform/Error.h"
#include "platform/ui/MimeMessage.h"
#include "platform/ui/NavigationController.h"

#include <functional>

class QLineEdit;
class QTextEdit;

namespace platform::ui {

class Label;
class MailComposeViewController;

enum class MailComposeResult { Cancelled = 0, Saved = 1, Sent = 2, Failed = 3 };

class MailComposeViewControllerDelegate {
public:
    virtual ~MailComposeViewControllerDelegate();
    // The delegate dismisses the composer.
    virtual void mailComposeControllerDidFinish(MailComposeViewController* controller,
        MailComposeResult result, const platform::Error& error)
        = 0;
};

// The mail composer: a compose screen (to, subject, body, attachments) in its own
// navigation bar. Send writes the message as an RFC 5322 file (".eml") into
// Documents/"Outbox" and reports "sent"; Cancel reports "cancelled". A failed write
// reports "failed" with the error. Without a delegate the composer dismisses itself.
class MailComposeViewController : public NavigationController {
    Q_OBJECT
public:
    explicit MailComposeViewController(QObject* parent = nullptr);
    ~MailComposeViewController() override;

    // A composer of the application's kind (see setFactory), or a plain one.
    static MailComposeViewController* create();
    // The application's own composer class registers itself here.
    static void setFactory(std::function<MailComposeViewController*()> factory);
    static bool canSendMail() { return true; }
    static QString outboxFolder();

    MailComposeViewControllerDelegate* mailComposeDelegate() const { return m_delegate; }
    void setMailComposeDelegate(MailComposeViewControllerDelegate* delegate)
    {
        m_delegate = delegate;
    }

    void setSubject(const QString& subject);
    void setToRecipients(const QStringList& recipients);
    void setCcRecipients(const QStringList& recipients);
    void setBccRecipients(const QStringList& recipients);
    void setMessageBody(const QString& body, bool isHTML);
    void addAttachmentData(
        const QByteArray& data, const QString& mimeType, const QString& fileName);

    // The message as the person has edited it.
    MimeMessage message() const;
    // What the buttons do.
    void send();
    void cancel();
    // The file the last send wrote.
    QString lastSentPath() const { return m_lastSent; }

    void viewWillAppear(bool animated) override;

private:
    void finish(MailComposeResult result, const platform::Error& error);
    void buildForm();
    void showAttachments();

    MailComposeViewControllerDelegate* m_delegate = nullptr;
    MimeMessage m_message;
    ViewController* m_form = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_subject = nullptr;
    QTextEdit* m_body = nullptr;
    Label* m_attachment = nullptr;
    QString m_lastSent;
    bool m_finished = false;
};

} // namespace platform::ui
