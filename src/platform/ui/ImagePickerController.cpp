#include "platform/ui/ImagePickerController.h"

#include "platform/Dispatch.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ScrollView.h"

#include <QDir>
#include <QImageReader>
#include <QMutex>
#include <QStandardPaths>

#include <cmath>

namespace platform::ui {

namespace {

struct PickerSettings {
    QMutex mutex;
    QString folder;
    ImagePickerController::AutoResponder responder;
};

PickerSettings& settings()
{
    static PickerSettings shared;
    return shared;
}

// A thumbnail read at the size it is shown (twice, for sharp screens): a large photo is
// never decoded whole for it.
Image thumbnailOf(const QString& path, double side)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && size.width() > 0 && size.height() > 0) {
        const double scale = std::min(1.0, 2 * side / std::min(size.width(), size.height()));
        reader.setScaledSize(QSize(std::max(1, int(std::lround(size.width() * scale))),
            std::max(1, int(std::lround(size.height() * scale)))));
    }
    const QImage image = reader.read();
    return image.isNull() ? Image() : Image(image, 2.0);
}

} // namespace

ImagePickerController::ImagePickerController(QObject* parent)
    : ViewController(parent)
{
    setTitle(QStringLiteral("Photos"));
}

ImagePickerController::~ImagePickerController() = default;

bool ImagePickerController::isSourceTypeAvailable(int source)
{
    return source == PhotoLibrary || source == SavedPhotosAlbum;
}

QString ImagePickerController::picturesFolder()
{
    PickerSettings& shared = settings();
    QMutexLocker lock(&shared.mutex);
    if (!shared.folder.isEmpty())
        return shared.folder;
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}

void ImagePickerController::setPicturesFolder(const QString& folder)
{
    PickerSettings& shared = settings();
    QMutexLocker lock(&shared.mutex);
    shared.folder = folder;
}

void ImagePickerController::setAutoResponder(AutoResponder responder)
{
    PickerSettings& shared = settings();
    QMutexLocker lock(&shared.mutex);
    shared.responder = std::move(responder);
}

QList<Button*> ImagePickerController::thumbnailButtons() const
{
    QList<Button*> buttons;
    for (const QPointer<Button>& button : m_thumbnails)
        if (button)
            buttons.append(button);
    return buttons;
}

void ImagePickerController::pick(const QString& path)
{
    if (m_delegate)
        m_delegate->imagePickerControllerDidFinishPicking(this, path);
}

void ImagePickerController::cancel()
{
    if (m_delegate)
        m_delegate->imagePickerControllerDidCancel(this);
}

void ImagePickerController::loadView()
{
    auto* root = new View;
    root->setBackgroundColor(Qt::white);
    m_scrollView = new ScrollView;
    m_scrollView->setBackgroundColor(Qt::white);
    root->addSubview(m_scrollView);
    m_emptyLabel = new Label;
    m_emptyLabel->setText(QStringLiteral("No Photos"));
    m_emptyLabel->setTextAlignment(Qt::AlignCenter);
    m_emptyLabel->setTextColor(QColor(142, 142, 147));
    root->addSubview(m_emptyLabel);
    setView(root);
}

void ImagePickerController::viewDidLoad()
{
    ViewController::viewDidLoad();
    QPointer<ImagePickerController> self(this);
    auto* cancelItem = new BarButtonItem(BarButtonItem::SystemItem::Cancel, [self](BarButtonItem*) {
        if (self)
            self->cancel();
    });
    cancelItem->setParent(this);
    navigationItem()->setRightBarButtonItem(cancelItem);
    reloadFiles();
}

void ImagePickerController::reloadFiles()
{
    QStringList filters;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    const QDir folder(picturesFolder());
    m_files.clear();
    for (const QString& name :
        folder.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase))
        m_files << folder.filePath(name);
    for (const QPointer<Button>& button : m_thumbnails)
        delete button.data();
    m_thumbnails.clear();
    for (const QString& path : m_files) {
        auto* button = new Button;
        button->setBackgroundColor(QColor(0, 0, 0, 20));
        button->setClipsToBounds(true);
        auto* thumbnail = new ImageView(thumbnailOf(path, ThumbnailSide), button);
        thumbnail->setContentMode(ImageView::ContentMode::ScaleAspectFill);
        thumbnail->setUserInteractionEnabled(false);
        button->setFrame(QRectF(0, 0, ThumbnailSide, ThumbnailSide));
        thumbnail->setFrame(QRectF(0, 0, ThumbnailSide, ThumbnailSide));
        QPointer<ImagePickerController> self(this);
        button->addTarget(
            [self, path](Control*) {
                if (self)
                    self->pick(path);
            },
            ControlEventTouchUpInside);
        m_scrollView->addSubview(button);
        m_thumbnails.append(button);
    }
    m_emptyLabel->setHidden(!m_files.isEmpty());
    view()->setNeedsLayout();
}

void ImagePickerController::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    const QRectF bounds = view()->bounds();
    m_scrollView->setFrame(bounds);
    m_emptyLabel->setFrame(bounds);
    const double step = ThumbnailSide + ThumbnailGap;
    const int columns = std::max(1, int((bounds.width() - ThumbnailGap) / step));
    int index = 0;
    for (const QPointer<Button>& button : m_thumbnails) {
        if (!button)
            continue;
        button->setFrame(QRectF(ThumbnailGap + (index % columns) * step,
            ThumbnailGap + (index / columns) * step, ThumbnailSide, ThumbnailSide));
        ++index;
    }
    const int rows = (index + columns - 1) / columns;
    m_scrollView->setContentSize(QSizeF(bounds.width(), ThumbnailGap + rows * step));
}

void ImagePickerController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    AutoResponder responder;
    {
        PickerSettings& shared = settings();
        QMutexLocker lock(&shared.mutex);
        responder = shared.responder;
    }
    if (!responder)
        return;
    QPointer<ImagePickerController> self(this);
    const QStringList files = m_files;
    platform::dispatch::asyncMain([self, responder, files] {
        if (!self)
            return;
        const QString path = responder(files);
        if (path.isEmpty())
            self->cancel();
        else
            self->pick(path);
    });
}

} // namespace platform::ui
