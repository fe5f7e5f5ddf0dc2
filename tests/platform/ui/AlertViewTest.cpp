#include "platform/ui/AlertView.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

struct Delegate : AlertViewDelegate {
    QStringList calls;
    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override
    {
        calls << QStringLiteral("clicked %1 tag %2").arg(index).arg(alert->tag());
    }
    void alertViewWillDismissWithButtonIndex(AlertView*, int index) override
    {
        calls << QStringLiteral("will %1").arg(index);
    }
    void alertViewDidDismissWithButtonIndex(AlertView*, int index) override
    {
        calls << QStringLiteral("did %1").arg(index);
    }
};

struct Alerts : ::testing::Test {
    NavigationController* navigation = nullptr;
    void SetUp() override
    {
        Animation::setInstant(true);
        navigation = new NavigationController();
        auto* screen = new ViewController();
        screen->setTitle("Databases");
        navigation->pushViewController(screen, false);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
    }
    void TearDown() override
    {
        AlertView::setAutoResponder({});
        Application::shared().reset();
        delete navigation;
    }
};

} // namespace

TEST_F(Alerts, ButtonIndexesPutCancelFirstAndTellTheDelegate)
{
    Delegate delegate;
    QPointer<AlertView> alert
        = new AlertView("Delete", "Delete the table?", &delegate, "Cancel", { "Ok", "Later" });
    alert->setTag(1001);
    EXPECT_EQ(alert->numberOfButtons(), 3);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(2), "Later");
    alert->show();
    EXPECT_TRUE(alert->isVisible());
    alert->clickButtonAtIndex(2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return alert.isNull(); }));
    EXPECT_EQ(delegate.calls, QStringList({ "clicked 2 tag 1001", "will 2", "did 2" }));

    // Without a cancel button the other buttons start at 0.
    auto* plain = new AlertView("T", "M", nullptr, QString(), { "One" });
    EXPECT_EQ(plain->cancelButtonIndex(), -1);
    EXPECT_EQ(plain->firstOtherButtonIndex(), 0);
    delete plain;
}

TEST_F(Alerts, ProgrammaticDismissSkipsTheClickAndTheLoopNeverBlocks)
{
    Delegate delegate;
    QPointer<AlertView> alert = new AlertView("Busy", "Working", &delegate, "Cancel");
    alert->show();
    alert->show(); // shown once
    EXPECT_EQ(AlertView::visibleAlerts().size(), 1);
    alert->dismissWithClickedButtonIndex(0, true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return alert.isNull(); }));
    EXPECT_EQ(delegate.calls, QStringList({ "will 0", "did 0" }));
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(Alerts, AutoResponderAnswersEachAlertAsItIsShown)
{
    QStringList seen;
    AlertView::setAutoResponder([&](AlertView* alert) -> std::optional<int> {
        seen << alert->title();
        return alert->numberOfButtons() - 1;
    });
    int chosen = -1;
    auto* alert = new AlertView("Restore", "Restore the backup?", nullptr, "Cancel", { "Restore" });
    alert->setCallback([&](AlertView*, int index) { chosen = index; });
    alert->show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return chosen == 1; }));
    EXPECT_EQ(seen, QStringList({ "Restore" }));
}

TEST_F(Alerts, TextInputStyleGivesFieldsAndTheScreenshotShowsTheAlert)
{
    auto* alert
        = new AlertView("Password", "Enter the table's password.", nullptr, "Cancel", { "Ok" });
    alert->setAlertViewStyle(AlertView::Style::SecureTextInput);
    ASSERT_NE(alert->textFieldAtIndex(0), nullptr);
    EXPECT_EQ(alert->textFieldAtIndex(0)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(alert->textFieldAtIndex(1), nullptr);
    alert->show();
    testsupport::processEvents(50);
    const QImage shot = Application::shared().keyWindow()->snapshot();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(testsupport::outputPath("alert.png")));
    alert->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
}

namespace {

// Keeps the first other button off until a name is typed.
struct NeedsName : AlertViewDelegate {
    bool alertViewShouldEnableFirstOtherButton(AlertView* alert) override
    {
        return !alert->textFieldAtIndex(0)->text().isEmpty();
    }
};

} // namespace

TEST_F(Alerts, ReturnChoosesTheDefaultButtonOnlyWhileTheDelegateLetsIt)
{
    NeedsName delegate;
    int chosen = -1;
    QPointer<AlertView> alert
        = new AlertView("Create Folder", QString(), &delegate, "Cancel", { "Ok" });
    alert->setAlertViewStyle(AlertView::Style::PlainTextInput);
    alert->setCallback([&](AlertView*, int index) { chosen = index; });
    alert->show();
    testsupport::processEvents(20);
    QLineEdit* field = alert->textFieldAtIndex(0);

    // Return in the empty field: Ok is off, so nothing is chosen and the alert stays.
    QTest::keyClick(field, Qt::Key_Return);
    testsupport::processEvents(20);
    EXPECT_EQ(chosen, -1);
    EXPECT_TRUE(alert->isVisible());

    QTest::keyClicks(field, "Invoices");
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(chosen, 1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return alert.isNull(); }));
}

TEST_F(Alerts, EscapeIsTheCancelButtonOfTheNewestAlertOnly)
{
    QStringList chosen;
    auto* below = new AlertView("Below", QString(), nullptr, "Cancel", { "Ok" });
    below->setCallback(
        [&](AlertView*, int index) { chosen << QStringLiteral("below %1").arg(index); });
    auto* above = new AlertView("Above", QString(), nullptr, "Cancel", { "Ok" });
    above->setCallback(
        [&](AlertView*, int index) { chosen << QStringLiteral("above %1").arg(index); });
    below->show();
    above->show();
    testsupport::processEvents(20);
    // Wherever the keys are in the window.
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    testsupport::processEvents(20);
    EXPECT_EQ(chosen, QStringList { "above 0" });
    ASSERT_EQ(AlertView::visibleAlerts(), QList<AlertView*> { below });
    // An alert with no cancel button is left alone by Escape.
    auto* notice = new AlertView("Notice", QString(), nullptr, QString(), { "Ok" });
    notice->setCallback(
        [&](AlertView*, int index) { chosen << QStringLiteral("notice %1").arg(index); });
    notice->show();
    testsupport::processEvents(20);
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    testsupport::processEvents(20);
    EXPECT_EQ(chosen, QStringList { "above 0" });
    EXPECT_EQ(AlertView::visibleAlerts().size(), 2);
    notice->dismissWithClickedButtonIndex(0, false);
    below->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
}

// A widget outside the alerts that asks for the keys while they are up (a screen coming in
// under them) waits: the alert on top keeps them, and the widget that asked last has them
// once the last alert has gone; when none asked, the one that had them before gets them back.
TEST_F(Alerts, AlertsKeepTheKeysAndHandThemOnWhenTheLastCloses)
{
    View* screen = navigation->topViewController()->view();
    auto* before = new QLineEdit(screen);
    auto* asking = new QLineEdit(screen);
    before->show();
    asking->show();
    Application::shared().keyWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Application::shared().keyWindow()));
    before->setFocus();
    ASSERT_TRUE(before->hasFocus());

    auto* prompt = new AlertView("Password", "\n", nullptr, "Cancel", { "Ok" });
    prompt->setAlertViewStyle(AlertView::Style::SecureTextInput);
    prompt->show();
    testsupport::processEvents(20);
    QLineEdit* secret = prompt->textFieldAtIndex(0);
    EXPECT_TRUE(secret->hasFocus());
    asking->setFocus();
    EXPECT_TRUE(secret->hasFocus());
    // A message over the prompt takes them, and gives them back to the prompt only.
    auto* message = new AlertView("Information", "Password is invalid.", nullptr, "Ok");
    message->show();
    testsupport::processEvents(20);
    EXPECT_TRUE(message->hasFocus());
    secret->setFocus();
    EXPECT_TRUE(message->hasFocus());
    message->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
    EXPECT_TRUE(secret->hasFocus());
    prompt->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
    EXPECT_TRUE(asking->hasFocus());

    // No one asked: the keys go back where they were.
    auto* notice = new AlertView("Notice", QString(), nullptr, "Ok");
    notice->show();
    testsupport::processEvents(20);
    EXPECT_FALSE(asking->hasFocus());
    notice->dismissWithClickedButtonIndex(0, false);
    testsupport::processEvents(20);
    EXPECT_TRUE(asking->hasFocus());
}
