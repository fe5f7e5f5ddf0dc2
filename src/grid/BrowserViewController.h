#pragma once

#include "grid/OrietnationViewController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/WebView.h"

#include <QList>
#include <QPointer>
#include <QUrl>

namespace platform::ui {
class BarButtonItem;
}

// The in-app browser: a page with back, forward, reload or stop, and an action button
// whose sheet opens the page in the desktop's browser or in Chrome, copies its address or
// mails it. It must sit on a navigation stack; on a phone its buttons are the stack's
// toolbar, on a tablet the right side of the navigation bar. Pages of the product's own
// web site offer the bundled help when they cannot be loaded.
class BrowserViewController : public OrietnationViewController,
                              public platform::ui::WebViewDelegate,
                              public platform::ui::ActionSheetDelegate,
                              public platform::ui::MailComposeViewControllerDelegate {
    Q_OBJECT
public:
    // Bits of availableActions.
    enum Action : unsigned {
        OpenInSafari = 1,
        MailLink = 2,
        CopyLink = 4,
        OpenInChrome = 8,
    };
    static constexpr unsigned DefaultActions = 11;

    // initWithAddress: and initWithURL:.
    explicit BrowserViewController(const QString& address, QObject* parent = nullptr);
    explicit BrowserViewController(const QUrl& url, QObject* parent = nullptr);
    ~BrowserViewController() override;

    unsigned availableActions() const { return m_availableActions; }
    void setAvailableActions(unsigned actions) { m_availableActions = actions; }
    QUrl URL() const { return m_URL; }
    platform::ui::WebView* mainWebView() const { return m_mainWebView; }

    // Made on first use.
    platform::ui::BarButtonItem* backBarButtonItem();
    platform::ui::BarButtonItem* forwardBarButtonItem();
    platform::ui::BarButtonItem* refreshBarButtonItem();
    platform::ui::BarButtonItem* stopBarButtonItem();
    platform::ui::BarButtonItem* actionBarButtonItem();
    // The sheet of page actions, made on first use and dropped after each choice.
    platform::ui::ActionSheet* pageActionSheet();

    void loadURL(const QUrl& url);
    void goBackClicked();
    void goForwardClicked();
    void reloadClicked();
    void stopClicked();
    void actionButtonClicked();
    void doneButtonClicked();
    void updateToolbarItems();

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void webViewDidStartLoad(platform::ui::WebView* view) override;
    void webViewDidFinishLoad(platform::ui::WebView* view) override;
    void webViewDidFailLoad(platform::ui::WebView* view, const platform::Error& error) override;
    void actionSheetClickedButtonAtIndex(
        platform::ui::ActionSheet* sheet, int buttonIndex) override;
    void mailComposeControllerDidFinish(platform::ui::MailComposeViewController* controller,
        platform::ui::MailComposeResult result, const platform::Error& error) override;

    // The address "Open in Chrome" opens for a page address: http becomes googlechrome,
    // https googlechromes; empty for any other scheme.
    static QUrl chromeURL(const QUrl& address);
    // A sheet title from the table "BrowserViewController".
    static QString localizedTitle(const QString& english);
    // The bundled help pages: the "Web" folder and its first page.
    static QString bundledHelpFolder();
    static QUrl bundledHelpURL();

    static const QString StringsTable; // "BrowserViewController"
    static const QString NeedsNavigationMessage;

private:
    QList<platform::ui::BarButtonItem*> spaces(int count, bool flexible);

    unsigned m_availableActions = DefaultActions;
    QUrl m_URL;
    QPointer<platform::ui::WebView> m_mainWebView;
    QPointer<platform::ui::BarButtonItem> m_back;
    QPointer<platform::ui::BarButtonItem> m_forward;
    QPointer<platform::ui::BarButtonItem> m_refresh;
    QPointer<platform::ui::BarButtonItem> m_stop;
    QPointer<platform::ui::BarButtonItem> m_action;
    QPointer<platform::ui::ActionSheet> m_pageActionSheet;
    // The spaces of the bar shown now; made anew at every layout of the buttons.
    QList<QPointer<platform::ui::BarButtonItem>> m_spaces;
};
