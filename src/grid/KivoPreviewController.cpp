#include "grid/KivoPreviewController.h"

#include "grid/BaseViewController.h"
#include "grid/CloudDocumentService.h"
#include "platform/Folders.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"

#include <QFileInfo>
#include <QPointer>

const QString KivoPreviewController::UserGuideName = QStringLiteral("Kivotab User Guide");

namespace {

QString cloudDocumentsFolder()
{
    CloudDocumentService* service = CloudDocumentService::instance();
    return service ? service->documentsFolder() : QString();
}

void markGoingToPreview(platform::ui::ViewController* screen)
{
    if (auto* base = dynamic_cast<BaseViewController*>(screen))
        base->setPopFromKivoPreview(true);
}

} // namespace

KivoPreviewController::KivoPreviewController(const QUrl& file, QObject* parent)
    : platform::ui::PreviewController(parent)
{
    setHandOverFolders(
        { platform::Folders::documents(), cloudDocumentsFolder(), platform::Folders::resources() });
    setUrl(file);
}

KivoPreviewController::~KivoPreviewController() = default;

QString KivoPreviewController::userGuidePath()
{
    return platform::Folders::resourcePath(UserGuideName, QStringLiteral("pdf"));
}

KivoPreviewController* KivoPreviewController::createPreviewController(
    const QUrl& file, platform::ui::ViewController* viewController)
{
    markGoingToPreview(viewController);
    auto* preview = new KivoPreviewController(file);
    platform::ui::NavigationController* navigation
        = viewController ? viewController->navigationController() : nullptr;
    if (navigation)
        navigation->pushViewController(preview, true);
    else if (viewController)
        preview->setParent(viewController); // not shown; goes with its screen
    return preview;
}

KivoPreviewController* KivoPreviewController::createPreviewController(
    const QString& pathOrName, bool cloud, platform::ui::ViewController* viewController)
{
    if (!cloud)
        return createPreviewController(QUrl::fromLocalFile(pathOrName), viewController);
    markGoingToPreview(viewController);
    // Until the document comes the preview goes with its screen: a screen closed meanwhile
    // takes it along.
    auto* preview = new KivoPreviewController(QUrl(), viewController);
    auto* hud = dynamic_cast<HudProtocol*>(viewController);
    if (hud)
        hud->showHud();
    QPointer<KivoPreviewController> previewPtr(preview);
    QPointer<platform::ui::ViewController> screen(viewController);
    auto handler = [previewPtr, screen, hud](const QUrl& document) {
        if (screen && hud)
            hud->hideHud();
        if (!previewPtr)
            return; // gone with its screen
        platform::ui::NavigationController* navigation
            = screen ? screen->navigationController() : nullptr;
        if (document.isEmpty() || !navigation) {
            // Nothing to show, or nowhere to show it.
            if (document.isEmpty() || screen)
                previewPtr->deleteLater();
            return;
        }
        previewPtr->setUrl(document);
        previewPtr->setParent(nullptr); // the stack's from now on
        navigation->pushViewController(previewPtr, true);
    };
    if (CloudDocumentService* service = CloudDocumentService::instance()) {
        service->retrieveDocuemnt(pathOrName, handler);
    } else {
        MessageHelper::ShowMessage(QStringLiteral("The cloud documents are not available."), true);
        handler(QUrl());
    }
    return preview;
}

void KivoPreviewController::viewDidLoad()
{
    platform::ui::PreviewController::viewDidLoad();
    Theme* style = Theme::current();
    if (!style)
        return;
    const Color back = style->BackColor();
    if (!back.patternImage().isNull())
        view()->setBackgroundPattern(platform::ui::Image(back.patternImage(), 2.0));
    else
        view()->setBackgroundColor(back.toQColor());
}

void KivoPreviewController::applyStyle(bool leaving)
{
    Theme* style = Theme::current();
    platform::ui::NavigationController* navigation = navigationController();
    if (!style || !navigation)
        return;
    style->applyStyleToNavigatioBar(navigation->navigationBar());
    style->applyiOS7StyleForToolbar(navigation->toolbar());
    if (leaving)
        style->applyStyleToStatusBar();
}

void KivoPreviewController::viewDidAppear(bool animated)
{
    platform::ui::PreviewController::viewDidAppear(animated);
    applyStyle(false);
}

void KivoPreviewController::viewWillDisappear(bool animated)
{
    platform::ui::PreviewController::viewWillDisappear(animated);
    applyStyle(true);
}

bool KivoPreviewController::prefersStatusBarHidden() const
{
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    return !(preferences && preferences->statusbar());
}
