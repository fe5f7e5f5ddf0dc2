#pragma once

#include "platform/ui/ViewController.h"

#include <QPointer>
#include <QStringList>

#include <functional>

namespace platform::ui {

class Button;
class ImagePickerControllerDelegate;
class Label;
class ScrollView;

// Picks a photo: thumbnails of the images of one folder (the Pictures folder), shown in
// the window; a tap on one picks its file. There is no camera, so that source is never
// available; the photo library and the saved album are both the folder.
class ImagePickerController : public ViewController {
    Q_OBJECT
public:
    enum SourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };
    // Tests: picks for each picker as it appears, with the path returned (an empty path
    // cancels).
    using AutoResponder = std::function<QString(const QStringList& files)>;

    explicit ImagePickerController(QObject* parent = nullptr);
    ~ImagePickerController() override;

    static bool isSourceTypeAvailable(int source);
    // The folder the photos come from: the desktop's Pictures folder unless set (tests).
    static QString picturesFolder();
    static void setPicturesFolder(const QString& folder);
    static void setAutoResponder(AutoResponder responder);

    int sourceType() const { return m_sourceType; }
    void setSourceType(int source) { m_sourceType = source; }
    ImagePickerControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(ImagePickerControllerDelegate* delegate) { m_delegate = delegate; }

    // The image files of the folder, by name.
    QStringList files() const { return m_files; }
    // One button per file, in the order of files().
    QList<Button*> thumbnailButtons() const;
    // As a tap on a thumbnail, and on Cancel.
    void pick(const QString& path);
    void cancel();

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

    static constexpr double ThumbnailSide = 75;
    static constexpr double ThumbnailGap = 4;

private:
    void reloadFiles();

    int m_sourceType = PhotoLibrary;
    ImagePickerControllerDelegate* m_delegate = nullptr;
    QStringList m_files;
    QPointer<ScrollView> m_scrollView;
    QPointer<Label> m_emptyLabel;
    QList<QPointer<Button>> m_thumbnails;
};

} // namespace platform::ui
