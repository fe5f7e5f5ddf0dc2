#pragma once

#include "platform/ui/AlertView.h"

#include <QObject>

#include <functional>
#include <memory>

// The blocks attached to one alert, and the alert's delegate while any are: each event
// runs its block first, then reaches the delegate the alert had before, which is held
// weakly (one that has gone is skipped). The alert owns it.
class AlertViewBlocks : public QObject, public platform::ui::AlertViewDelegate {
    Q_OBJECT
public:
    using IndexBlock = std::function<void(platform::ui::AlertView* alert, int buttonIndex)>;
    using AlertBlock = std::function<void(platform::ui::AlertView* alert)>;
    using EnableBlock = std::function<bool(platform::ui::AlertView* alert)>;

    // The alert's blocks, made (and made its delegate) on first use.
    static AlertViewBlocks* forAlert(platform::ui::AlertView* alert);
    // Null when the alert has none.
    static AlertViewBlocks* existing(const platform::ui::AlertView* alert);

    platform::ui::AlertViewDelegate* earlierDelegate() const;

    IndexBlock tapBlock;
    IndexBlock willDismissBlock;
    IndexBlock didDismissBlock;
    AlertBlock willPresentBlock;
    AlertBlock didPresentBlock;
    AlertBlock cancelBlock;
    EnableBlock shouldEnableFirstOtherButtonBlock;

    // Takes over the alert's delegate, remembering the one before (once).
    void checkAlertViewDelegate(platform::ui::AlertView* alert);

    void alertViewClickedButtonAtIndex(platform::ui::AlertView* alert, int buttonIndex) override;
    void alertViewCancel(platform::ui::AlertView* alert) override;
    void willPresentAlertView(platform::ui::AlertView* alert) override;
    void didPresentAlertView(platform::ui::AlertView* alert) override;
    void alertViewWillDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;
    bool alertViewShouldEnableFirstOtherButton(platform::ui::AlertView* alert) override;

private:
    explicit AlertViewBlocks(platform::ui::AlertView* alert);

    platform::ui::AlertViewDelegate* m_earlier = nullptr;
    std::weak_ptr<const void> m_earlierLifetime;
};
