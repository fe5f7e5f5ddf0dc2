#pragma once

#include "grid/BrowserViewController.h"
#include "platform/ui/NavigationController.h"

#include <QColor>
#include <QPointer>
#include <QUrl>

// A navigation stack around one browser, to present it modally, with a Done button that
// dismisses it.
class ModalBrowserViewController : public platform::ui::NavigationController {
    Q_OBJECT
public:
    // initWithAddress: and initWithURL:.
    explicit ModalBrowserViewController(const QString& address, QObject* parent = nullptr);
    explicit ModalBrowserViewController(const QUrl& url, QObject* parent = nullptr);
    ~ModalBrowserViewController() override;

    BrowserViewController* webViewController() const { return m_webViewController; }
    QColor barsTintColor() const { return m_barsTintColor; }
    void setBarsTintColor(const QColor& color) { m_barsTintColor = color; }
    // Passed on to the browser.
    void setAvailableActions(unsigned actions);

    void viewWillAppear(bool animated) override;

private:
    QPointer<BrowserViewController> m_webViewController;
    QColor m_barsTintColor;
};
