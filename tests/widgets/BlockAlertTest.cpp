#include "ScreenFixture.h"
#include "widgets/UIAlertView_Blocks.h"

#include <QPointer>

using namespace platform::ui;

namespace {

struct Recorder : AlertViewDelegate {
    QStringList* calls;
    explicit Recorder(QStringList* into)
        : calls(into)
    {
    }
    void alertViewClickedButtonAtIndex(AlertView*, int index) override
    {
        *calls << QString("delegate clicked %1").arg(index);
    }
    void alertViewDidDismissWithButtonIndex(AlertView*, int index) override
    {
        *calls << QString("delegate dismissed %1").arg(index);
    }
    bool alertViewShouldEnableFirstOtherButton(AlertView*) override { return false; }
};

using BlockAlerts = ScreenFixture;

} // namespace

TEST_F(BlockAlerts, TheButtonsAreTheCancelAndTheOthersInOrder)
{
    QStringList calls;
    QPointer<AlertView> alert = UIAlertView_Blocks::showWithTitle("Title", "Message", "Cancel", {},
        [&](AlertView*, int index) { calls << QString("tap %1").arg(index); });
    flush();
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Cancel");
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(calls, QStringList({ "tap 0" }));
    flush();

    QPointer<AlertView> many = UIAlertView_Blocks::showWithTitle("Title", "Message",
        AlertView::Style::PlainTextInput, "Cancel", { "One", "Two", "Three" }, {});
    EXPECT_EQ(many->numberOfButtons(), 4);
    EXPECT_EQ(many->buttonTitleAtIndex(3), "Three");
    EXPECT_EQ(many->alertViewStyle(), AlertView::Style::PlainTextInput);
    EXPECT_TRUE(many->isVisible() || AlertView::visibleAlerts().contains(many.data()));
    many->dismissWithClickedButtonIndex(0, false);
    flush();
}

TEST_F(BlockAlerts, WithoutBlocksTheDelegateStaysAsItWas)
{
    QStringList calls;
    Recorder recorder(&calls);
    auto* alert = UIAlertView_Blocks::showWithTitle("Title", "Message", "Cancel", { "OK" }, {});
    alert->setDelegate(&recorder);
    EXPECT_EQ(alert->delegate(), &recorder);
    EXPECT_FALSE(UIAlertView_Blocks::tapBlock(alert));
    EXPECT_EQ(alert->delegate(), &recorder);
    alert->clickButtonAtIndex(1);
    flush();
    EXPECT_EQ(calls, QStringList({ "delegate clicked 1", "delegate dismissed 1" }));
}

TEST_F(BlockAlerts, TheBlockRunsBeforeTheEarlierDelegate)
{
    QStringList calls;
    Recorder recorder(&calls);
    auto* alert = new AlertView("Title", "Message", &recorder, "Cancel", { "OK" });
    UIAlertView_Blocks::setTapBlock(
        alert, [&](AlertView*, int i) { calls << QString("tap %1").arg(i); });
    UIAlertView_Blocks::setDidDismissBlock(
        alert, [&](AlertView*, int i) { calls << QString("block dismissed %1").arg(i); });
    UIAlertView_Blocks::setWillPresentBlock(alert, [&](AlertView*) { calls << "will present"; });
    EXPECT_NE(alert->delegate(), &recorder);
    EXPECT_FALSE(alert->delegate()->alertViewShouldEnableFirstOtherButton(alert));
    UIAlertView_Blocks::setShouldEnableFirstOtherButtonBlock(
        alert, [](AlertView*) { return true; });
    EXPECT_TRUE(alert->delegate()->alertViewShouldEnableFirstOtherButton(alert));
    alert->show();
    flush();
    alert->clickButtonAtIndex(1);
    flush();
    EXPECT_EQ(calls,
        QStringList({ "will present", "tap 1", "delegate clicked 1", "block dismissed 1",
            "delegate dismissed 1" }));
}

TEST_F(BlockAlerts, AnEarlierDelegateThatHasGoneIsSkipped)
{
    QStringList calls;
    auto recorder = std::make_unique<Recorder>(&calls);
    auto* alert = new AlertView("Title", "Message", recorder.get(), "Cancel", { "OK" });
    UIAlertView_Blocks::setTapBlock(
        alert, [&](AlertView*, int i) { calls << QString("tap %1").arg(i); });
    recorder.reset();
    alert->show();
    flush();
    alert->clickButtonAtIndex(0);
    flush();
    EXPECT_EQ(calls, QStringList({ "tap 0" }));
}
