#pragma once

#include "grid/OrietnationViewController.h"
#include "platform/ui/WebView.h"

#include <QPointer>
#include <QString>

// A bare screen that shows one address, without toolbar.
class WebViewController : public OrietnationViewController {
    Q_OBJECT
public:
    // initWithWebUrl:title:.
    WebViewController(const QString& webUrl, const QString& title, QObject* parent = nullptr);
    ~WebViewController() override;

    QString webUrl() const { return m_webUrl; }
    platform::ui::WebView* webView() const { return m_webView; }

    void loadView() override;
    void setupView();
    void viewDidLoad() override;

private:
    QString m_webUrl;
    QPointer<platform::ui::WebView> m_webView;
};
