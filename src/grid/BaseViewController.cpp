#include "grid/BaseViewController.h"

#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/ClassRegistry.h"
#include "grid/CloudDocumentService.h"
#include "grid/DetailFormProtocol.h"
#include "grid/DetailFormRegistry.h"
#include "grid/FileBrowserViewController.h"
#include "grid/Parent.h"
#include "grid/ScreenData.h"
#include "grid/ToolBar.h"
#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PopoverHost.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/FileManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/HUDBackgroundView.h"
#include "widgets/KeyboardControls.h"
#include "widgets/PopoverController.h"
#include "widgets/ProgressHUD.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <exception>
#include <utility>

namespace {

const QString FileErrorDomain = QStringLiteral("NSCocoaErrorDomain");
constexpr qint64 FileNoSuchFileError = 4;
constexpr qint64 FileWriteUnknownError = 512;
constexpr qint64 FileWriteInvalidFileNameError = 514;
constexpr double PreviewToolbarDelay = 0.75;
constexpr double PopoverTopMargin = 20.0;

const QString FolderMissing = QStringLiteral("The folder \u201c%1\u201d doesn\u2019t exist.");
const QString CannotSave = QStringLiteral("The file \u201c%1\u201d couldn\u2019t be saved: %2");
const QString NoCloudDocuments
    = QStringLiteral("The cloud documents folder is not available on this device.");

platform::Error fileError(qint64 code, const QString& description, const QString& path = {})
{
    QVariantMap info { { platform::Error::LocalizedDescriptionKey, description } };
    if (!path.isEmpty())
        info.insert(platform::Error::FilePathKey, path);
    return platform::Error(FileErrorDomain, code, info);
}

// Writes the whole file or nothing: the bytes go to a temporary file beside it that is
// renamed into place only once all of them are on disk, so a failed write (a full disk,
// say) leaves an earlier file of that name whole. A relative path is in the documents.
platform::Error writeAtomically(const QString& fileName, const QByteArray& data)
{
    const QString trimmed = fileName.trimmed();
    if (trimmed.isEmpty() || trimmed.endsWith(QLatin1Char('/')))
        return fileError(FileWriteInvalidFileNameError, LocalizedStrings::InvalidFileName());
    const QString path = QDir::cleanPath(QDir::isAbsolutePath(trimmed)
            ? trimmed
            : FileManager::documentsDirectory() + QLatin1Char('/') + trimmed);
    const QFileInfo target(path);
    if (target.fileName().isEmpty() || target.isDir())
        return fileError(FileWriteInvalidFileNameError, LocalizedStrings::InvalidFileName(), path);
    if (!target.absoluteDir().exists())
        return fileError(FileNoSuchFileError, FolderMissing.arg(target.absolutePath()), path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(
            FileWriteUnknownError, CannotSave.arg(target.fileName(), file.errorString()), path);
    if (file.write(data) != data.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fileError(FileWriteUnknownError, CannotSave.arg(target.fileName(), reason), path);
    }
    return {};
}

// A delegate that may go before an asynchronous save ends: an object is kept only while
// it lives; anything else is taken as it is.
class DelegateGuard {
public:
    explicit DelegateGuard(platform::ui::AlertViewDelegate* delegate)
        : m_delegate(delegate)
        , m_object(dynamic_cast<QObject*>(delegate))
        , m_isObject(m_object != nullptr)
    {
    }
    platform::ui::AlertViewDelegate* get() const
    {
        return m_isObject && !m_object ? nullptr : m_delegate;
    }

private:
    platform::ui::AlertViewDelegate* m_delegate;
    QPointer<QObject> m_object;
    bool m_isObject;
};

void showException(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    } catch (...) {
        MessageHelper::ShowException(
            platform::Exception(platform::Exception::Generic, QStringLiteral("Unknown error.")));
    }
}

} // namespace

BaseViewController::BaseViewController(QObject* parent)
    : OrietnationViewController(parent)
{
}

BaseViewController::~BaseViewController()
{
    for (auto token : std::as_const(m_editingTokens))
        platform::NotificationCenter::defaultCenter().removeObserver(token);
    // A popover or popup still up must not call back into a screen that is gone, and goes
    // with it: what it shows (a form, a list) belongs to this screen. It is closed once
    // this screen is wholly gone, so that what it holds of it reads as gone.
    QList<QPointer<QObject>> shown;
    if (m_popupController) {
        m_popupController->setDelegate(nullptr);
        shown.append(m_popupController.data());
    }
    for (const auto& popup : std::as_const(m_simplepopups)) {
        if (popup) {
            popup->setDelegate(nullptr);
            shown.append(popup.data());
        }
    }
    if (shown.isEmpty())
        return;
    platform::dispatch::asyncMain([shown] {
        for (const QPointer<QObject>& up : shown) {
            if (auto* popover = qobject_cast<PopoverController*>(up.data()))
                popover->dismissPopoverAnimated(false);
            else if (auto* popup = qobject_cast<SimplePopupViewController*>(up.data()))
                popup->dismissPopoverAnimated(false);
        }
    });
}

QList<platform::ui::View*> BaseViewController::getTextFields()
{
    return {};
}

void BaseViewController::viewDidLoad()
{
    OrietnationViewController::viewDidLoad();
    const QList<platform::ui::View*> fields = getTextFields();
    if (fields.isEmpty() || m_keyboardControls)
        return;
    auto* controls = new KeyboardControls(view());
    controls->setHidden(true);
    controls->setDelegate(this);
    controls->setTextFields(fields);
    controls->reloadTextFields();
    m_keyboardControls = controls;
    for (const QString& name : { platform::ui::TextField::TextDidBeginEditingNotification,
             platform::ui::TextView::TextDidBeginEditingNotification }) {
        m_editingTokens << platform::NotificationCenter::defaultCenter().addObserver(
            name, nullptr, [this](const platform::Notification& notification) {
                // The sender is matched by identity, never dereferenced.
                if (!m_keyboardControls)
                    return;
                for (platform::ui::View* field : m_keyboardControls->textFields()) {
                    const void* sender = nullptr;
                    if (auto* textField = qobject_cast<platform::ui::TextField*>(field))
                        sender = textField;
                    else if (auto* textView = qobject_cast<platform::ui::TextView*>(field))
                        sender = textView;
                    if (sender && sender == notification.object)
                        textFieldDidBeginEditing(field);
                }
            });
    }
}

void BaseViewController::textFieldDidBeginEditing(platform::ui::View* field)
{
    if (m_keyboardControls && field && m_keyboardControls->textFields().contains(field))
        m_keyboardControls->setActiveTextField(field);
}

void BaseViewController::keyboardControlsPreviousNextPressed(
    KeyboardControls*, int, platform::ui::View* activeTextField)
{
    if (auto* input = dynamic_cast<platform::ui::TextInput*>(activeTextField))
        input->becomeFirstResponder();
}

void BaseViewController::keyboardControlsDonePressed(KeyboardControls* controls)
{
    if (auto* input = dynamic_cast<platform::ui::TextInput*>(controls->activeTextField()))
        input->resignFirstResponder();
}

ProgressHUD* BaseViewController::HUD() const
{
    std::lock_guard lock(m_hudLock);
    return m_hud.data();
}

quint64 BaseViewController::hudCount() const
{
    std::lock_guard lock(m_hudLock);
    return m_hudCount;
}

PopoverController* BaseViewController::popupController() const
{
    return m_popupController.data();
}

SimplePopupViewController* BaseViewController::simplepopupController() const
{
    return m_simplepopupController.data();
}

platform::ui::ViewController* BaseViewController::callingViewController() const
{
    return m_callingViewController.data();
}

void BaseViewController::setCallingViewController(platform::ui::ViewController* controller)
{
    m_callingViewController = controller;
}

void BaseViewController::setDataController(std::shared_ptr<BaseDataController> controller)
{
    m_dataController = std::move(controller);
    if (m_dataController)
        m_dataController->setViewController(this);
}

void BaseViewController::loadView()
{
    try {
        initProperties();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
    OrietnationViewController::loadView();
    try {
        setBackGround();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseViewController::initProperties()
{
    {
        std::lock_guard lock(m_hudLock);
        m_hudCount = 0;
    }
    if (m_screen)
        setDataController(ClassRegistry::create<BaseDataController>(m_screen->dataController));
    std::weak_ptr<ToolBarAction> delegate
        = std::static_pointer_cast<ToolBarAction>(m_dataController);
    m_toolBar = std::make_unique<ToolBar>(delegate);
    m_toolBar->setButtonBits(m_screen ? m_screen->buttonBits : nullptr);
    if (m_screen && m_screen->topButtonBits) {
        m_toptoolBar = std::make_unique<ToolBar>(delegate);
        m_toptoolBar->setButtonBits(m_screen->topButtonBits);
    } else {
        m_toptoolBar.reset();
    }
}

void BaseViewController::viewWillAppear(bool animated)
{
    OrietnationViewController::viewWillAppear(animated);
    try {
        customViewWillAppear();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseViewController::customViewWillAppear()
{
    platform::ui::NavigationController* navigation = navigationController();
    if (m_toolBar) {
        if (!toolbarItems().isEmpty()) {
            if (navigation && navigation->isToolbarHidden()) {
                QPointer<platform::ui::NavigationController> bar(navigation);
                const auto show = [bar] {
                    if (!bar)
                        return;
                    bar->setToolbarHidden(false);
                    if (Theme* style = Theme::current())
                        style->applyiOS7StyleForToolbar(bar->toolbar());
                };
                if (m_popFromKivoPreview)
                    platform::dispatch::afterMain(int(PreviewToolbarDelay * 1000), show);
                else
                    show();
            }
            m_popFromKivoPreview = false;
        } else {
            ShowToolBar();
        }
    } else if (navigation) {
        navigation->setToolbarHidden(true);
    }
    if (m_toptoolBar)
        showTopBar();
}

void BaseViewController::ShowToolBar()
{
    if (m_toolBar)
        m_toolBar->ShowToolBar(this);
}

void BaseViewController::showTopBar()
{
    if (m_toptoolBar)
        m_toptoolBar->showTopBar(this);
}

void BaseViewController::prepareForSegue(platform::ui::StoryboardSegue& segue, QObject*)
{
    try {
        auto link = std::make_shared<Parent>();
        link->parent = m_parent;
        link->screen = m_screen;
        link->dataController = m_dataController;
        auto* destination = dynamic_cast<BaseViewController*>(segue.destinationViewController());
        if (!destination)
            return;
        destination->setParentLink(link);
        destination->setCallingViewController(this);
        destination->setScreen(
            ScreenData::GetScreen(m_screen ? m_screen->childscreen : QString(), link));
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseViewController::requestStarted()
{
    QPointer<BaseViewController> self(this);
    platform::dispatch::asyncMain([self] {
        if (self)
            self->startRequest();
    });
}

void BaseViewController::requestCompleted(const platform::Error& error)
{
    QPointer<BaseViewController> self(this);
    platform::dispatch::asyncMain([self, error] {
        if (self)
            self->completeRequest(error);
    });
}

void BaseViewController::startRequest()
{
    // Loading the view runs initProperties, which takes the lock itself.
    platform::ui::View* host = view();
    std::lock_guard lock(m_hudLock);
    if (m_hudCount == 0) {
        ProgressHUD* hud = ProgressHUD::showHUDAddedTo(host, true);
        if (Theme* style = currentStyle())
            hud->setContentColor(style->imageColor().toQColor());
        hud->bezelView()->setColor(Qt::transparent);
        hud->bezelView()->setStyle(HUDBackgroundView::SolidColor);
        m_hud = hud;
        setBarsInteraction(false);
    }
    ++m_hudCount;
}

void BaseViewController::completeRequest(const platform::Error& error)
{
    {
        platform::ui::View* host = view();
        std::lock_guard lock(m_hudLock);
        if (m_hudCount > 0 && --m_hudCount == 0) {
            setBarsInteraction(true);
            ProgressHUD::hideHUDForView(host, true);
            m_hud = nullptr;
        }
    }
    try {
        MessageHelper::throwIfError(error);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseViewController::setBarsInteraction(bool enabled)
{
    if (platform::ui::NavigationController* navigation = navigationController()) {
        navigation->navigationBar()->setUserInteractionEnabled(enabled);
        navigation->toolbar()->setUserInteractionEnabled(enabled);
    }
}

void BaseViewController::showHud()
{
    requestStarted();
}

void BaseViewController::hideHud()
{
    requestCompleted();
}

void BaseViewController::forceHideHud()
{
    // Queued behind the starts already asked for, so none of them outlives it.
    QPointer<BaseViewController> self(this);
    platform::dispatch::asyncMain([self] {
        if (!self)
            return;
        {
            std::lock_guard lock(self->m_hudLock);
            if (self->m_hudCount == 0)
                return;
            self->m_hudCount = 1;
        }
        self->completeRequest({});
    });
}

void BaseViewController::refreshView()
{
    m_refresh = true;
}

void BaseViewController::setBackGround()
{
    Theme* style = currentStyle();
    if (!style || !isViewLoaded())
        return;
    const Color back = style->BackColor();
    if (!back.patternImage().isNull()) {
        view()->setBackgroundColor(QColor());
        view()->setBackgroundPattern(platform::ui::Image(back.patternImage(), 2.0));
    } else {
        view()->setBackgroundPattern({});
        view()->setBackgroundColor(back.toQColor());
    }
}

void BaseViewController::ShowDetail(
    const QVariant& row, const QString& detailType, const QString& title, bool push)
{
    const auto formClass = DetailFormRegistry::formClass(detailType);
    if (!formClass || !formClass->createForm || !formClass->controllerForRoot) {
        MessageHelper::ShowException(platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("No form class named \u201c%1\u201d.").arg(detailType)));
        return;
    }
    QPointer<BaseViewController> self(this);
    // Until it shows, the form is coming: what its row is must hold from the ask on.
    std::weak_ptr<BaseDataController> asker = m_dataController;
    if (m_dataController)
        m_dataController->detailFormRequested();
    // Only the plain root is built off the main thread; every widget is made on it.
    platform::dispatch::asyncGlobal(
        [self, asker, formClass = *formClass, detailType, row, title, push] {
            std::shared_ptr<QObject> root;
            std::exception_ptr failure;
            try {
                root = formClass.createForm(title);
            } catch (...) {
                failure = std::current_exception();
            }
            platform::dispatch::asyncMain(
                [self, asker, formClass, detailType, root, failure, row, push] {
                    // Shown (then it is the last form) or failed: no longer coming.
                    const auto arrived = qScopeGuard([asker] {
                        if (const auto controller = asker.lock())
                            controller->detailFormArrived();
                    });
                    if (failure) {
                        showException(failure);
                        return;
                    }
                    if (!self)
                        return;
                    BaseViewController* form = nullptr;
                    try {
                        form = formClass.controllerForRoot(root);
                        // Never nothing at all: the person asked for a form.
                        if (!form)
                            throw platform::Exception(platform::Exception::Generic,
                                QStringLiteral("The form \u201c%1\u201d could not be made.")
                                    .arg(detailType));
                        self->presentDetail(form, row, push);
                    } catch (...) {
                        delete form;
                        showException(std::current_exception());
                    }
                });
        },
        platform::dispatch::Priority::High);
}

void BaseViewController::presentDetail(BaseViewController* form, const QVariant& row, bool push)
{
    form->setCallingViewController(this);
    if (m_dataController)
        m_dataController->setLastDetailViewController(form);
    auto* detail = dynamic_cast<DetailFormProtocol*>(form);
    if (row.isValid() && detail)
        detail->loadData(row);
    if (DeviceHelper::isIPHONE() || push) {
        if (platform::ui::NavigationController* navigation = navigationController())
            navigation->pushViewController(form, true);
        else
            delete form;
        return;
    }
    const QSizeF size = detail ? detail->popupContentSize() : QSizeF(600, 450);
    showPopupController(form, size, NoArrow, nullptr, true);
}

void BaseViewController::showPopupController(platform::ui::ViewController* content,
    const QSizeF& contentSize, unsigned arrowDirection, platform::ui::View* fromView,
    bool doneButton, qint32 tint, bool border)
{
    dismissPopup();
    // Without a Qt parent the popover belongs to its presentation and goes once dismissed.
    auto* popover = new PopoverController(content, this, doneButton);
    popover->setBorder(border);
    popover->setContentSize(contentSize);
    popover->setArrowDirection(arrowDirection);
    popover->setTint(tint);
    popover->setDelegate(this);
    if (auto* detail = dynamic_cast<DetailFormProtocol*>(content))
        popover->setClosesOnEscape(detail->closesOnEscape());
    m_popupController = popover;
    if (fromView) {
        popover->presentPopoverFromView(fromView);
    } else {
        // The point is in the host's coordinates: a screen shown inside a popup (the save
        // browser) has its centre elsewhere in its own.
        const auto topCentre = [this] {
            platform::ui::View* host = platform::ui::PopoverHost::firstSubview();
            const QPointF centre = view()->convertPointToView(view()->bounds().center(), host);
            return QPointF(centre.x(), PopoverTopMargin);
        };
        // Turned, it is placed and sized again as when it opened: a form asks for the
        // size that suits the new shape.
        QPointer<BaseViewController> self(this);
        QPointer<PopoverController> shown(popover);
        popover->setTurnAdjustment([self, shown, topCentre] {
            if (!self || !shown || !self->isViewLoaded())
                return;
            if (auto* detail = dynamic_cast<DetailFormProtocol*>(shown->contentViewController()))
                shown->setContentSize(detail->popupContentSize());
            shown->setOrigin(topCentre());
        });
        popover->presentPopoverFromPoint(topCentre());
    }
}

void BaseViewController::showSimplePopupcontroller(platform::ui::ViewController* content,
    const QSizeF& contentSize, const QPointF& fromPoint, bool withBorder)
{
    auto* popup = new SimplePopupViewController(content, contentSize, withBorder);
    m_simplepopupController = popup;
    m_simplepopups.removeAll(nullptr);
    m_simplepopups.append(popup);
    popup->setDelegate(this);
    popup->presentPopoverFromPoint(fromPoint);
}

void BaseViewController::dismissPopup()
{
    dismissPopup(std::function<void()>());
}

void BaseViewController::dismissPopup(std::function<void()> completion)
{
    PopoverController* popover = m_popupController.data();
    m_popupController = nullptr;
    // A popup left open under a newer one is closed too: nothing this screen showed may
    // stay up catching every click.
    const auto popups = std::exchange(m_simplepopups, {});
    m_simplepopupController = nullptr;
    if (popover)
        popover->dismissPopoverAnimated(true, std::move(completion));
    for (auto it = popups.crbegin(); it != popups.crend(); ++it)
        if (SimplePopupViewController* popup = it->data())
            popup->dismissPopoverAnimated(true);
    if (!popover && completion)
        completion();
}

void BaseViewController::popoverControllerDidDismissPopover(PopoverController* controller)
{
    if (m_popupController == controller)
        m_popupController = nullptr;
}

void BaseViewController::SimplePopoverControllerDidDismissPopover(
    SimplePopupViewController* controller)
{
    m_simplepopups.removeAll(controller);
    m_simplepopups.removeAll(nullptr);
    if (m_simplepopupController == controller)
        m_simplepopupController = m_simplepopups.isEmpty() ? nullptr : m_simplepopups.last().data();
}

void BaseViewController::saveFile(const QString& fileName, const QByteArray& data, bool iCloud,
    bool viewOption, platform::ui::AlertViewDelegate* delegate, SaveCompletion completion)
{
    try {
        if (iCloud) {
            saveDataToCloud(data, fileName, viewOption, delegate, std::move(completion));
            return;
        }
        const platform::Error error = writeAtomically(fileName, data);
        if (error) {
            MessageHelper::ShowError(error);
            return;
        }
        showSaveSuccess(viewOption, delegate, SavedLocallyTag);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseViewController::saveFile(
    const QString& fileName, const QByteArray& data, bool iCloud, SaveCompletion completion)
{
    saveFile(fileName, data, iCloud, true, m_dataController.get(), std::move(completion));
}

void BaseViewController::saveDataToCloud(const QByteArray& data, const QString& fileName,
    bool viewOption, platform::ui::AlertViewDelegate* delegate, SaveCompletion completion)
{
    QPointer<BaseViewController> self(this);
    auto finish = [self, viewOption, guard = DelegateGuard(delegate), completion](
                      const platform::Error& error) {
        if (completion)
            completion(error);
        if (error) {
            MessageHelper::ShowError(error);
            return;
        }
        if (self)
            self->showSaveSuccess(viewOption, guard.get(), SavedToCloudTag);
        else
            MessageHelper::ShowMessage(LocalizedStrings::SaveSuccess(), false);
    };
    CloudDocumentService* service = CloudDocumentService::instance();
    if (!service) {
        const platform::Error missing = fileError(FileWriteUnknownError, NoCloudDocuments);
        platform::dispatch::asyncMain([finish, missing] { finish(missing); });
        return;
    }
    service->saveAndCloseDocumentWithName(fileName, data, finish);
}

void BaseViewController::showSaveSuccess(
    bool viewOption, platform::ui::AlertViewDelegate* delegate, int tag)
{
    if (!viewOption) {
        MessageHelper::ShowMessage(LocalizedStrings::SaveSuccess(), false);
        return;
    }
    auto* alert = new platform::ui::AlertView(LocalizedStrings::Information(),
        LocalizedStrings::SaveSuccess(), delegate, LocalizedStrings::Close(),
        { LocalizedStrings::Open() });
    alert->setTag(tag);
    QPointer<platform::ui::AlertView> shown(alert);
    platform::dispatch::asyncMain([shown] {
        if (shown)
            shown->show();
    });
}

void BaseViewController::showFileBrowser(bool save, const QString& defaultFileName,
    const QString& type, const QString& startupDir, const QString& title,
    FileBrowserProtocol* delegate)
{
    openFileBrowser(m_fileBrowser, BridgeScreenFactory::RemoteFileBrowser, save, defaultFileName,
        type, startupDir, title, delegate);
}

void BaseViewController::showLocalFileBrowser(bool save, const QString& defaultFileName,
    const QString& type, const QString& startupDir, const QString& title,
    FileBrowserProtocol* delegate)
{
    openFileBrowser(m_fileBrowser, BridgeScreenFactory::FileBrowser, save, defaultFileName, type,
        startupDir, title, delegate);
}

void BaseViewController::showCloudFileBrowser(bool save, const QString& defaultFileName,
    const QString& type, const QString& startupDir, const QString& title,
    FileBrowserProtocol* delegate)
{
    openFileBrowser(m_cloudFileBrowser, BridgeScreenFactory::CloudFileBrowser, save,
        defaultFileName, type, startupDir, title, delegate);
}

platform::ui::ViewController* BaseViewController::fileBrowser() const
{
    return m_fileBrowser.browser;
}

platform::ui::ViewController* BaseViewController::cloudFileBrowser() const
{
    return m_cloudFileBrowser.browser;
}

void BaseViewController::openFileBrowser(FileBrowserSlot& slot, const QString& screenId, bool save,
    const QString& defaultFileName, const QString& type, const QString& startupDir,
    const QString& title, FileBrowserProtocol* delegate)
{
    try {
        platform::ui::ViewController* browser = slot.browser;
        auto* dialog = dynamic_cast<FileBrowserScreenProtocol*>(browser);
        const bool reused = dialog && slot.saveDialog == save && slot.type == type;
        if (!reused) {
            // The one kept before goes with its wrapper; both belong to this screen.
            delete slot.navigation.data();
            delete slot.browser.data();
            slot = FileBrowserSlot();
            browser = platform::ui::Storyboard::main().instantiateViewControllerWithIdentifier(
                FileBrowserScreenProtocol::StoryboardIdentifier);
            dialog = dynamic_cast<FileBrowserScreenProtocol*>(browser);
            if (!dialog) {
                delete browser;
                return;
            }
            browser->setParent(this);
            dialog->setScreen(BridgeScreenFactory::GetScreen(screenId, nullptr));
            dialog->setSaveDialog(save);
            slot.browser = browser;
            slot.saveDialog = save;
            slot.type = type;
        }
        // A browser shown again takes this dialog's name, folder and title, never the
        // last one's.
        if (auto* screen = qobject_cast<BaseViewController*>(browser))
            if (const auto record = screen->screen())
                record->title = title;
        browser->setTitle(title);
        dialog->setDefaultFileName(defaultFileName);
        if (auto* ours = qobject_cast<FileBrowserViewController*>(browser)) {
            ours->setType(type);
            ours->setStartupDir(startupDir);
        }
        dialog->setFileBrowserDelegate(delegate);
        if (reused) {
            // A browser shown again starts at its top folder and lists what is there now.
            if (slot.navigation && slot.navigation->topViewController() != browser)
                slot.navigation->popToViewController(browser, false);
            auto* screen = qobject_cast<BaseViewController*>(browser);
            if (screen && screen->isViewLoaded())
                screen->refreshView();
        }
        if (DeviceHelper::isIPHONE()) {
            if (platform::ui::NavigationController* navigation = navigationController())
                navigation->pushViewController(browser, true);
            return;
        }
        if (!slot.navigation) {
            // Kept by this screen, not by the popup, so it can be shown again.
            auto* navigation = new platform::ui::NavigationController();
            navigation->setParent(this);
            navigation->pushViewController(browser, false);
            slot.navigation = navigation;
        }
        showSimplePopupcontroller(
            slot.navigation, QSizeF(FileBrowserWidth, FileBrowserHeight), QPointF(0, 0), true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

bool BaseViewController::isButtonInTopBar(platform::ui::View* button)
{
    platform::ui::NavigationController* navigation = navigationController();
    if (!button || !navigation || !isViewLoaded())
        return false;
    platform::ui::NavigationBar* bar = navigation->navigationBar();
    const QRectF converted = button->convertRectFromView(view()->bounds(), bar);
    // The bar reaches up under the status bar or notch; its buttons sit below that.
    return std::abs(converted.y() + bar->topInset()) < 50.0;
}

bool BaseViewController::isInNavigationStack(platform::ui::ViewController* controller)
{
    platform::ui::ViewController* current
        = KivoAppDelegate::ApplicationDelegate()->currentViewController();
    platform::ui::NavigationController* navigation
        = current ? current->navigationController() : nullptr;
    return navigation && controller && navigation->viewControllers().contains(controller);
}

bool BaseViewController::disappearedOnPop()
{
    platform::ui::NavigationController* navigation = navigationController();
    const QList<platform::ui::ViewController*> stack
        = navigation ? navigation->viewControllers() : QList<platform::ui::ViewController*>();
    if (stack.size() >= 2 && stack.at(stack.size() - 2) == this)
        return false;
    return !stack.contains(this);
}

void BaseViewController::poptoscreen(const QString& screenId)
{
    platform::ui::NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    if (m_screen && m_screen->id == screenId) {
        navigation->popToRootViewController(true);
        return;
    }
    const QList<platform::ui::ViewController*> stack = navigation->viewControllers();
    int depth = 0;
    for (std::shared_ptr<Parent> link = m_parent; link; link = link->parent.lock(), ++depth) {
        const auto linked = link->screen.lock();
        if (linked && linked->id == screenId) {
            const qsizetype index = stack.size() - 2 - depth;
            if (index >= 0 && index < stack.size())
                navigation->popToViewController(stack.at(index), true);
            return;
        }
    }
    navigation->popToRootViewController(true);
}

void BaseViewController::cloudStoreUnloaded()
{
    if (auto* store = dynamic_cast<CloudStoreProtocol*>(m_dataController.get()))
        store->cloudStoreUnloaded();
}

void BaseViewController::cloudStoreLoaded()
{
    if (auto* store = dynamic_cast<CloudStoreProtocol*>(m_dataController.get()))
        store->cloudStoreLoaded();
}

void BaseViewController::mailComposeControllerDidFinish(platform::ui::MailComposeViewController*,
    platform::ui::MailComposeResult, const platform::Error&)
{
    dismissViewController(true);
}
