#pragma once

#include "platform/ui/MailComposeViewController.h"

// The application's mail composer: the platform composer in the application's bar
// colours, with the status-bar style that goes with them. registerAsComposer makes the
// mail helpers use it.
class MailComposeViewController : public platform::ui::MailComposeViewController {
    Q_OBJECT
public:
    explicit MailComposeViewController(QObject* parent = nullptr);

    static void registerAsComposer();

    platform::ui::Device::StatusBarStyle preferredStatusBarStyle() const override;
};
