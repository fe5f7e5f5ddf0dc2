#include "common/TestSupport.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/MailComposeViewController.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

struct Recorder : MailComposeViewControllerDelegate {
    QList<MailComposeResult> results;
    void mailComposeControllerDidFinish(MailComposeViewController* controller,
        MailComposeResult result, const platform::Error&) override
    {
        results << result;
        controller->dismissViewController(false);
    }
};

// Python's own mail parser reads the file back and prints what a mail client would show.
const char* kParser = R"(
import sys, email
from email import policy
with open(sys.argv[1], 'rb') as f:
    m = email.message_from_binary_file(f, policy=policy.default)
print('TO=' + str(m['To']))
print('SUBJECT=' + str(m['Subject']))
print('MULTIPART=' + str(m.is_multipart()))
print('DEFECTS=' + str(len(m.defects)))
for part in m.walk():
    if part.is_multipart():
        continue
    if part.get_filename():
        data = part.get_payload(decode=True)
        print('ATTACHMENT=%s|%s|%d|%s' % (part.get_filename(), part.get_content_type(), len(data), data.decode('utf-8')))
    else:
        print('BODY=' + part.get_content().strip())
)";

// The recipients of the To: header as a mail client reads them, and what it found wrong.
const char* kRecipientsParser = R"(
import sys, email
from email import policy
with open(sys.argv[1], 'rb') as f:
    m = email.message_from_binary_file(f, policy=policy.default)
to = m['To']
for a in to.addresses:
    print('ADDRESS=%s|%s' % (a.display_name, a.addr_spec))
print('DEFECTS=%d' % (len(m.defects) + len(to.defects)))
)";

} // namespace

TEST(MailCompose, SendWritesAMessageThatAMailParserReads)
{
    Animation::setInstant(true);
    auto* root = new ViewController();
    Application::shared().setRootViewController(root);
    Application::shared().makeKeyAndVisible();

    Recorder recorder;
    QPointer<MailComposeViewController> composer = new MailComposeViewController();
    composer->setMailComposeDelegate(&recorder);
    composer->setSubject(QStringLiteral("Überweisung: März\r\nBcc: evil@example.com"));
    composer->setToRecipients({ "ana@example.com" });
    composer->setMessageBody("Please find the attached csv file.", false);
    composer->addAttachmentData(
        QStringLiteral("Name,Wert\nÄpfel,3\n").toUtf8(), "text/csv", "data.csv");
    root->presentViewController(composer, false);
    testsupport::processEvents(30);
    const QImage shot = Application::shared().keyWindow()->snapshot();
    shot.save(testsupport::outputPath("mail-composer.png"));

    composer->send();
    ASSERT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));
    const QString path = composer->lastSentPath();
    EXPECT_TRUE(path.startsWith(MailComposeViewController::outboxFolder()));
    EXPECT_TRUE(path.endsWith(".eml"));

    QFile script(testsupport::homePath() + "/parse.py");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(kParser);
    script.close();
    int exitCode = -1;
    const QString out = QString::fromUtf8(
        testsupport::runTool("python3", { script.fileName(), path }, {}, &exitCode));
    ASSERT_EQ(exitCode, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("TO=ana@example.com\n"));
    // The line break in the subject could not start a header of its own.
    EXPECT_TRUE(out.contains(QStringLiteral("SUBJECT=Überweisung: März Bcc: evil@example.com\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains("MULTIPART=True\n"));
    EXPECT_TRUE(out.contains("DEFECTS=0\n"));
    EXPECT_TRUE(out.contains("BODY=Please find the attached csv file.\n"));
    EXPECT_TRUE(
        out.contains(QStringLiteral("ATTACHMENT=data.csv|text/csv|19|Name,Wert\nÄpfel,3\n")))
        << out.toStdString();

    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_FALSE(bytes.contains("\nBcc:"));
    for (const QByteArray& line : bytes.split('\n'))
        EXPECT_LE(line.size(), 78);
    Application::shared().reset();
    delete root;
}

TEST(MailCompose, CancelReportsCancelledAndWritesNothing)
{
    Animation::setInstant(true);
    Recorder recorder;
    const QDir outbox(MailComposeViewController::outboxFolder());
    const auto before = outbox.entryList(QDir::Files).size();
    MailComposeViewController composer;
    composer.setMailComposeDelegate(&recorder);
    composer.cancel();
    composer.cancel(); // reported once
    EXPECT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Cancelled }));
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before);
}

// As a device's composer: Send waits for a recipient, and an address that is not one is
// named, with nothing written either way.
TEST(MailCompose, SendWaitsForARecipientAndNamesAnAddressThatIsNotOne)
{
    Animation::setInstant(true);
    Recorder recorder;
    const QDir outbox(MailComposeViewController::outboxFolder());
    const auto before = outbox.entryList(QDir::Files).size();
    MailComposeViewController composer;
    composer.setMailComposeDelegate(&recorder);
    composer.setSubject(QStringLiteral("Books"));
    ASSERT_NE(composer.sendItem(), nullptr);
    ASSERT_NE(composer.toField(), nullptr);
    EXPECT_FALSE(composer.sendItem()->isEnabled());
    composer.send();
    EXPECT_TRUE(recorder.results.isEmpty());
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before);

    // Separators alone are no recipient.
    composer.toField()->setText(QStringLiteral(" , ; "));
    EXPECT_FALSE(composer.sendItem()->isEnabled());
    composer.toField()->setText(QStringLiteral("ana@example.com, bob"));
    EXPECT_TRUE(composer.sendItem()->isEnabled());
    composer.send();
    EXPECT_TRUE(recorder.results.isEmpty());
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before);
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->title(), "Invalid Address");
    EXPECT_EQ(
        alerts.first()->message(), QStringLiteral("\u201cbob\u201d is not a valid email address."));
    alerts.first()->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);

    composer.toField()->setText(QStringLiteral("ana@example.com; Bob <bob@example.org>"));
    composer.send();
    EXPECT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before + 1);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    composer.toField()->clear();
    EXPECT_FALSE(composer.sendItem()->isEnabled());
}

TEST(MailCompose, AddressesAreToldFromWhatIsNotOne)
{
    for (const char* address : { "ana@example.com", "a.b+c@mail.example.co.uk",
             "Ana <ana@example.com>", "  ana@example.com  ", "jörg@münchen.de" })
        EXPECT_TRUE(MailComposeViewController::isMailAddress(QString::fromUtf8(address)))
            << address;
    for (const char* address :
        { "", "bob", "@example.com", "ana@", "ana@example", "ana@@example.com",
            "ana example@mail.com", "ana@example..com", "ana@.example.com", "ana@example.com.",
            "Ana <ana@example>", "Ana <>", "ana@exa mple.com", "<ana@example.com" })
        EXPECT_FALSE(MailComposeViewController::isMailAddress(QString::fromUtf8(address)))
            << address;
}

// A recipient is one address, with a name when one is given; a name holding a comma is
// quoted. More than one address, or a name with what only a quoted one may hold, is no
// recipient.
TEST(MailCompose, ARecipientIsOneAddressWithAnOptionalName)
{
    for (const char* address : { "<ana@example.com>", "\"Doe, Ana\" <ana@example.com>",
             "\"Ana \\\"Al\\\" <Lee>\" <ana@example.com>", "Re: Ana <ana@example.com>",
             "Ana \"Al\" Lee <ana@example.com>" })
        EXPECT_TRUE(MailComposeViewController::isMailAddress(QString::fromUtf8(address)))
            << address;
    for (const char* address : { "x <a@b.c> <d@e.f>", "ana@example.com <bob@example.org>",
             "Ana <ana@example.com> <bob@example.org>", "\"Doe, Ana <ana@example.com>",
             "Ana> <ana@example.com>", "Ana \\ Lee <ana@example.com>",
             "\"Ana\" <ana@example.com> Lee" })
        EXPECT_FALSE(MailComposeViewController::isMailAddress(QString::fromUtf8(address)))
            << address;

    Animation::setInstant(true);
    Recorder recorder;
    const QDir outbox(MailComposeViewController::outboxFolder());
    const auto before = outbox.entryList(QDir::Files).size();
    MailComposeViewController composer;
    composer.setMailComposeDelegate(&recorder);
    ASSERT_NE(composer.toField(), nullptr);
    composer.toField()->setText(QStringLiteral("ana@example.com, x <a@b.c> <d@e.f>"));
    composer.send();
    EXPECT_TRUE(recorder.results.isEmpty());
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before);
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->message(),
        QStringLiteral("\u201cx <a@b.c> <d@e.f>\u201d is not a valid email address."));
    alerts.first()->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);

    // Commas and semicolons inside quotes belong to the name; a name a header would read
    // otherwise is written quoted.
    composer.toField()->setText(QStringLiteral("\"Doe, Ana\" <ana@example.com>; "
                                               "\"Lee; Bo\" <bo@example.org>, "
                                               "cy@example.net,Re: Di <di@example.com>, "
                                               "\"Al \\\"Bo\\\"\" <al@example.com>"));
    composer.send();
    ASSERT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));
    QFile script(testsupport::homePath() + "/recipients.py");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(kRecipientsParser);
    script.close();
    int exitCode = -1;
    const QString out = QString::fromUtf8(testsupport::runTool(
        "python3", { script.fileName(), composer.lastSentPath() }, {}, &exitCode));
    ASSERT_EQ(exitCode, 0) << out.toStdString();
    EXPECT_EQ(out,
        "ADDRESS=Doe, Ana|ana@example.com\n"
        "ADDRESS=Lee; Bo|bo@example.org\n"
        "ADDRESS=|cy@example.net\n"
        "ADDRESS=Re: Di|di@example.com\n"
        "ADDRESS=Al \"Bo\"|al@example.com\n"
        "DEFECTS=0\n");
}
