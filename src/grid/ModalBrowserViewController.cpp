#include "grid/ModalBrowserViewController.h"

#include "grid/BrowserViewController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"

ModalBrowserViewController::ModalBrowserViewController(const QString& address, QObject* parent)
    : ModalBrowserViewController(QUrl(address), parent)
{
}

ModalBrowserViewController::ModalBrowserViewController(const QUrl& url, QObject* parent)
    : platform::ui::NavigationController(parent)
{
    auto* browser = new BrowserViewController(url);
    m_webViewController = browser;
    pushViewController(browser, false);
    browser->navigationItem()->setLeftBarButtonItem(new platform::ui::BarButtonItem(
        platform::ui::BarButtonItem::SystemItem::Done,
        [browser](platform::ui::BarButtonItem*) { browser->doneButtonClicked(); }, browser));
}

ModalBrowserViewController::~ModalBrowserViewController() = default;

void ModalBrowserViewController::setAvailableActions(unsigned actions)
{
    if (m_webViewController)
        m_webViewController->setAvailableActions(actions);
}

void ModalBrowserViewController::viewWillAppear(bool animated)
{
    platform::ui::NavigationController::viewWillAppear(animated);
    if (m_barsTintColor.isValid())
        navigationBar()->setTintColor(m_barsTintColor);
}
