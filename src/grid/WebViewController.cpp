#include "grid/WebViewController.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/WebView.h"

#include <QUrl>

WebViewController::WebViewController(const QString& webUrl, const QString& title, QObject* parent)
    : OrietnationViewController(parent)
    , m_webUrl(webUrl)
{
    setTitle(title);
}

WebViewController::~WebViewController()
{
    if (m_webView)
        m_webView->stopLoading();
}

void WebViewController::loadView()
{
    OrietnationViewController::loadView();
    setupView();
}

void WebViewController::setupView()
{
    auto* web = new platform::ui::WebView();
    m_webView = web;
    setView(web);
    web->loadRequest(QUrl(m_webUrl));
}

void WebViewController::viewDidLoad()
{
    OrietnationViewController::viewDidLoad();
    if (navigationController())
        navigationController()->setToolbarHidden(true, false);
}
