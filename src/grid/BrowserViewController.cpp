#include "grid/BrowserViewController.h"

#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/Product.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QClipboard>
#include <QGuiApplication>

using platform::ui::BarButtonItem;

const QString BrowserViewController::StringsTable = QStringLiteral("BrowserViewController");
const QString BrowserViewController::NeedsNavigationMessage = QStringLiteral(
    "BrowserViewController needs to be contained in a UINavigationController. If you are "
    "presenting BrowserViewController modally, use ModalBrowserViewController instead.");

namespace {

const QString kCopyLink = QStringLiteral("Copy Link");
const QString kOpenInSafari = QStringLiteral("Open in Safari");
const QString kOpenInChrome = QStringLiteral("Open in Chrome");
const QString kMailLink = QStringLiteral("Mail Link to this Page");
const QString kCancel = QStringLiteral("Cancel");
// Kept with the page, never run: the text view runs no scripts.
const QString kViewportScript = QStringLiteral(
    "var meta = document.createElement('meta'); meta.setAttribute('name', 'viewport'); "
    "meta.setAttribute('content', 'width=device-width'); "
    "document.getElementsByTagName('head')[0].appendChild(meta);");
constexpr double kFixedSpaceWidth = 5;
constexpr double kArrowWidth = 18;

platform::ui::Device& device()
{
    return platform::ui::Device::current();
}

} // namespace

BrowserViewController::BrowserViewController(const QString& address, QObject* parent)
    : BrowserViewController(QUrl(address), parent)
{
}

BrowserViewController::BrowserViewController(const QUrl& url, QObject* parent)
    : OrietnationViewController(parent)
    , m_URL(url)
{
}

BrowserViewController::~BrowserViewController()
{
    if (m_mainWebView) {
        m_mainWebView->setDelegate(nullptr);
        m_mainWebView->stopLoading();
    }
    device().setNetworkActivityIndicatorVisible(false);
}

QString BrowserViewController::localizedTitle(const QString& english)
{
    return LocalizedStrings::getLocalizedString(english, StringsTable);
}

QString BrowserViewController::bundledHelpFolder()
{
    return platform::Folders::resources() + QStringLiteral("/Web");
}

QUrl BrowserViewController::bundledHelpURL()
{
    return QUrl::fromLocalFile(bundledHelpFolder() + QStringLiteral("/index.html"));
}

QUrl BrowserViewController::chromeURL(const QUrl& address)
{
    const QString scheme = address.scheme().toLower();
    QString chrome;
    if (scheme == QLatin1String("http"))
        chrome = QStringLiteral("googlechrome");
    else if (scheme == QLatin1String("https"))
        chrome = QStringLiteral("googlechromes");
    else
        return {};
    const QString absolute = address.toString();
    return QUrl(chrome + absolute.mid(absolute.indexOf(':')));
}

void BrowserViewController::loadView()
{
    auto* web = new platform::ui::WebView(QRectF(QPointF(), DeviceHelper::getScreenSize().size()));
    web->addUserScript(kViewportScript);
    web->setDelegate(this);
    // The maker's pages are the online help: when they cannot come, the bundled ones can.
    if (m_URL.host().compare(QLatin1String(Product::webSiteHost), Qt::CaseInsensitive) == 0) {
        web->setLocalRoot(bundledHelpFolder());
        web->setFailureHTML(QStringLiteral("<p><a href=\"%1\">Read the help that comes with %2"
                                           "</a> instead.</p>")
                                .arg(bundledHelpURL().toString().toHtmlEscaped(),
                                    QString::fromLatin1(Product::name)));
    }
    m_mainWebView = web;
    setView(web);
    loadURL(m_URL);
}

void BrowserViewController::viewDidLoad()
{
    OrietnationViewController::viewDidLoad();
    updateToolbarItems();
}

void BrowserViewController::viewWillAppear(bool animated)
{
    if (!navigationController())
        throw platform::Exception(
            QStringLiteral("NSInternalInconsistencyException"), NeedsNavigationMessage);
    OrietnationViewController::viewWillAppear(animated);
    if (device().isPhone())
        navigationController()->setToolbarHidden(false, animated);
}

void BrowserViewController::viewWillDisappear(bool animated)
{
    OrietnationViewController::viewWillDisappear(animated);
    if (device().isPhone() && navigationController())
        navigationController()->setToolbarHidden(true, animated);
}

void BrowserViewController::viewDidDisappear(bool animated)
{
    OrietnationViewController::viewDidDisappear(animated);
    device().setNetworkActivityIndicatorVisible(false);
}

void BrowserViewController::loadURL(const QUrl& url)
{
    if (m_mainWebView)
        m_mainWebView->loadRequest(url);
}

BarButtonItem* BrowserViewController::backBarButtonItem()
{
    if (!m_back) {
        m_back = new BarButtonItem(
            platform::ui::Image::named(QStringLiteral("BrowserViewController.bundle/iPhone/back")),
            BarButtonItem::Style::Plain, [this](BarButtonItem*) { goBackClicked(); }, this);
        m_back->setWidth(kArrowWidth);
    }
    return m_back;
}

BarButtonItem* BrowserViewController::forwardBarButtonItem()
{
    if (!m_forward) {
        m_forward = new BarButtonItem(
            platform::ui::Image::named(
                QStringLiteral("BrowserViewController.bundle/iPhone/forward")),
            BarButtonItem::Style::Plain, [this](BarButtonItem*) { goForwardClicked(); }, this);
        m_forward->setWidth(kArrowWidth);
    }
    return m_forward;
}

BarButtonItem* BrowserViewController::refreshBarButtonItem()
{
    if (!m_refresh)
        m_refresh = new BarButtonItem(
            BarButtonItem::SystemItem::Refresh, [this](BarButtonItem*) { reloadClicked(); }, this);
    return m_refresh;
}

BarButtonItem* BrowserViewController::stopBarButtonItem()
{
    if (!m_stop)
        m_stop = new BarButtonItem(
            BarButtonItem::SystemItem::Stop, [this](BarButtonItem*) { stopClicked(); }, this);
    return m_stop;
}

BarButtonItem* BrowserViewController::actionBarButtonItem()
{
    if (!m_action)
        m_action = new BarButtonItem(
            BarButtonItem::SystemItem::Action, [this](BarButtonItem*) { actionButtonClicked(); },
            this);
    return m_action;
}

void BrowserViewController::goBackClicked()
{
    if (m_mainWebView)
        m_mainWebView->goBack();
}

void BrowserViewController::goForwardClicked()
{
    if (m_mainWebView)
        m_mainWebView->goForward();
}

void BrowserViewController::reloadClicked()
{
    if (m_mainWebView)
        m_mainWebView->reload();
}

void BrowserViewController::stopClicked()
{
    if (m_mainWebView)
        m_mainWebView->stopLoading();
    device().setNetworkActivityIndicatorVisible(false);
    updateToolbarItems();
}

void BrowserViewController::doneButtonClicked()
{
    if (ViewController* presenter = navigationController()
            ? navigationController()->presentingViewController()
            : presentingViewController())
        presenter->dismissViewController(true);
}

QList<BarButtonItem*> BrowserViewController::spaces(int count, bool flexible)
{
    QList<BarButtonItem*> made;
    for (int i = 0; i < count; ++i) {
        auto* space = new BarButtonItem(flexible ? BarButtonItem::SystemItem::FlexibleSpace
                                                 : BarButtonItem::SystemItem::FixedSpace,
            {}, this);
        if (!flexible)
            space->setWidth(kFixedSpaceWidth);
        made.append(space);
    }
    return made;
}

void BrowserViewController::updateToolbarItems()
{
    platform::ui::WebView* web = m_mainWebView;
    const bool loading = web && web->isLoading();
    backBarButtonItem()->setEnabled(web && web->canGoBack());
    forwardBarButtonItem()->setEnabled(web && web->canGoForward());
    actionBarButtonItem()->setEnabled(!loading);
    BarButtonItem* middle = loading ? stopBarButtonItem() : refreshBarButtonItem();

    const QList<QPointer<BarButtonItem>> previous = m_spaces;
    m_spaces.clear();
    auto fixed = [this] {
        BarButtonItem* item = spaces(1, false).first();
        m_spaces.append(item);
        return item;
    };
    auto flexible = [this] {
        BarButtonItem* item = spaces(1, true).first();
        m_spaces.append(item);
        return item;
    };
    const bool actions = m_availableActions != 0;
    QList<BarButtonItem*> items;
    if (device().isPad()) {
        // From the right edge inwards.
        if (actions)
            items = { fixed(), actionBarButtonItem(), fixed(), forwardBarButtonItem(), flexible(),
                backBarButtonItem(), flexible(), middle, flexible() };
        else
            items = { fixed(), forwardBarButtonItem(), fixed(), backBarButtonItem(), flexible(),
                middle, flexible() };
        navigationItem()->setRightBarButtonItems(items);
    } else {
        if (actions)
            items = { fixed(), backBarButtonItem(), flexible(), forwardBarButtonItem(), flexible(),
                middle, flexible(), actionBarButtonItem(), fixed() };
        else
            items = { flexible(), backBarButtonItem(), flexible(), forwardBarButtonItem(),
                flexible(), middle, flexible() };
        setToolbarItems(items);
    }
    for (const QPointer<BarButtonItem>& space : previous)
        if (space)
            space->deleteLater();
}

platform::ui::ActionSheet* BrowserViewController::pageActionSheet()
{
    if (m_pageActionSheet)
        return m_pageActionSheet;
    QStringList titles;
    if (m_availableActions & CopyLink)
        titles.append(localizedTitle(kCopyLink));
    if (m_availableActions & OpenInSafari)
        titles.append(localizedTitle(kOpenInSafari));
    if ((m_availableActions & OpenInChrome)
        && platform::ui::Application::shared().canOpenURL(QUrl(QStringLiteral("googlechrome://"))))
        titles.append(localizedTitle(kOpenInChrome));
    if ((m_availableActions & MailLink) && platform::ui::MailComposeViewController::canSendMail())
        titles.append(localizedTitle(kMailLink));
    const QString address = m_mainWebView ? m_mainWebView->URL().toString() : m_URL.toString();
    m_pageActionSheet
        = new platform::ui::ActionSheet(address, this, localizedTitle(kCancel), QString(), titles);
    return m_pageActionSheet;
}

void BrowserViewController::actionButtonClicked()
{
    if (m_pageActionSheet)
        return; // one is open
    platform::ui::ActionSheet* sheet = pageActionSheet();
    if (device().isPad()) {
        platform::ui::View* button = actionBarButtonItem()->view();
        if (button && view()->isAncestorOf(button))
            sheet->showFromRect(button->convertRectToView(button->bounds(), view()), view());
        else if (button && navigationController())
            sheet->showFromRect(
                button->convertRectToView(button->bounds(), navigationController()->view()),
                navigationController()->view());
        else
            sheet->showInView(view());
    } else {
        sheet->showInView(navigationController() ? navigationController()->view() : view());
    }
}

void BrowserViewController::actionSheetClickedButtonAtIndex(
    platform::ui::ActionSheet* sheet, int buttonIndex)
{
    // Whatever the choice, the next tap builds a sheet with the address of that time.
    m_pageActionSheet = nullptr;
    if (!sheet || !m_mainWebView)
        return;
    const QString title = sheet->buttonTitleAtIndex(buttonIndex);
    const QUrl current = m_mainWebView->URL();
    auto& application = platform::ui::Application::shared();
    if (title == localizedTitle(kOpenInSafari)) {
        (void)application.openURL(current);
    } else if (title == localizedTitle(kOpenInChrome)) {
        const QUrl chrome = chromeURL(current);
        if (!chrome.isEmpty())
            (void)application.openURL(chrome);
    } else if (title == localizedTitle(kCopyLink)) {
        QGuiApplication::clipboard()->setText(current.toString());
    } else if (title == localizedTitle(kMailLink)) {
        platform::ui::MailComposeViewController* composer
            = platform::ui::MailComposeViewController::create();
        composer->setMailComposeDelegate(this);
        composer->setSubject(m_mainWebView->title());
        composer->setMessageBody(current.toString(), false);
        composer->setModalPresentationStyle(ViewController::ModalPresentationStyle::FormSheet);
        ViewController* presenter = navigationController();
        if (!presenter)
            presenter = this;
        presenter->presentViewController(composer, true);
    }
}

void BrowserViewController::mailComposeControllerDidFinish(
    platform::ui::MailComposeViewController* controller, platform::ui::MailComposeResult,
    const platform::Error&)
{
    if (controller && controller->presentingViewController())
        controller->presentingViewController()->dismissViewController(true);
}

void BrowserViewController::webViewDidStartLoad(platform::ui::WebView*)
{
    device().setNetworkActivityIndicatorVisible(true);
    updateToolbarItems();
}

void BrowserViewController::webViewDidFinishLoad(platform::ui::WebView* view)
{
    device().setNetworkActivityIndicatorVisible(false);
    navigationItem()->setTitle(view ? view->title() : QString());
    updateToolbarItems();
}

void BrowserViewController::webViewDidFailLoad(platform::ui::WebView*, const platform::Error&)
{
    device().setNetworkActivityIndicatorVisible(false);
    updateToolbarItems();
}
