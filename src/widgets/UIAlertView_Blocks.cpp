#include "widgets/UIAlertView_Blocks.h"

using namespace platform::ui;

namespace UIAlertView_Blocks {

AlertView* showWithTitle(const QString& title, const QString& message, AlertView::Style style,
    const QString& cancelButtonTitle, const QStringList& otherButtonTitles,
    AlertViewBlocks::IndexBlock tapBlock)
{
    const QStringList first
        = otherButtonTitles.isEmpty() ? QStringList() : QStringList { otherButtonTitles.first() };
    auto* alert = new AlertView(title, message, nullptr, cancelButtonTitle, first);
    alert->setAlertViewStyle(style);
    for (int i = 1; i < otherButtonTitles.size(); ++i)
        alert->addButtonWithTitle(otherButtonTitles[i]);
    if (tapBlock)
        setTapBlock(alert, std::move(tapBlock));
    alert->show();
    return alert;
}

AlertView* showWithTitle(const QString& title, const QString& message,
    const QString& cancelButtonTitle, const QStringList& otherButtonTitles,
    AlertViewBlocks::IndexBlock tapBlock)
{
    return showWithTitle(title, message, AlertView::Style::Default, cancelButtonTitle,
        otherButtonTitles, std::move(tapBlock));
}

#define KIVO_ALERT_BLOCK(Type, reader, writer)                                                     \
    AlertViewBlocks::Type reader(const AlertView* alert)                                           \
    {                                                                                              \
        const AlertViewBlocks* blocks = AlertViewBlocks::existing(alert);                          \
        return blocks ? blocks->reader : AlertViewBlocks::Type();                                  \
    }                                                                                              \
    void writer(AlertView* alert, AlertViewBlocks::Type block)                                     \
    {                                                                                              \
        if (AlertViewBlocks* blocks = AlertViewBlocks::forAlert(alert))                            \
            blocks->reader = std::move(block);                                                     \
    }

KIVO_ALERT_BLOCK(IndexBlock, tapBlock, setTapBlock)
KIVO_ALERT_BLOCK(IndexBlock, willDismissBlock, setWillDismissBlock)
KIVO_ALERT_BLOCK(IndexBlock, didDismissBlock, setDidDismissBlock)
KIVO_ALERT_BLOCK(AlertBlock, willPresentBlock, setWillPresentBlock)
KIVO_ALERT_BLOCK(AlertBlock, didPresentBlock, setDidPresentBlock)
KIVO_ALERT_BLOCK(AlertBlock, cancelBlock, setCancelBlock)
KIVO_ALERT_BLOCK(
    EnableBlock, shouldEnableFirstOtherButtonBlock, setShouldEnableFirstOtherButtonBlock)

#undef KIVO_ALERT_BLOCK

} // namespace UIAlertView_Blocks
