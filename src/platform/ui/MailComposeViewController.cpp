#include "platform/ui/MailComposeViewController.h"

#include "platform/Folders.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/MailRecipient.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/TextInput.h"

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QSaveFile>
#include <QTextEdit>
#include <QUuid>

namespace platform::ui {

namespace {

const QString kOutbox = QStringLiteral("Outbox");
const QString kNewMessage = QStringLiteral("New Message");
const QString kMailErrorDomain = QStringLiteral("MFMailComposeErrorDomain");
constexpr int kRowHeight = 44;

std::function<MailComposeViewController*()>& factory()
{
    static std::function<MailComposeViewController*()> instance;
    return instance;
}

// The compose form: header rows with hairlines, an attachment line, then the body.
class ComposeView : public View {
public:
    using View::View;
    QList<double> lines;
    // Where the hairlines start: in line with the rows, clear of a notch.
    double lineLeft = 15;
    std::function<void()> relayout;
    void layoutSubviews() override
    {
        if (relayout)
            relayout();
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        painter.setPen(QPen(QColor(200, 199, 204), 0.5));
        for (double y : lines)
            painter.drawLine(QPointF(lineLeft, y), QPointF(rect.right(), y));
    }
};

QString humanSize(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

const QString MailComposeViewController::InvalidAddressTitle = QStringLiteral("Invalid Address");
const QString MailComposeViewController::InvalidAddressMessage
    = QStringLiteral("\u201c%1\u201d is not a valid email address.");

MailComposeViewControllerDelegate::~MailComposeViewControllerDelegate() = default;

MailComposeViewController::MailComposeViewController(QObject* parent)
    : NavigationController(parent)
{
    m_form = new ViewController(this);
    m_form->setTitle(kNewMessage);
    auto* cancelItem = new BarButtonItem(
        BarButtonItem::SystemItem::Cancel, [this](BarButtonItem*) { cancel(); });
    m_sendItem = new BarButtonItem(
        QStringLiteral("Send"), BarButtonItem::Style::Done, [this](BarButtonItem*) { send(); });
    m_form->navigationItem()->setLeftBarButtonItem(cancelItem);
    m_form->navigationItem()->setRightBarButtonItem(m_sendItem);
    setModalPresentationStyle(ModalPresentationStyle::FormSheet);
    setViewControllers({ m_form });
    buildForm();
    updateSendItem();
}

MailComposeViewController::~MailComposeViewController() = default;

MailComposeViewController* MailComposeViewController::create()
{
    if (factory())
        if (MailComposeViewController* made = factory()())
            return made;
    return new MailComposeViewController();
}

void MailComposeViewController::setFactory(std::function<MailComposeViewController*()> newFactory)
{
    factory() = std::move(newFactory);
}

QString MailComposeViewController::outboxFolder()
{
    return Folders::documents() + "/" + kOutbox;
}

void MailComposeViewController::buildForm()
{
    if (m_to)
        return;
    auto* view = new ComposeView();
    view->setBackgroundColor(Qt::white);
    const QString fieldStyle = QStringLiteral(
        "QLineEdit, QTextEdit { border: none; background: transparent; font-size: 16px; }");
    auto* toLabel = new Label(view);
    toLabel->setText(QStringLiteral("To:"));
    toLabel->setTextColor(QColor(142, 142, 147));
    toLabel->setFont(Font::system(16));
    m_to = new QLineEdit(view);
    m_to->setStyleSheet(fieldStyle);
    auto* subjectLabel = new Label(view);
    subjectLabel->setText(QStringLiteral("Subject:"));
    subjectLabel->setTextColor(QColor(142, 142, 147));
    subjectLabel->setFont(Font::system(16));
    m_subject = new QLineEdit(view);
    m_subject->setStyleSheet(fieldStyle);
    auto* attachment = new Label(view);
    attachment->setFont(Font::system(14));
    attachment->setTextColor(QColor(0, 122, 255));
    m_body = new QTextEdit(view);
    m_body->setStyleSheet(fieldStyle);
    m_body->setAcceptRichText(false);

    m_to->setText(m_message.to.join(", "));
    m_subject->setText(m_message.subject);
    if (m_message.bodyIsHtml)
        m_body->setHtml(m_message.body);
    else
        m_body->setPlainText(m_message.body);
    m_attachment = attachment;
    showAttachments();
    connect(m_to, &QLineEdit::textChanged, m_form, [this] { updateSendItem(); });
    connect(m_subject, &QLineEdit::textChanged, m_form,
        [this](const QString& text) { m_form->setTitle(text.isEmpty() ? kNewMessage : text); });
    if (!m_message.subject.isEmpty())
        m_form->setTitle(m_message.subject);

    view->relayout = [view, toLabel, subjectLabel, attachment, this] {
        // The rows keep clear of a notch at either side and of the home indicator's strip.
        const QMarginsF safe = SafeArea::restingInsets(view);
        const double x = safe.left();
        const double w = view->bounds().width() - safe.left() - safe.right();
        toLabel->setFrame(QRectF(x + 15, 0, 70, kRowHeight));
        m_to->setGeometry(QRectF(x + 85, 6, w - 100, kRowHeight - 12).toRect());
        subjectLabel->setFrame(QRectF(x + 15, kRowHeight, 70, kRowHeight));
        m_subject->setGeometry(QRectF(x + 85, kRowHeight + 6, w - 100, kRowHeight - 12).toRect());
        double y = 2 * kRowHeight;
        view->lines = { double(kRowHeight), 2.0 * kRowHeight };
        view->lineLeft = x + 15;
        if (!attachment->isHidden()) {
            attachment->setFrame(QRectF(x + 15, y, w - 30, kRowHeight));
            y += kRowHeight;
            view->lines.append(y);
        }
        const double bottom = view->bounds().height() - safe.bottom();
        m_body->setGeometry(QRectF(x + 10, y + 6, w - 20, bottom - y - 12).toRect());
        view->update();
    };
    m_form->setView(view);
    view->setFrame(QRectF(0, 0, 540, 560));
    view->layoutIfNeeded();
}

void MailComposeViewController::viewWillAppear(bool animated)
{
    NavigationController::viewWillAppear(animated);
    // The rows are placed for where the composer comes to rest.
    if (m_form->isViewLoaded())
        m_form->view()->layoutIfNeeded();
    // Typing starts at once, in To:, after what the caller put there. The field of the
    // screen below lets go of the keys first.
    if (!m_to || !TextInput::endEditing(nullptr, false))
        return;
    m_to->setFocus(Qt::OtherFocusReason);
    m_to->end(false);
}

void MailComposeViewController::updateSendItem()
{
    if (m_sendItem)
        m_sendItem->setEnabled(!recipients().isEmpty());
}

bool MailComposeViewController::isMailAddress(const QString& text)
{
    return MailRecipient::fromText(text).has_value();
}

void MailComposeViewController::showAttachments()
{
    if (!m_attachment)
        return;
    QStringList names;
    for (const auto& a : m_message.attachments)
        names.append(QStringLiteral("%1 (%2)").arg(a.fileName, humanSize(a.data.size())));
    m_attachment->setText(
        names.isEmpty() ? QString() : QStringLiteral("Attachment: ") + names.join(", "));
    m_attachment->setHidden(names.isEmpty());
    if (m_form->isViewLoaded())
        m_form->view()->layoutIfNeeded();
}

void MailComposeViewController::setSubject(const QString& subject)
{
    m_message.subject = subject;
    if (m_subject)
        m_subject->setText(subject);
    m_form->setTitle(subject.isEmpty() ? kNewMessage : subject);
}

void MailComposeViewController::setToRecipients(const QStringList& recipients)
{
    m_message.to = recipients;
    if (m_to)
        m_to->setText(recipients.join(", "));
}

void MailComposeViewController::setCcRecipients(const QStringList& recipients)
{
    m_message.cc = recipients;
}

void MailComposeViewController::setBccRecipients(const QStringList& recipients)
{
    m_message.bcc = recipients;
}

void MailComposeViewController::setMessageBody(const QString& body, bool isHTML)
{
    m_message.body = body;
    m_message.bodyIsHtml = isHTML;
    if (m_body) {
        if (isHTML)
            m_body->setHtml(body);
        else
            m_body->setPlainText(body);
    }
}

void MailComposeViewController::addAttachmentData(
    const QByteArray& data, const QString& mimeType, const QString& fileName)
{
    m_message.attachments.append({ data, mimeType, fileName });
    showAttachments();
}

QStringList MailComposeViewController::recipients() const
{
    if (!m_to)
        return m_message.to;
    return MailRecipient::split(m_to->text());
}

MimeMessage MailComposeViewController::message() const
{
    MimeMessage message = m_message;
    if (m_to) {
        message.to = recipients();
        message.subject = m_subject->text();
        if (!message.bodyIsHtml)
            message.body = m_body->toPlainText();
    }
    message.date = QDateTime::currentDateTime();
    return message;
}

void MailComposeViewController::send()
{
    if (m_finished)
        return;
    const MimeMessage composed = message();
    // Nobody to send to: Send is off, and a call of its own writes nothing either.
    if (composed.to.isEmpty())
        return;
    for (const QString& address : composed.to + composed.cc + composed.bcc) {
        if (!isMailAddress(address)) {
            (new AlertView(InvalidAddressTitle, InvalidAddressMessage.arg(address), nullptr,
                 QStringLiteral("OK")))
                ->show();
            return;
        }
    }
    const QByteArray bytes = composed.toBytes();
    const QString folder = outboxFolder();
    QDir().mkpath(folder);
    const QString name = QStringLiteral("%1-%2.eml")
                             .arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"),
                                 QUuid::createUuid().toString(QUuid::Id128).left(8));
    // Written under a temporary name and renamed into place: the outbox never holds half
    // a message.
    QSaveFile file(folder + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        finish(MailComposeResult::Failed,
            Error::withDescription(kMailErrorDomain, 1,
                QStringLiteral("The message could not be saved: %1").arg(file.errorString())));
        return;
    }
    m_lastSent = file.fileName();
    finish(MailComposeResult::Sent, {});
}

void MailComposeViewController::cancel()
{
    if (m_finished)
        return;
    finish(MailComposeResult::Cancelled, {});
}

void MailComposeViewController::finish(MailComposeResult result, const Error& error)
{
    m_finished = result != MailComposeResult::Failed;
    if (m_delegate) {
        m_delegate->mailComposeControllerDidFinish(this, result, error);
        return;
    }
    dismissViewController(true);
}

} // namespace platform::ui
