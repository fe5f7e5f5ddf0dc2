#include "utilities/shell/MailHelper.h"

#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFile>
#include <QPointer>

const QString MailHelper::CsvFileName = QStringLiteral("data.csv");
const QString MailHelper::CsvMimeType = QStringLiteral("text/csv");
const QString MailHelper::DebugFileName = QStringLiteral("debug.log");
const QString MailHelper::DebugInfo = QStringLiteral("Debug Info");

namespace {

using platform::ui::MailComposeViewController;
using platform::ui::ViewController;

struct Attachment {
    QByteArray data;
    QString mime;
    QString fileName;
};

// Where the composer goes up: the navigation controller of the screen when it has one,
// else the screen itself.
ViewController* presenterFor(ViewController* screen)
{
    if (screen && screen->navigationController())
        return screen->navigationController();
    return screen;
}

// Opens the composer. `screen` becomes its delegate and has whatever it presents
// dismissed first; the composer is then presented from the screen's navigation
// controller, or, with `fromCurrentScreen`, from that of the screen on top of the window.
void compose(const QString& to, const QString& subject, const QString& body,
    const Attachment* attachment, ViewController* screen, bool fromCurrentScreen)
{
    if (!MailComposeViewController::canSendMail()) {
        MessageHelper::ShowMessage(LocalizedStrings::MailNotConfigured(), false);
        return;
    }
    MailComposeViewController* composer = MailComposeViewController::create();
    composer->setMailComposeDelegate(
        dynamic_cast<platform::ui::MailComposeViewControllerDelegate*>(screen));
    composer->setSubject(subject);
    composer->setToRecipients(to.isNull() ? QStringList() : QStringList { to });
    composer->setMessageBody(body, false);
    if (attachment)
        composer->addAttachmentData(attachment->data, attachment->mime, attachment->fileName);

    QPointer<ViewController> screenPtr(screen);
    QPointer<MailComposeViewController> composerPtr(composer);
    auto present = [screenPtr, composerPtr, fromCurrentScreen] {
        if (!composerPtr)
            return;
        ViewController* presenter = presenterFor(fromCurrentScreen
                ? KivoAppDelegate::ApplicationDelegate()->currentViewController()
                : screenPtr.data());
        // Nowhere to show it (or the place is taken): the composer must not be left over.
        if (!presenter || presenter->presentedViewController()) {
            delete composerPtr.data();
            return;
        }
        presenter->presentViewController(composerPtr, true);
    };
    // What the screen presents (directly or through its navigation controller) goes first.
    ViewController* presenting = nullptr;
    if (screen && screen->presentedViewController())
        presenting = screen;
    else if (ViewController* navigation = presenterFor(screen);
             navigation && navigation->presentedViewController())
        presenting = navigation;
    if (presenting)
        presenting->dismissViewController(true, present);
    else
        present();
}

} // namespace

void MailHelper::sendEmailTo(
    const QString& to, const QString& subject, const QString& body, ViewController* viewController)
{
    compose(to, subject, body, nullptr, viewController, false);
}

void MailHelper::sendEmailToWithAttachment(
    const QString& to, const QString& subject, const QString& body, ViewController* viewController)
{
    const Attachment attachment { body.toUtf8(), CsvMimeType, CsvFileName };
    compose(to, subject, LocalizedStrings::AttachedCSV(), &attachment, viewController, false);
}

void MailHelper::sendEmailToWithFile(const QString& to, const QString& subject,
    const QString& filePath, ViewController* viewController, const QString& mime)
{
    QFile file(filePath);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    const Attachment attachment { data, mime, DebugFileName };
    compose(to, subject, DebugInfo, &attachment, viewController, true);
}

void MailHelper::sendEmailToWithFile(const QString& to, const QString& subject,
    const QByteArray& data, const QString& mime, const QString& fileName,
    ViewController* viewController)
{
    const Attachment attachment { data, mime, fileName };
    compose(to, subject, QString(""), &attachment, viewController, true);
}
