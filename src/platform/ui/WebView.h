#pragma once

#include "platform/Error.h"
#include "platform/ui/View.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;
class QTextDocument;
class QTimer;

namespace platform::ui {

class WebView;

// What a web view tells its delegate; every method is optional.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate();
    virtual void webViewDidStartLoad(WebView* view);
    virtual void webViewDidFinishLoad(WebView* view);
    virtual void webViewDidFailLoad(WebView* view, const platform::Error& error);
};

// A web page view over QTextBrowser: HTML 4 with basic CSS and images, no scripts, frames
// or forms. Pages come over http and https (Qt Network) or from local files the
// application names; images are fetched before a page shows, so it appears whole. The
// decoded images of a page share one budget (those past it show as missing), and what a
// page fetched is let go when the next one loads. A page from the network never reaches
// a local file, by link or by image; local pages may link to each other inside the
// folder of the first local page. Links of any other scheme are not followed. A failed
// load shows its reason in the view. Stopping or deleting the view cancels what is in
// flight, so no delegate call comes after either.
class WebView : public View {
    Q_OBJECT
public:
    explicit WebView(QWidget* parent = nullptr);
    explicit WebView(const QRectF& frame, QWidget* parent = nullptr);
    ~WebView() override;

    WebViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(WebViewDelegate* delegate) { m_delegate = delegate; }

    void loadRequest(const QUrl& url);
    // Shows the HTML as if it came from the base address (relative links and images
    // resolve against it); a local or empty base counts as a local page.
    void loadHTMLString(const QString& html, const QUrl& baseURL);
    void goBack();
    void goForward();
    void reload();
    void stopLoading();
    bool canGoBack() const { return !m_back.isEmpty(); }
    bool canGoForward() const { return !m_forward.isEmpty(); }
    bool isLoading() const { return m_loading; }
    // The shown page's title and address (the address being loaded while loading).
    QString title() const { return m_title; }
    QUrl URL() const { return m_current.url; }

    // Scripts a page would run: kept, never run, since the view runs no scripts.
    void addUserScript(const QString& source) { m_userScripts.append(source); }
    QStringList userScripts() const { return m_userScripts; }

    // The folder local pages may reach; set from the first local page loaded, or here.
    QString localRoot() const { return m_localRoot; }
    void setLocalRoot(const QString& folder);
    // HTML added under the reason on a failure page (an offer of local pages, say).
    void setFailureHTML(const QString& html) { m_failureHTML = html; }

    // The limits of one load; tests shorten the time.
    int timeoutInterval() const { return m_timeout; }
    void setTimeoutInterval(int milliseconds) { m_timeout = milliseconds; }
    static constexpr int DefaultTimeout = 20000;
    static constexpr qint64 MaximumPageBytes = 5 * 1024 * 1024;
    static constexpr int MaximumImages = 64;
    // The decoded images of one page together; those past it show as missing.
    static constexpr qint64 MaximumImageBytes = 128 * 1024 * 1024;
    static constexpr double DocumentMargin = 10;

    // The text shown now (what a person reads) and the view that shows it.
    QString plainText() const;
    QTextBrowser* textBrowser() const { return m_browser; }
    // Follows a link as a click on it would.
    void followLink(const QUrl& link);

    static const QString ErrorDomain; // "NSURLErrorDomain"
    enum ErrorCode {
        TimedOut = -1001,
        UnsupportedURL = -1002,
        CannotLoadFromNetwork = -1005,
        ResourceUnavailable = -1008,
        BadServerResponse = -1011,
        DataLengthExceedsMaximum = -1103,
        FileDoesNotExist = -1100,
        NoPermissionsToReadFile = -1102,
    };

    void layoutSubviews() override;

signals:
    void loadStarted();
    void loadFinished(bool ok);

private:
    struct Entry {
        QUrl url;
        QString html; // set for pages the application gave as HTML
        bool isHTML = false;
    };

    void setUp();
    void navigate(const Entry& entry, bool addToHistory);
    void start(const Entry& entry);
    void startReply(const QUrl& url, bool isPage);
    void replyFinished(QNetworkReply* reply);
    void fail(qint64 code, const QString& reason);
    void pageArrived(const QByteArray& data, const QString& contentType);
    void show(const QString& html);
    void collectImages();
    void finishShowing();
    void cancelAll();
    void replaceDocument(QTextDocument* document);
    bool isLocalPage() const;
    bool mayReachFile(const QUrl& url) const;
    QString decode(const QByteArray& data, const QString& contentType) const;

    WebViewDelegate* m_delegate = nullptr;
    QTextBrowser* m_browser = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QTimer* m_timer = nullptr;
    QList<Entry> m_back;
    QList<Entry> m_forward;
    Entry m_current;
    bool m_hasCurrent = false;
    bool m_loading = false;
    QString m_title;
    QStringList m_userScripts;
    QString m_localRoot;
    QString m_failureHTML;
    int m_timeout = DefaultTimeout;
    // Replies in flight, with what each was fetched for.
    QHash<QNetworkReply*, bool> m_replies;
    QPointer<QTextDocument> m_pending;
    int m_pendingImages = 0;
    // The images fetched for the page being loaded, by their full address.
    QHash<QUrl, QByteArray> m_resources;
    bool m_showingFailure = false;
    quint64 m_generation = 0;
};

} // namespace platform::ui
