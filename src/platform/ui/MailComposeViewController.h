#pragma once

#include "platform/Error.h"
#include "platform/ui/MimeMessage.h"
#include "platform/ui/NavigationController.h"

#include <functional>

class QLineEdit;
class QTextEdit;

namespace platform::ui {

class BarButtonItem;
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
// Send waits for a recipient, as a device's composer does: it is off while To is empty,
// and an address that is not one is named in an alert while nothing is written.
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
    // The Send button, and the To field the recipients are typed into.
    BarButtonItem* sendItem() const { return m_sendItem; }
    QLineEdit* toField() const { return m_to; }
    // Whether the text is one recipient (see MailRecipient): "ana@example.com", or with a
    // name, "Ana <ana@example.com>", quoted where it holds a comma.
    static bool isMailAddress(const QString& text);

    static const QString InvalidAddressTitle; // "Invalid Address"
    static const QString InvalidAddressMessage; // "“%1” is not a valid email address."

    void viewWillAppear(bool animated) override;

private:
    void finish(MailComposeResult result, const platform::Error& error);
    void buildForm();
    void showAttachments();
    // Send is on while To holds a recipient.
    void updateSendItem();
    // The addresses typed into To: (what the caller gave before the form is built).
    QStringList recipients() const;

    MailComposeViewControllerDelegate* m_delegate = nullptr;
    MimeMessage m_message;
    ViewController* m_form = nullptr;
    BarButtonItem* m_sendItem = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_subject = nullptr;
    QTextEdit* m_body = nullptr;
    Label* m_attachment = nullptr;
    QString m_lastSent;
    bool m_finished = false;
};

} // namespace platform::ui
