#include "utilities/shell/KivoAppDelegate.h"

#include "platform/Error.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/Product.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/ui/Guard.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/ScreenServices.h"
#include "utilities/shell/StyleServices.h"
#include "utilities/store/StoreStack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <mutex>

const QString KivoAppDelegate::WebSiteHost = QString::fromLatin1(Product::webSiteHost);
const QString KivoAppDelegate::PrivateDocumentsFolder = QStringLiteral("Private Documents");
const QString KivoAppDelegate::VersionKey = QStringLiteral("version");
const QString KivoAppDelegate::ProductKey = QStringLiteral("product");

namespace {

const QString kTilesThemeName = QStringLiteral("Grey");
const QString kNilText = QStringLiteral("(null)");

std::mutex g_delegateMutex;

} // namespace

KivoAppDelegate::KivoAppDelegate(QObject* parent)
    : QObject(parent)
    , m_preferences(std::make_shared<Preferences>())
{
    // Exceptions stopped at the event loop's edge are shown as every other one is.
    platform::ui::setExceptionPresenter(
        [](const std::exception& exception) { MessageHelper::ShowException(exception); });
    std::lock_guard lock(g_delegateMutex);
    platform::ui::Application::shared().setDelegate(this);
}

KivoAppDelegate::~KivoAppDelegate()
{
    std::lock_guard lock(g_delegateMutex);
    auto& application = platform::ui::Application::shared();
    if (application.delegate() == this)
        application.setDelegate(nullptr);
}

KivoAppDelegate* KivoAppDelegate::ApplicationDelegate()
{
    {
        std::lock_guard lock(g_delegateMutex);
        if (auto* delegate
            = dynamic_cast<KivoAppDelegate*>(platform::ui::Application::shared().delegate()))
            return delegate;
    }
    // Made once, kept for the whole run; a delegate made later takes over.
    static KivoAppDelegate* standIn = [] {
        auto* delegate = new KivoAppDelegate();
        if (auto* app = QCoreApplication::instance(); app && delegate->thread() != app->thread())
            delegate->moveToThread(app->thread());
        return delegate;
    }();
    std::lock_guard lock(g_delegateMutex);
    if (auto* delegate
        = dynamic_cast<KivoAppDelegate*>(platform::ui::Application::shared().delegate()))
        return delegate;
    return standIn;
}

QUrl KivoAppDelegate::URLForTemporaryFolder()
{
    // A private folder on the same volume as the application's data, so results can be
    // moved into place by renaming.
    QTemporaryDir folder(platform::Folders::tmp() + "/job-XXXXXX");
    if (!folder.isValid())
        return {};
    folder.setAutoRemove(false);
    return QUrl::fromLocalFile(folder.path());
}

QString KivoAppDelegate::getUrl(const QString& page)
{
    return QStringLiteral("https://%1/main/%2").arg(WebSiteHost, page);
}

QString KivoAppDelegate::getVideoUrl()
{
    return QStringLiteral("https://%1/video").arg(WebSiteHost);
}

QString KivoAppDelegate::getSecureUrl(const QString& page)
{
    return getUrl(page);
}

QString KivoAppDelegate::getProcessUrl(const QString& path)
{
    return QStringLiteral("https://%1/process/%2").arg(WebSiteHost, path);
}

QString KivoAppDelegate::getProcessSecureUrl(const QString& path)
{
    return getProcessUrl(path);
}

void KivoAppDelegate::setCurrentPreferences(std::shared_ptr<Preferences> preferences)
{
    m_preferences = std::move(preferences);
}

void KivoAppDelegate::setCurrentStyle(std::shared_ptr<StyleObject> style)
{
    m_style = std::move(style);
}

platform::coredata::ManagedObjectContext* KivoAppDelegate::managedObjectContext() const
{
    StoreStack* stack = StoreStack::instance();
    return stack ? stack->context() : nullptr;
}

std::shared_ptr<const platform::coredata::ManagedObjectModel>
KivoAppDelegate::managedObjectModel() const
{
    StoreStack* stack = StoreStack::instance();
    return stack ? stack->model() : nullptr;
}

std::shared_ptr<platform::coredata::PersistentStoreCoordinator>
KivoAppDelegate::persistentStoreCoordinator() const
{
    StoreStack* stack = StoreStack::instance();
    return stack ? stack->coordinator() : nullptr;
}

void KivoAppDelegate::rollbackContext()
{
    platform::coredata::ManagedObjectContext* context = managedObjectContext();
    if (context && context->hasChanges())
        context->rollback();
}

bool KivoAppDelegate::saveContext()
{
    platform::coredata::ManagedObjectContext* context = managedObjectContext();
    if (!context || !context->hasChanges())
        return true;
    platform::Error error;
    if (context->save(&error) && error.isNull())
        return true;
    if (error.isNull())
        error = platform::Error::withDescription(QStringLiteral("NSCocoaErrorDomain"), 134030,
            QStringLiteral("The changes could not be saved."));
    // The context keeps its unsaved changes.
    MessageHelper::ShowMessage(error.localizedDescription(), true);
    return false;
}

platform::ui::ViewController* KivoAppDelegate::currentViewController() const
{
    auto& application = platform::ui::Application::shared();
    platform::ui::ViewController* root = application.rootViewController();
    if (auto* navigation = qobject_cast<platform::ui::NavigationController*>(root))
        return navigation->visibleViewController();
    return application.topMostPresentedController();
}

std::shared_ptr<ScreenRecord> KivoAppDelegate::GetScreen(
    const QString& screenId, const std::shared_ptr<ScreenLink>& parent)
{
    ScreenServices* services = ScreenServices::instance();
    return services ? services->GetScreen(screenId, parent) : nullptr;
}

QUrl KivoAppDelegate::applicationHiddenDocumentsDirectory()
{
    const QString path
        = QDir::cleanPath(platform::Folders::library() + "/" + PrivateDocumentsFolder);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        throw platform::Exception(QStringLiteral("'Private Documents' exists, and is a file"),
            QStringLiteral("Path: %1").arg(path));
    if (!info.exists() && !QDir().mkpath(path))
        throw platform::Exception(QStringLiteral("Failed creating directory"),
            QStringLiteral("[%1], %2")
                .arg(path,
                    QStringLiteral("the folder could not "
                                   "be created")));
    return QUrl::fromLocalFile(path);
}

QUrl KivoAppDelegate::applicationDocumentsDirectory()
{
    return QUrl::fromLocalFile(platform::Folders::documents());
}

QVariant KivoAppDelegate::barColor() const
{
    StyleServices* services = StyleServices::instance();
    if (!services || !m_preferences)
        return {};
    return services->themeColor(m_preferences->bartheme().toString());
}

QVariant KivoAppDelegate::imageColor() const
{
    StyleServices* services = StyleServices::instance();
    if (!services || !m_preferences)
        return {};
    return services->themeColor(m_preferences->imagetheme().toString());
}

bool KivoAppDelegate::cloudAvailable() const
{
    return false;
}

bool KivoAppDelegate::cloudEnabled() const
{
    return false;
}

QVariant KivoAppDelegate::tilesColor() const
{
    StyleServices* services = StyleServices::instance();
    return services ? services->themeColor(kTilesThemeName) : QVariant();
}

void KivoAppDelegate::setVestionInSettings()
{
    const QString version = QCoreApplication::applicationVersion();
    QString product = QGuiApplication::applicationDisplayName();
    if (product.isEmpty())
        product = QCoreApplication::applicationName();
    auto& defaults = platform::UserDefaults::standard();
    defaults.setObject(VersionKey, version.isEmpty() ? kNilText : version);
    defaults.setObject(ProductKey, product.isEmpty() ? kNilText : product);
}

void KivoAppDelegate::showShareMenu(QObject*)
{
}
