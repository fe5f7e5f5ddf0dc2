#include "utilities/shell/MailHelper.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"

#include <QPointer>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// A screen that hears the composer's result and dismisses it, as the screens do.
class MailingScreen : public ViewController, public MailComposeViewControllerDelegate {
public:
    QList<MailComposeResult> results;
    void mailComposeControllerDidFinish(
        MailComposeViewController*, MailComposeResult result, const platform::Error&) override
    {
        results << result;
        dismissViewController(false);
    }
};

} // namespace

TEST(MailHelper, TheScreensSheetMakesWayAndTheScreenDismissesTheComposer)
{
    Animation::setInstant(true);
    auto* screen = new MailingScreen();
    NavigationController stack(screen);
    NavigationController* navigation = &stack;
    Application::shared().setRootViewController(navigation);
    Application::shared().makeKeyAndVisible();
    QPointer<ViewController> sheet = new ViewController();
    screen->presentViewController(sheet, false);
    testsupport::processEvents(20);

    MailHelper::sendEmailToWithAttachment("ana@example.com", "Rows", "a,b\n1,2\n", screen);
    testsupport::processEvents(50);
    EXPECT_TRUE(sheet.isNull()) << "what the screen presented is dismissed first";
    auto* composer
        = qobject_cast<MailComposeViewController*>(navigation->presentedViewController());
    ASSERT_NE(composer, nullptr);
    const MimeMessage message = composer->message();
    EXPECT_EQ(message.to, QStringList({ "ana@example.com" }));
    EXPECT_EQ(message.subject, "Rows");
    EXPECT_EQ(message.body, "Please find the attached csv file.");
    ASSERT_EQ(message.attachments.size(), 1);
    EXPECT_EQ(message.attachments.first().fileName, "data.csv");
    EXPECT_EQ(message.attachments.first().mimeType, "text/csv");
    EXPECT_EQ(message.attachments.first().data, QByteArray("a,b\n1,2\n"));

    // The screen, not the navigation controller, is the delegate; its dismissal reaches
    // the composer its navigation controller presents.
    composer->cancel();
    testsupport::processEvents(20);
    EXPECT_EQ(screen->results, QList<MailComposeResult>({ MailComposeResult::Cancelled }));
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    Application::shared().reset();
}

TEST(MailHelper, FilesGoUpFromTheCurrentScreenWithTheirNames)
{
    Animation::setInstant(true);
    auto* screen = new MailingScreen();
    NavigationController stack(screen);
    NavigationController* navigation = &stack;
    Application::shared().setRootViewController(navigation);
    Application::shared().makeKeyAndVisible();

    MailHelper::sendEmailToWithFile(
        QString(), "Export", QByteArray("%PDF"), "application/pdf", "report.pdf", screen);
    testsupport::processEvents(20);
    auto* composer
        = qobject_cast<MailComposeViewController*>(navigation->presentedViewController());
    ASSERT_NE(composer, nullptr);
    const MimeMessage message = composer->message();
    EXPECT_TRUE(message.to.isEmpty()) << "no address, no recipient";
    EXPECT_TRUE(message.body.isEmpty());
    ASSERT_EQ(message.attachments.size(), 1);
    EXPECT_EQ(message.attachments.first().fileName, "report.pdf");
    EXPECT_EQ(message.attachments.first().mimeType, "application/pdf");
    composer->cancel();
    testsupport::processEvents(20);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    Application::shared().reset();
}
