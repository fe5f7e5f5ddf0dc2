#include "utilities/MailHelper.h"

#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "utilities/KivoAppDelegate.h"
#include "utilities/LocalizedStrings.h"
#include "utilities/MessageHelper.h"

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

void compose(const QString& to, const QString& subject, const QString& body,
             const Attachment* attachment, ViewController* delegateScreen, ViewController* from)
{
    if (!MailComposeViewController::canSendMail()) {
        MessageHelper::ShowMessage(LocalizedStrings::MailNotConfigured(), false);
        return;
    }
    MailComposeViewController* composer = MailComposeViewController::create();
    composer->setMailComposeDelegate(
        dynamic_cast<platform::ui::MailComposeViewControllerDelegate*>(delegateScreen));
    composer->setSubject(subject);
    composer->setToRecipients(to.isNull() ? QStringList() : QStringList{to});
    composer->setMessageBody(body, false);
    if (attachment)
        composer->addAttachmentData(attachment->data, attachment->mime, attachment->fileName);

    // Presented from the navigation controller when there is one, else the screen.
    ViewController* presenter = from;
    if (from && from->navigationController())
        presenter = from->navigationController();
    if (!presenter) {
        delete composer;
        return;
    }
    QPointer<ViewController> presenterPtr(presenter);
    QPointer<MailComposeViewController> composerPtr(composer);
    auto present = [presenterPtr, composerPtr] {
        if (presenterPtr && composerPtr)
            presenterPtr->presentViewController(composerPtr, true);
        else if (composerPtr)
            composerPtr->deleteLater();
    };
    if (presenter->presentedViewController())
        presenter->dismissViewController(true, present);
    else
        present();
}

} // namespace

void MailHelper::sendEmailTo(const QString& to, const QString& subject, const QString& body,
                             ViewController* viewController)
{
    compose(to, subject, body, nullptr, viewController, viewController);
}

void MailHelper::sendEmailToWithAttachment(const QString& to, const QString& subject,
                                           const QString& body, ViewController* viewController)
{
    const Attachment attachment{body.toUtf8(), CsvMimeType, CsvFileName};
    compose(to, subject, LocalizedStrings::AttachedCSV(), &attachment, viewController,
            viewController);
}

void MailHelper::sendEmailToWithFile(const QString& to, const QString& subject,
                                     const QString& filePath, ViewController* viewController,
                                     const QString& mime)
{
    QFile file(filePath);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    const Attachment attachment{data, mime, DebugFileName};
    compose(to, subject, DebugInfo, &attachment, viewController,
            KivoAppDelegate::ApplicationDelegate()->currentViewController());
}

void MailHelper::sendEmailToWithFile(const QString& to, const QString& subject,
                                     const QByteArray& data, const QString& mime,
                                     const QString& fileName, ViewController* viewController)
{
    const Attachment attachment{data, mime, fileName};
    compose(to, subject, QString(""), &attachment, viewController,
            KivoAppDelegate::ApplicationDelegate()->currentViewController());
}
