#include "platform/ui/WebView.h"

#include "platform/ui/Guard.h"
#include "platform/ui/SafeArea.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace platform::ui {

const QString WebView::ErrorDomain = QStringLiteral("NSURLErrorDomain");

WebViewDelegate::~WebViewDelegate() = default;
void WebViewDelegate::webViewDidStartLoad(WebView*)
{
}
void WebViewDelegate::webViewDidFinishLoad(WebView*)
{
}
void WebViewDelegate::webViewDidFailLoad(WebView*, const platform::Error&)
{
}

namespace {

// The mark an image the page may not have shows in its place. Never null: for a null
// image the text layout would read the image's name from the disk by itself.
QImage missingImage()
{
    static const QImage mark = [] {
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::gray);
        painter.drawRect(0, 0, 15, 15);
        painter.drawLine(3, 3, 12, 12);
        painter.drawLine(12, 3, 3, 12);
        return image;
    }();
    return mark;
}

// A page's document: every image or style sheet it asks for comes from what the view
// has already fetched, never straight from the disk as QTextDocument would by itself.
// Its images share one budget of decoded bytes; those past it show as missing.
class PageDocument : public QTextDocument {
public:
    using Loader = std::function<QByteArray(const QUrl&)>;
    PageDocument(Loader loader, qint64 imageBudget, QObject* parent)
        : QTextDocument(parent)
        , m_loader(std::move(loader))
        , m_imageRoom(imageBudget)
    {
    }

    // The image at the address, decoded from the data within what is left of the budget,
    // or the missing mark; each address is decided once.
    QImage takeImage(const QUrl& url, const QByteArray& data)
    {
        const auto decided = m_images.constFind(url);
        if (decided != m_images.constEnd())
            return decided.value();
        QImage image = decodeWithinRoom(data);
        if (image.isNull())
            image = missingImage();
        else
            m_imageRoom -= image.sizeInBytes();
        m_images.insert(url, image);
        addResource(ImageResource, url, image);
        return image;
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QUrl url = baseUrl().resolved(name);
        const QByteArray data = m_loader ? m_loader(url) : QByteArray();
        if (type == ImageResource)
            return takeImage(url, data);
        return data.isEmpty() ? QVariant() : QVariant(data);
    }

private:
    QImage decodeWithinRoom(const QByteArray& data) const
    {
        if (data.isEmpty() || m_imageRoom <= 0)
            return {};
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // Most formats tell their size and depth before decoding: an image that cannot
        // fit is not decoded at all.
        const QSize size = reader.size();
        if (size.isValid()) {
            const QImage::Format format = reader.imageFormat();
            const int bits = format == QImage::Format_Invalid
                ? 32
                : std::max(1, int(QImage::toPixelFormat(format).bitsPerPixel()));
            if (qint64(size.width()) * size.height() * ((bits + 7) / 8) > m_imageRoom)
                return {};
        }
        const QImage image = reader.read();
        return image.sizeInBytes() > m_imageRoom ? QImage() : image;
    }

    Loader m_loader;
    qint64 m_imageRoom;
    QHash<QUrl, QImage> m_images;
};

bool isWebScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// The image names a document refers to, each once.
QStringList imageNames(const QTextDocument& document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QString name = format.toImageFormat().name();
                if (!name.isEmpty() && !names.contains(name))
                    names.append(name);
            }
        }
    }
    return names;
}

} // namespace

WebView::WebView(QWidget* parent)
    : View(parent)
{
    setUp();
}

WebView::WebView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setUp();
}

WebView::~WebView()
{
    m_delegate = nullptr;
    cancelAll();
}

void WebView::setUp()
{
    m_browser = new QTextBrowser(this);
    // Links are ours to judge, never followed by the browser itself.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->setGeometry(rect());
    setBackgroundColor(m_browser->palette().color(QPalette::Base));
    connect(m_browser, &QTextBrowser::anchorClicked, this, &WebView::followLink);

    m_network = new QNetworkAccessManager(this);
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_pending) {
            // The page is here; what images are still coming are left out.
            for (auto it = m_replies.begin(); it != m_replies.end(); ++it) {
                disconnect(it.key(), nullptr, this, nullptr);
                it.key()->abort();
                it.key()->deleteLater();
            }
            m_replies.clear();
            finishShowing();
            return;
        }
        fail(TimedOut,
            QStringLiteral("The server did not answer within %1 seconds.").arg(m_timeout / 1000.0));
    });
}

void WebView::layoutSubviews()
{
    View::layoutSubviews();
    // The page keeps clear of a notch at the side; the view's white reaches under it.
    m_browser->setGeometry(rect().marginsRemoved(SafeArea::restingOverlap(this).toMargins()));
}

void WebView::setLocalRoot(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    m_localRoot = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

QString WebView::plainText() const
{
    return m_browser->toPlainText();
}

void WebView::loadRequest(const QUrl& url)
{
    Entry entry;
    entry.url = url;
    navigate(entry, true);
}

void WebView::loadHTMLString(const QString& html, const QUrl& baseURL)
{
    Entry entry;
    entry.url = baseURL;
    entry.html = html;
    entry.isHTML = true;
    navigate(entry, true);
}

void WebView::goBack()
{
    if (m_back.isEmpty())
        return;
    m_forward.prepend(m_current);
    m_current = m_back.takeLast();
    start(m_current);
}

void WebView::goForward()
{
    if (m_forward.isEmpty())
        return;
    m_back.append(m_current);
    m_current = m_forward.takeFirst();
    start(m_current);
}

void WebView::reload()
{
    if (m_hasCurrent)
        start(m_current);
}

void WebView::stopLoading()
{
    if (!m_loading)
        return;
    cancelAll();
    ++m_generation;
    m_loading = false;
}

void WebView::navigate(const Entry& entry, bool addToHistory)
{
    if (addToHistory && m_hasCurrent) {
        m_back.append(m_current);
        m_forward.clear();
    }
    m_current = entry;
    m_hasCurrent = true;
    start(entry);
}

void WebView::start(const Entry& entry)
{
    cancelAll();
    // A new page fetches its own; what the last one fetched is let go.
    m_resources.clear();
    const quint64 generation = ++m_generation;
    m_loading = true;
    m_showingFailure = false;
    if (entry.url.isLocalFile() && m_localRoot.isEmpty())
        setLocalRoot(QFileInfo(entry.url.toLocalFile()).absolutePath());
    emit loadStarted();
    if (m_delegate)
        guarded([&] { m_delegate->webViewDidStartLoad(this); });
    if (generation != m_generation)
        return; // the delegate started another load

    m_timer->start(m_timeout);
    if (entry.isHTML) {
        const QString html = entry.html;
        QTimer::singleShot(0, this, [this, generation, html] {
            if (generation == m_generation)
                show(html);
        });
    } else if (isWebScheme(entry.url)) {
        startReply(entry.url, true);
    } else if (entry.url.isLocalFile()) {
        QTimer::singleShot(0, this, [this, generation] {
            if (generation != m_generation)
                return;
            QFile file(m_current.url.toLocalFile());
            if (!file.exists()) {
                fail(FileDoesNotExist,
                    QStringLiteral("The file “%1” does not exist.").arg(file.fileName()));
                return;
            }
            if (file.size() > MaximumPageBytes) {
                fail(DataLengthExceedsMaximum,
                    QStringLiteral("The page is larger than %1 MB.").arg(MaximumPageBytes >> 20));
                return;
            }
            if (!file.open(QIODevice::ReadOnly)) {
                fail(NoPermissionsToReadFile,
                    QStringLiteral("The file “%1” could not be read: %2")
                        .arg(file.fileName(), file.errorString()));
                return;
            }
            pageArrived(file.readAll(), QString());
        });
    } else {
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                fail(UnsupportedURL,
                    QStringLiteral("The address “%1” cannot be shown here.")
                        .arg(m_current.url.toString()));
        });
    }
}

void WebView::startReply(const QUrl& url, bool isPage)
{
    QNetworkRequest request(url);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(m_timeout);
    QNetworkReply* reply = m_network->get(request);
    m_replies.insert(reply, isPage);
    // A page or image that says or shows it is too big is stopped at once.
    auto tooBig = [this, reply](qint64 received, qint64 total) {
        if (received <= MaximumPageBytes && total <= MaximumPageBytes)
            return;
        const bool page = m_replies.value(reply);
        m_replies.remove(reply);
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
        if (page) {
            fail(DataLengthExceedsMaximum,
                QStringLiteral("The page is larger than %1 MB.").arg(MaximumPageBytes >> 20));
        } else if (--m_pendingImages == 0) {
            finishShowing();
        }
    };
    connect(reply, &QNetworkReply::downloadProgress, this, tooBig);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinished(reply); });
}

void WebView::replyFinished(QNetworkReply* reply)
{
    if (!m_replies.contains(reply))
        return;
    const bool isPage = m_replies.take(reply);
    reply->deleteLater();
    const QUrl url = reply->request().url();
    if (isPage) {
        if (reply->error() != QNetworkReply::NoError) {
            const bool timedOut = reply->error() == QNetworkReply::OperationCanceledError
                || reply->error() == QNetworkReply::TimeoutError;
            fail(timedOut ? TimedOut : CannotLoadFromNetwork,
                timedOut ? QStringLiteral("The server did not answer within %1 seconds.")
                               .arg(m_timeout / 1000.0)
                         : reply->errorString());
            return;
        }
        // The address after redirects is the page's own: its links resolve against it.
        m_current.url = reply->url();
        pageArrived(reply->readAll(), reply->header(QNetworkRequest::ContentTypeHeader).toString());
        return;
    }
    if (reply->error() == QNetworkReply::NoError) {
        const QByteArray data = reply->readAll();
        if (data.size() <= MaximumPageBytes)
            m_resources.insert(url, data);
    }
    if (--m_pendingImages == 0)
        finishShowing();
}

QString WebView::decode(const QByteArray& data, const QString& contentType) const
{
    // The charset the response names, then the one the page names (or its byte-order
    // mark), then UTF-8 where the bytes are valid UTF-8, else Latin-1.
    static const QRegularExpression charset(
        QStringLiteral("charset\\s*=\\s*\"?([A-Za-z0-9_.:\\-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = charset.match(contentType);
    if (match.hasMatch()) {
        QStringDecoder decoder(match.captured(1).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(data);
    }
    QStringDecoder fromPage = QStringDecoder::decoderForHtml(data);
    if (fromPage.isValid()) {
        const QString text = fromPage.decode(data);
        if (!fromPage.hasError())
            return text;
    }
    return QString::fromLatin1(data);
}

void WebView::pageArrived(const QByteArray& data, const QString& contentType)
{
    show(decode(data, contentType));
}

bool WebView::isLocalPage() const
{
    return m_showingFailure || m_current.url.isLocalFile()
        || (m_current.isHTML && m_current.url.isEmpty());
}

bool WebView::mayReachFile(const QUrl& url) const
{
    if (!url.isLocalFile() || m_localRoot.isEmpty() || !isLocalPage())
        return false;
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    return !path.isEmpty() && (path == m_localRoot || path.startsWith(m_localRoot + '/'));
}

void WebView::show(const QString& html)
{
    const quint64 generation = m_generation;
    auto* document = new PageDocument(
        [this, generation](const QUrl& url) -> QByteArray {
            if (generation != m_generation)
                return {};
            const auto it = m_resources.constFind(url);
            if (it != m_resources.constEnd())
                return it.value();
            // Local pages read their own style sheets and images from their folder.
            if (mayReachFile(url)) {
                QFile file(url.toLocalFile());
                if (file.size() <= MaximumPageBytes && file.open(QIODevice::ReadOnly))
                    return file.readAll();
            }
            return {};
        },
        MaximumImageBytes, m_browser);
    document->setBaseUrl(m_current.url);
    document->setDefaultFont(m_browser->font());
    document->setDocumentMargin(DocumentMargin);
    document->setHtml(html);
    m_title = document->metaInformation(QTextDocument::DocumentTitle).trimmed();
    m_pending = document;
    collectImages();
}

void WebView::collectImages()
{
    const QUrl base = m_pending->baseUrl();
    int fetched = 0;
    m_pendingImages = 0;
    for (const QString& name : imageNames(*m_pending)) {
        const QUrl url = base.resolved(QUrl(name));
        if (m_resources.contains(url) || !isWebScheme(url) || fetched >= MaximumImages)
            continue; // local images are read as the page lays out, where allowed
        ++fetched;
        ++m_pendingImages;
        startReply(url, false);
    }
    if (m_pendingImages == 0) {
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation && m_pending)
                finishShowing();
        });
    }
}

void WebView::finishShowing()
{
    auto* document = static_cast<PageDocument*>(m_pending.data());
    m_pending = nullptr;
    m_pendingImages = 0;
    if (!document)
        return;
    const QUrl base = document->baseUrl();
    // Decoded once here, in the page's order, within the page's budget; the document finds
    // them by their full address.
    for (const QString& name : imageNames(*document)) {
        const QUrl url = base.resolved(QUrl(name));
        const auto it = m_resources.constFind(url);
        if (it != m_resources.constEnd())
            document->takeImage(url, it.value());
    }
    // The page holds what it shows now; the fetched bytes are not needed again.
    m_resources.clear();
    replaceDocument(document);
    m_timer->stop();
    m_loading = false;
    emit loadFinished(true);
    if (m_delegate)
        guarded([&] { m_delegate->webViewDidFinishLoad(this); });
}

void WebView::fail(qint64 code, const QString& reason)
{
    cancelAll();
    ++m_generation;
    m_loading = false;
    m_showingFailure = true;
    m_title.clear();
    const QString address = m_current.url.toString();
    const QString html = QStringLiteral("<html><body><h3>The page could not be loaded.</h3>"
                                        "<p>%1</p><p><small>%2</small></p>%3</body></html>")
                             .arg(escaped(reason), escaped(address), m_failureHTML);
    auto* document = new PageDocument([](const QUrl&) { return QByteArray(); }, 0, m_browser);
    document->setDefaultFont(m_browser->font());
    document->setDocumentMargin(DocumentMargin);
    document->setHtml(html);
    replaceDocument(document);

    QVariantMap info { { platform::Error::LocalizedDescriptionKey, reason } };
    if (!address.isEmpty())
        info.insert(QStringLiteral("NSErrorFailingURLStringKey"), address);
    const platform::Error error(ErrorDomain, code, info);
    emit loadFinished(false);
    if (m_delegate)
        guarded([&] { m_delegate->webViewDidFailLoad(this, error); });
}

void WebView::replaceDocument(QTextDocument* document)
{
    // Pages are ours (children of the browser); its first, empty one it deletes itself.
    QPointer<QTextDocument> previous = m_browser->document();
    const bool ours = previous && previous != document && previous->parent() == m_browser;
    m_browser->setDocument(document);
    if (ours && previous)
        previous->deleteLater();
}

void WebView::cancelAll()
{
    m_timer->stop();
    // Disconnected first: an abort reports at once, and no report may reach us now.
    const auto replies = m_replies.keys();
    m_replies.clear();
    for (QNetworkReply* reply : replies) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    if (m_pending)
        delete m_pending.data();
    m_pendingImages = 0;
}

void WebView::followLink(const QUrl& link)
{
    const QUrl url = m_current.url.resolved(link);
    // A jump within the page shown.
    if (link.toString().startsWith('#')
        || (url.adjusted(QUrl::RemoveFragment) == m_current.url.adjusted(QUrl::RemoveFragment)
            && url.hasFragment() && !m_showingFailure)) {
        m_browser->scrollToAnchor(url.fragment());
        return;
    }
    if (isWebScheme(url) || mayReachFile(url)) {
        Entry entry;
        entry.url = url;
        navigate(entry, true);
    }
    // Anything else (another scheme, a file a remote page names) is not followed.
}

} // namespace platform::ui
