#pragma once

#include "platform/ui/PreviewController.h"

#include <QString>
#include <QUrl>

// The file preview in the application's style, pushed onto the calling screen's stack.
// The file is a path on this machine or the name of a cloud document, fetched first
// under the calling screen's overlay. Files inside Documents, the cloud documents folder
// and the bundle may be handed to the desktop.
class KivoPreviewController : public platform::ui::PreviewController {
    Q_OBJECT
public:
    // initWithFile:.
    explicit KivoPreviewController(const QUrl& file, QObject* parent = nullptr);
    ~KivoPreviewController() override;

    // Opens a file on this machine over the calling screen (marked as going to a
    // preview). Without a calling screen the preview is made, not shown, and is the
    // caller's; a screen off any navigation stack keeps it unshown.
    static KivoPreviewController* createPreviewController(
        const QUrl& file, platform::ui::ViewController* viewController);
    // A path, or with cloud the name of a cloud document: the preview is pushed once the
    // document has come, and until then goes with the calling screen; when it cannot come,
    // nothing is pushed and the preview is let go.
    static KivoPreviewController* createPreviewController(
        const QString& pathOrName, bool cloud, platform::ui::ViewController* viewController);

    // The user guide that comes with the application.
    static QString userGuidePath();
    static const QString UserGuideName; // "Kivotab User Guide"

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool prefersStatusBarHidden() const override;

private:
    void applyStyle(bool leaving);
};
