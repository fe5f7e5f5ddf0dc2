#include "platform/ui/PreviewController.h"

#include "platform/Folders.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PdfPagesView.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/View.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace platform::ui {

const QString PreviewController::OpenWithTitle = QStringLiteral("Open with…");

namespace {

// An image drawn whole inside the pane, never larger than it is.
class ImagePane : public QWidget {
public:
    explicit ImagePane(QImage image)
        : m_image(std::move(image))
    {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QSizeF size = m_image.deviceIndependentSize();
        if (size.width() > width() || size.height() > height())
            size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        const QRectF target(
            QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
    }

private:
    QImage m_image;
};

const QStringList& documentSuffixes()
{
    static const QStringList suffixes { "pdf", "csv", "xls", "xlsx", "txt", "text", "log", "png",
        "jpg", "jpeg", "gif", "bmp", "webp", "tif", "tiff", "zip" };
    return suffixes;
}

// Content that runs or launches, whatever the file's name says.
bool looksRunnable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(64);
    if (head.startsWith("\x7f"
                        "ELF")
        || head.startsWith("#!") || head.startsWith("MZ") || head.contains("[Desktop Entry]"))
        return true;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent);
    for (const char* runnable :
        { "application/x-executable", "application/x-sharedlib", "application/x-desktop",
            "application/x-shellscript", "text/x-shellscript", "application/x-msdownload" })
        if (type.inherits(QString::fromLatin1(runnable)))
            return true;
    return false;
}

} // namespace

PreviewController::PreviewController(QObject* parent)
    : ViewController(parent)
    , m_handOverFolders { Folders::documents(), Folders::resources() }
{
}

PreviewController::~PreviewController() = default;

PdfPagesView* PreviewController::pdfView() const
{
    return m_pdf;
}

BarButtonItem* PreviewController::openWithItem() const
{
    return m_openWith;
}

void PreviewController::setUrl(const QUrl& url)
{
    m_url = url;
    if (isViewLoaded())
        showContent();
}

void PreviewController::loadView()
{
    ViewController::loadView();
    m_openWith = new BarButtonItem(
        OpenWithTitle, BarButtonItem::Style::Plain, [this](BarButtonItem*) { openWith(); }, this);
    navigationItem()->setRightBarButtonItem(m_openWith);
    showContent();
}

void PreviewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    // The keys zoom the pages at once, as the wheel does.
    if (m_pdf)
        m_pdf->setFocus(Qt::OtherFocusReason);
}

void PreviewController::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    if (m_content)
        m_content->setGeometry(contentRect());
}

QRect PreviewController::contentRect()
{
    // The file keeps clear of a notch at the side, measured where the screen comes to rest.
    return view()->rect().marginsRemoved(SafeArea::restingOverlap(view()).toMargins());
}

void PreviewController::setContent(QWidget* content)
{
    delete m_content.data();
    m_content = content;
    content->setParent(view());
    content->setGeometry(contentRect());
    content->show();
}

void PreviewController::showContent()
{
    m_problem.clear();
    m_text.clear();
    m_cut = false;
    const QString path = m_url.toLocalFile();
    const QFileInfo info(path);
    setTitle(info.fileName());
    if (path.isEmpty() || !info.isFile()) {
        m_kind = Kind::None;
        m_kindDescription.clear();
        showDetails(path, QStringLiteral("The file could not be found."));
        return;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    m_kindDescription = type.comment();
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(8) : QByteArray();
    if (head.startsWith("%PDF-") || type.inherits(QStringLiteral("application/pdf"))) {
        m_kind = Kind::Pdf;
        showPdf(path);
    } else if (type.name().startsWith(QLatin1String("image/"))
        && !QImageReader::imageFormat(path).isEmpty()) {
        m_kind = Kind::Image;
        showImage(path);
    } else if (type.inherits(QStringLiteral("text/plain"))) {
        m_kind = Kind::Text;
        showText(path,
            type.inherits(QStringLiteral("text/csv"))
                || type.inherits(QStringLiteral("text/tab-separated-values")));
    } else {
        m_kind = Kind::Other;
        showDetails(path, QString());
    }
}

void PreviewController::showPdf(const QString& path)
{
    auto* pages = new PdfPagesView();
    if (!pages->load(path)) {
        delete pages;
        showDetails(path, QStringLiteral("This PDF could not be read: it is damaged or locked."));
        return;
    }
    connect(pages, &PdfPagesView::linkActivated, this, &PreviewController::openLink);
    m_pdf = pages;
    setContent(pages);
}

void PreviewController::showImage(const QString& path)
{
    // The reader refuses images whose pixels would pass its allocation limit.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        showDetails(
            path, QStringLiteral("This image could not be shown: %1").arg(reader.errorString()));
        return;
    }
    setContent(new ImagePane(image));
}

void PreviewController::showText(const QString& path, bool tabular)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showDetails(path, file.errorString());
        return;
    }
    const QByteArray data = file.read(MaximumTextBytes);
    m_cut = file.size() > MaximumTextBytes;
    // A byte-order mark names its encoding; otherwise UTF-8 when the bytes are UTF-8
    // (a character cut at the 4 MB edge left out), else Latin-1.
    std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(data);
    QStringDecoder decoder(marked.value_or(QStringConverter::Utf8));
    QString text = decoder.decode(data);
    if (decoder.hasError() && !marked)
        text = QString::fromLatin1(data);
    if (!text.isEmpty() && text.front() == QChar(0xFEFF))
        text.remove(0, 1);
    m_text = text;

    auto* pane = new QWidget();
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_cut) {
        auto* note = new QLabel(QStringLiteral("Only the first %1 MB of %2 are shown.")
                                    .arg(MaximumTextBytes >> 20)
                                    .arg(QLocale().formattedDataSize(file.size())));
        note->setMargin(6);
        note->setObjectName(QStringLiteral("cutNote"));
        layout->addWidget(note);
    }
    auto* editor = new QPlainTextEdit();
    editor->setReadOnly(true);
    editor->setFrameShape(QFrame::NoFrame);
    editor->setLineWrapMode(tabular ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setPlainText(text);
    layout->addWidget(editor);
    setContent(pane);
}

void PreviewController::showDetails(const QString& path, const QString& problem)
{
    m_problem = problem;
    const QFileInfo info(path);
    auto* pane = new QWidget();
    pane->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(pane);
    layout->addStretch();
    auto addLine = [layout](const QString& text, bool bold) {
        auto* label = new QLabel(text);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        if (bold) {
            QFont font = label->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.3);
            label->setFont(font);
        }
        layout->addWidget(label);
    };
    addLine(info.fileName(), true);
    if (!m_kindDescription.isEmpty())
        addLine(m_kindDescription, false);
    if (info.isFile())
        addLine(QLocale().formattedDataSize(info.size()), false);
    if (!problem.isEmpty())
        addLine(problem, false);
    layout->addStretch();
    setContent(pane);
}

bool PreviewController::mayHandOver(const QString& path) const
{
    const QFileInfo info(path);
    // The file a link leads to is the one judged.
    const QString target = info.canonicalFilePath();
    if (target.isEmpty())
        return false;
    const QFileInfo file(target);
    if (!file.isFile() || file.isExecutable() || !file.isReadable())
        return false;
    if (!documentSuffixes().contains(file.suffix().toLower()) || looksRunnable(target))
        return false;
    for (const QString& folder : m_handOverFolders) {
        const QString root = QFileInfo(folder).canonicalFilePath();
        if (!root.isEmpty() && target.startsWith(root + '/'))
            return true;
    }
    return false;
}

bool PreviewController::openWith()
{
    const QString path = m_url.toLocalFile();
    const QString name = QFileInfo(path).fileName();
    QString problem;
    if (!mayHandOver(path))
        problem = QStringLiteral("“%1” is not a document that can be handed to another program.")
                      .arg(name);
    else if (!Application::shared().openURL(
                 QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath())))
        problem = QStringLiteral("No program could open “%1”.").arg(name);
    if (problem.isEmpty())
        return true;
    (new AlertView(OpenWithTitle, problem, nullptr, QStringLiteral("Ok")))->show();
    return false;
}

bool PreviewController::shouldOpenURL(const QUrl& link) const
{
    const QString scheme = link.scheme().toLower();
    return link.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto"));
}

void PreviewController::openLink(const QUrl& link)
{
    if (shouldOpenURL(link))
        (void)Application::shared().openURL(link);
}

} // namespace platform::ui
