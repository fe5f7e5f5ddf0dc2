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
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>

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

// Every recipient of To: and Cc: and the subject as Python's mail parser reads them, what
// it found wrong, and To: decoded by the package's RFC 2047 header decoder.
const char* kAddressListsParser = R"(
import re, sys, email
from email import policy
from email.header import decode_header, make_header
sys.stdout.reconfigure(encoding='utf-8', errors='backslashreplace')
with open(sys.argv[1], 'rb') as f:
    raw = f.read()
m = email.message_from_bytes(raw, policy=policy.default)
defects = len(m.defects)
for field in ('To', 'Cc'):
    header = m[field]
    if header is None:
        continue
    defects += len(header.defects)
    for a in header.addresses:
        print('%s=%s|%s' % (field.upper(), a.display_name, a.addr_spec))
print('SUBJECT=' + str(m['Subject']))
folded = email.message_from_bytes(raw, policy=policy.compat32)['To']
print('DECODED=' + str(make_header(decode_header(re.sub(r'\r?\n', '', folded)))))
print('DEFECTS=%d' % defects)
)";

struct ReadBack {
    QStringList to; // "name|address"
    QStringList cc;
    QString subject;
    QString decodedTo;
    QString defects;
};

ReadBack readBack(const QString& path)
{
    QFile script(testsupport::homePath() + "/address-lists.py");
    if (!script.exists() && script.open(QIODevice::WriteOnly)) {
        script.write(kAddressListsParser);
        script.close();
    }
    int exitCode = -1;
    const QString out = QString::fromUtf8(
        testsupport::runTool("python3", { script.fileName(), path }, {}, &exitCode));
    ReadBack read;
    if (exitCode != 0) {
        read.defects = out;
        return read;
    }
    for (const QString& line : out.split('\n')) {
        if (line.startsWith("TO="))
            read.to.append(line.mid(3));
        else if (line.startsWith("CC="))
            read.cc.append(line.mid(3));
        else if (line.startsWith("SUBJECT="))
            read.subject = line.mid(8);
        else if (line.startsWith("DECODED="))
            read.decodedTo = line.mid(8);
        else if (line.startsWith("DEFECTS="))
            read.defects = line.mid(8);
    }
    return read;
}

// The header lines of the written message, without their line ends; empty when the file
// cannot be read or its lines do not end in CR LF.
QList<QByteArray> headerLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return {};
    return bytes.left(end).split('\n');
}

// The lines a mail program accepts: within 78 characters (998 at most), ASCII only.
::testing::AssertionResult withinLimits(const QList<QByteArray>& lines)
{
    if (lines.isEmpty())
        return ::testing::AssertionFailure() << "no header";
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > 78)
            return ::testing::AssertionFailure()
                << line.size() << " characters: " << line.left(100).constData();
        for (const char c : line)
            if (static_cast<unsigned char>(c) > 0x7E)
                return ::testing::AssertionFailure() << "not ASCII: " << line.constData();
    }
    return ::testing::AssertionSuccess();
}

void dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
}

// A composer whose results are kept, for what it writes into the headers.
struct MailHeaders : ::testing::Test {
    void SetUp() override
    {
        Animation::setInstant(true);
        composer.setMailComposeDelegate(&recorder);
        ASSERT_NE(composer.toField(), nullptr);
    }

    Recorder recorder;
    MailComposeViewController composer;
};

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
    const ReadBack read = readBack(composer.lastSentPath());
    EXPECT_EQ(read.defects, "0");
    EXPECT_EQ(read.to,
        QStringList({ "Doe, Ana|ana@example.com", "Lee; Bo|bo@example.org", "|cy@example.net",
            "Re: Di|di@example.com", "Al \"Bo\"|al@example.com" }));
}

// Hundreds of recipients, as a list pasted into To: or given for Cc:, fold between
// recipients into lines a mail program takes, and each comes back whole; so does a long
// subject, between its words.
TEST_F(MailHeaders, LongRecipientListsAndSubjectsFoldBetweenWords)
{
    QStringList typed;
    QStringList expectedTo;
    for (int i = 0; i < 400; ++i) {
        const QString address = QStringLiteral("member.%1.of.the.club@mail.example.org").arg(i);
        switch (i % 3) {
        case 0:
            typed << address;
            expectedTo << "|" + address;
            break;
        case 1:
            typed << QStringLiteral("Ana Lee %1 <%2>").arg(i).arg(address);
            expectedTo << QStringLiteral("Ana Lee %1|%2").arg(i).arg(address);
            break;
        default:
            typed << QStringLiteral("\"Doe, Ana Maria of the long name %1\" <%2>")
                         .arg(i)
                         .arg(address);
            expectedTo
                << QStringLiteral("Doe, Ana Maria of the long name %1|%2").arg(i).arg(address);
        }
    }
    QStringList cc;
    QStringList expectedCc;
    for (int i = 0; i < 100; ++i) {
        cc << QStringLiteral("Bo %1 <copy.%1@example.net>").arg(i);
        expectedCc << QStringLiteral("Bo %1|copy.%1@example.net").arg(i);
    }
    QStringList parts;
    for (int i = 1; i <= 40; ++i)
        parts << QStringLiteral("Minutes of the annual meeting, part %1.").arg(i);
    const QString subject = parts.join(' ');
    composer.toField()->setText(typed.join(", "));
    composer.setCcRecipients(cc);
    composer.setSubject(subject);
    composer.send();
    ASSERT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));

    const QList<QByteArray> lines = headerLines(composer.lastSentPath());
    EXPECT_TRUE(withinLimits(lines));
    // Folded, and never inside an address.
    EXPECT_GT(lines.size(), 300);
    for (const QString& recipient : expectedTo + expectedCc) {
        const QByteArray address = recipient.section('|', 1).toLatin1();
        EXPECT_TRUE(std::any_of(lines.cbegin(), lines.cend(), [&](const QByteArray& line) {
            return line.contains(address);
        })) << address.constData();
    }
    const ReadBack read = readBack(composer.lastSentPath());
    EXPECT_EQ(read.defects, "0");
    EXPECT_EQ(read.to, expectedTo);
    EXPECT_EQ(read.cc, expectedCc);
    EXPECT_EQ(read.subject, subject);
}

// A name beyond ASCII is written as RFC 2047 encoded words of at most 75 characters, a
// long one in several; words a header holds as they stand are kept so. So is a subject
// with a word too long for a line.
TEST_F(MailHeaders, NamesBeyondAsciiAreWrittenAsEncodedWords)
{
    const QString greek
        = QStringLiteral("Αλέξανδρος Παπαδόπουλος Κωνσταντινίδης Αθανασίου του Γεωργίου");
    const QList<std::pair<QString, QString>> recipients = {
        { QStringLiteral("José Müller"), QStringLiteral("jose@example.com") },
        { QStringLiteral("Müller, José"), QStringLiteral("jm@example.com") },
        { QStringLiteral("Ana Lee-Søndergaard"), QStringLiteral("ana@example.dk") },
        { QStringLiteral("山田 太郎"), QStringLiteral("taro@example.jp") },
        { QStringLiteral("Maria José Gonçalves da Conceição Müller-Lüdenscheidt von "
                         "Überlingen-Östergaard"),
            QStringLiteral("maria@example.pt") },
        { QStringLiteral("Zoë \"Zee\" (Ångström) 🙂"), QStringLiteral("zoe@example.se") },
        { greek, QStringLiteral("alex@example.gr") },
    };
    QStringList typed;
    for (const auto& [name, address] : recipients) {
        QString quoted = name;
        quoted.replace("\"", "\\\"");
        typed << QStringLiteral("\"%1\" <%2>").arg(quoted, address);
    }
    const QString subject = QStringLiteral("Read https://example.org/%1 first, José")
                                .arg(QString("minutes/").repeated(20));
    composer.setSubject(subject);
    composer.toField()->setText(typed.join("; "));
    composer.send();
    ASSERT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));

    const QList<QByteArray> lines = headerLines(composer.lastSentPath());
    EXPECT_TRUE(withinLimits(lines));
    const QByteArray header = lines.join('\n');
    static const QRegularExpression encodedWord(
        QStringLiteral(R"(=\?[^?\s]+\?[BbQq]\?[^?\s]*\?=)"));
    int words = 0;
    for (const auto& match : encodedWord.globalMatch(QString::fromLatin1(header))) {
        ++words;
        EXPECT_LE(match.capturedLength(), 75) << match.captured().toStdString();
    }
    EXPECT_GE(words, int(recipients.size()) + 4);

    const ReadBack read = readBack(composer.lastSentPath());
    EXPECT_EQ(read.defects, "0");
    ASSERT_EQ(read.to.size(), recipients.size());
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const auto& [name, address] = recipients.at(i);
        const QStringList got = read.to.at(i).split('|');
        ASSERT_EQ(got.size(), 2) << read.to.at(i).toStdString();
        EXPECT_EQ(got.at(1), address);
        // Python's address parser keeps the space between two encoded words, which RFC 2047
        // has a reader drop (the package's header decoder does): the long name, in several
        // words, reads with its words whole there, and exactly through the decoder.
        if (name == greek)
            EXPECT_EQ(got.at(0).simplified(), name);
        else
            EXPECT_EQ(got.at(0), name);
    }
    EXPECT_TRUE(read.decodedTo.contains(greek + " <alex@example.gr>"))
        << read.decodedTo.toStdString();
    EXPECT_EQ(read.subject, subject);
}

// A control character has no place in a header: an address or a name holding one is
// refused with the message every address that is not one gets, and nothing is written.
TEST_F(MailHeaders, ARecipientHoldingAControlCharacterIsRefused)
{
    const QDir outbox(MailComposeViewController::outboxFolder());
    const auto before = outbox.entryList(QDir::Files).size();
    for (const QString& address :
        { QStringLiteral("ana\x01@example.com"), QStringLiteral("ana@exam\x1Fple.com"),
            QStringLiteral("ana@example.com\x7F"), QString::fromLatin1("ana\0@example.com", 16),
            QStringLiteral("Ana\x1B Lee <ana@example.com>"),
            QStringLiteral("Ana Lee <ana@example.\tcom>") }) {
        SCOPED_TRACE(address.toUtf8().toPercentEncoding().toStdString());
        EXPECT_FALSE(MailComposeViewController::isMailAddress(address));
        composer.toField()->setText("bo@example.org, " + address);
        composer.send();
        EXPECT_TRUE(recorder.results.isEmpty());
        const QList<AlertView*> alerts = AlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1);
        EXPECT_EQ(alerts.first()->message(),
            QStringLiteral("\u201c%1\u201d is not a valid email address.").arg(address));
        dismissAlerts();
    }
    // The copies are held to the same rule.
    composer.toField()->setText(QStringLiteral("Ana Lee <ana@example.com>"));
    composer.setCcRecipients({ QStringLiteral("bo\x02@example.org") });
    composer.send();
    EXPECT_TRUE(recorder.results.isEmpty());
    EXPECT_EQ(AlertView::visibleAlerts().size(), 1);
    dismissAlerts();
    EXPECT_EQ(outbox.entryList(QDir::Files).size(), before);

    composer.setCcRecipients({ QStringLiteral("Bo <bo@example.org>") });
    composer.send();
    ASSERT_EQ(recorder.results, QList<MailComposeResult>({ MailComposeResult::Sent }));
    const ReadBack read = readBack(composer.lastSentPath());
    EXPECT_EQ(read.defects, "0");
    EXPECT_EQ(read.to, QStringList { "Ana Lee|ana@example.com" });
    EXPECT_EQ(read.cc, QStringList { "Bo|bo@example.org" });
}
