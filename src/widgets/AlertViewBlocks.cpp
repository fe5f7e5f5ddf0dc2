#include "widgets/AlertViewBlocks.h"

using namespace platform::ui;

AlertViewBlocks::AlertViewBlocks(AlertView* alert)
    : QObject(alert)
{
}

AlertViewBlocks* AlertViewBlocks::existing(const AlertView* alert)
{
    return alert ? alert->findChild<AlertViewBlocks*>(QString(), Qt::FindDirectChildrenOnly)
                 : nullptr;
}

AlertViewBlocks* AlertViewBlocks::forAlert(AlertView* alert)
{
    if (!alert)
        return nullptr;
    AlertViewBlocks* blocks = existing(alert);
    if (!blocks)
        blocks = new AlertViewBlocks(alert);
    blocks->checkAlertViewDelegate(alert);
    return blocks;
}

void AlertViewBlocks::checkAlertViewDelegate(AlertView* alert)
{
    if (alert->delegate() == this)
        return;
    m_earlier = alert->delegate();
    m_earlierLifetime = m_earlier ? m_earlier->lifetime() : std::weak_ptr<const void>();
    alert->setDelegate(this);
}

AlertViewDelegate* AlertViewBlocks::earlierDelegate() const
{
    // A delegate that has gone is never reached.
    return m_earlierLifetime.expired() ? nullptr : m_earlier;
}

void AlertViewBlocks::alertViewClickedButtonAtIndex(AlertView* alert, int buttonIndex)
{
    if (tapBlock)
        tapBlock(alert, buttonIndex);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->alertViewClickedButtonAtIndex(alert, buttonIndex);
}

void AlertViewBlocks::alertViewCancel(AlertView* alert)
{
    if (cancelBlock)
        cancelBlock(alert);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->alertViewCancel(alert);
}

void AlertViewBlocks::willPresentAlertView(AlertView* alert)
{
    if (willPresentBlock)
        willPresentBlock(alert);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->willPresentAlertView(alert);
}

void AlertViewBlocks::didPresentAlertView(AlertView* alert)
{
    if (didPresentBlock)
        didPresentBlock(alert);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->didPresentAlertView(alert);
}

void AlertViewBlocks::alertViewWillDismissWithButtonIndex(AlertView* alert, int buttonIndex)
{
    if (willDismissBlock)
        willDismissBlock(alert, buttonIndex);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->alertViewWillDismissWithButtonIndex(alert, buttonIndex);
}

void AlertViewBlocks::alertViewDidDismissWithButtonIndex(AlertView* alert, int buttonIndex)
{
    if (didDismissBlock)
        didDismissBlock(alert, buttonIndex);
    if (AlertViewDelegate* earlier = earlierDelegate())
        earlier->alertViewDidDismissWithButtonIndex(alert, buttonIndex);
}

bool AlertViewBlocks::alertViewShouldEnableFirstOtherButton(AlertView* alert)
{
    if (shouldEnableFirstOtherButtonBlock)
        return shouldEnableFirstOtherButtonBlock(alert);
    if (AlertViewDelegate* earlier = earlierDelegate())
        return earlier->alertViewShouldEnableFirstOtherButton(alert);
    return true;
}
