#include "forms/FormController.h"

#include "forms/FormClassRegistry.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "forms/FormThread.h"
#include "platform/Dispatch.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/PopoverController.h"

#include <algorithm>

using namespace platform::ui;

namespace {

constexpr double kLoadingFadeDuration = 0.3;
// The popover of a child that names no size of its own.
const QSizeF kDefaultPopupSize(320, 360);
// Popover arrows: any of up, down, left and right.
constexpr unsigned kAnyArrowDirection = 15;

// The size a screen asks its popover to have, when it answers getPopupSize.
std::optional<QSizeF> popupSizeOf(ViewController* controller)
{
    const QMetaObject* meta = controller->metaObject();
    if (meta->indexOfMethod("getPopupSize()") < 0)
        return std::nullopt;
    QSizeF size;
    if (!QMetaObject::invokeMethod(
            controller, "getPopupSize", Qt::DirectConnection, Q_RETURN_ARG(QSizeF, size)))
        return std::nullopt;
    return size;
}

} // namespace

FormController::FormController(QObject* parent)
    : BaseViewController(parent)
{
    FormThread::assertMain();
}

FormController::FormController(std::shared_ptr<FormRootElement> root, QObject* parent)
    : FormController(parent)
{
    initWithRoot(std::move(root));
}

FormController::~FormController() = default;

void FormController::initWithRoot(std::shared_ptr<FormRootElement> root)
{
    setRoot(std::move(root));
    setResizeWhenKeyboardPresented(true);
}

const QMetaObject* FormController::controllerClassForRoot(const FormRootElement* root)
{
    if (!root || root->controllerName().isEmpty())
        return &FormController::staticMetaObject;
    const QMetaObject* cls = FormClassRegistry::classNamed(root->controllerName());
    return cls && cls->inherits(&FormController::staticMetaObject) ? cls : nullptr;
}

FormController* FormController::buildControllerWithClass(
    const QMetaObject* cls, std::shared_ptr<FormRootElement> root)
{
    FormController* controller = nullptr;
    if (cls && cls != &FormController::staticMetaObject)
        controller = qobject_cast<FormController*>(cls->newInstance());
    if (!controller)
        controller = new FormController;
    controller->initWithRoot(std::move(root));
    return controller;
}

FormController* FormController::controllerForRoot(std::shared_ptr<FormRootElement> root)
{
    const QMetaObject* cls = controllerClassForRoot(root.get());
    if (!cls) {
        qWarning("Couldn't find a class for name %s", qUtf8Printable(root->controllerName()));
        return nullptr;
    }
    return buildControllerWithClass(cls, std::move(root));
}

NavigationController* FormController::controllerWithNavigationForRoot(
    std::shared_ptr<FormRootElement> root)
{
    const QMetaObject* cls = controllerClassForRoot(root.get());
    return new NavigationController(buildControllerWithClass(cls, std::move(root)));
}

FormControllerProtocol* FormController::controllerForRoot(FormRootElement* root)
{
    if (!root)
        return nullptr;
    auto shared = std::static_pointer_cast<FormRootElement>(root->shared_from_this());
    // A nested root naming no known class opens as a plain form.
    return buildControllerWithClass(controllerClassForRoot(root), std::move(shared));
}

void FormController::setRoot(std::shared_ptr<FormRootElement> root)
{
    m_root = std::move(root);
    if (m_formTableView)
        m_formTableView->setRoot(m_root);
    if (m_root) {
        setTitle(m_root->title());
        navigationItem()->setTitle(m_root->title());
    }
}

FormTableView* FormController::formTableView() const
{
    return m_formTableView;
}

void FormController::loadView()
{
    BaseViewController::loadView();
    auto* table = new FormTableView(this, m_root);
    m_formTableView = table;
    setView(table);
}

void FormController::viewWillAppear(bool animated)
{
    m_viewOnScreen = true;
    if (m_formTableView)
        m_formTableView->deselectRows();
    BaseViewController::viewWillAppear(animated);
    if (m_root) {
        setTitle(m_root->title());
        navigationItem()->setTitle(m_root->title());
    }
}

void FormController::viewDidAppear(bool animated)
{
    BaseViewController::viewDidAppear(animated);
    if (!m_root || !m_formTableView)
        return;
    if (const std::optional<FormIndexPath> path = m_root->preselectedElementIndex) {
        const IndexPath row = FormTableView::tablePath(*path);
        // A choice that is no row of the list leaves the list where it starts.
        if (row.section() < m_formTableView->numberOfSections()
            && row.row() < m_formTableView->numberOfRowsInSection(row.section()))
            m_formTableView->scrollToRowAtIndexPath(row, TableView::ScrollPosition::Top, false);
    }
    if (m_root->showKeyboardOnAppear()) {
        if (FormEntryElement* first = m_root->findElementToFocusOnAfter(nullptr))
            if (auto* cell
                = qobject_cast<FormTableViewCell*>(m_formTableView->cellForElement(first)))
                cell->becomeFirstResponder();
    }
}

void FormController::viewWillDisappear(bool animated)
{
    m_viewOnScreen = false;
    BaseViewController::viewWillDisappear(animated);
    if (m_willDisappearCallback)
        m_willDisappearCallback();
}

bool FormController::prefersStatusBarHidden() const
{
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    return preferences ? !preferences->statusbar() : false;
}

void FormController::setEditing(bool editing, bool animated)
{
    m_editing = editing;
    if (m_formTableView)
        m_formTableView->setEditing(editing, animated);
}

bool FormController::isFormTableEditing() const
{
    return m_formTableView && m_formTableView->isEditing();
}

void FormController::setFormTableUserInteractionEnabled(bool enabled)
{
    if (m_formTableView)
        m_formTableView->setUserInteractionEnabled(enabled);
}

PopoverController* FormController::popoverBeingPresented() const
{
    return m_popoverBeingPresented;
}

void FormController::setPopoverBeingPresented(PopoverController* popover)
{
    m_popoverBeingPresented = popover;
}

PopoverController* FormController::popoverForChildRoot() const
{
    return m_popoverForChildRoot;
}

FormController* FormController::popoverBeingPresentedParent() const
{
    return m_popoverBeingPresentedParent;
}

// Opening other screens.

void FormController::displayViewControllerForRoot(FormRootElement* root)
{
    // A field being edited ends as a tap elsewhere would end it: the list opens over the
    // form, or in its place, and the keyboard bar must not stay up under it.
    if (isViewLoaded())
        TextInput::endEditing(view(), false);
    FormControllerProtocol* child = controllerForRoot(root);
    if (child)
        displayViewController(child->viewController(), root->presentationMode());
}

void FormController::displayViewController(ViewController* controller, int presentationMode)
{
    if (!controller)
        return;
    switch (presentationMode) {
    case FormRootElement::Normal:
        displayViewController(controller);
        return;
    case FormRootElement::Popover:
    case FormRootElement::NavigationInPopover:
        displayViewControllerInPopover(
            controller, presentationMode == FormRootElement::NavigationInPopover);
        return;
    case FormRootElement::ModalForm:
    case FormRootElement::ModalFullScreen:
    case FormRootElement::ModalPage: {
        auto* navigation = new NavigationController(controller);
        QPointer<FormController> self(this);
        auto* close
            = new BarButtonItem(LocalizedStrings::getLocalizedString(QStringLiteral("Close")),
                BarButtonItem::Style::Plain, [self](BarButtonItem*) {
                    if (self)
                        self->dismissModalViewController();
                });
        close->setParent(controller);
        controller->navigationItem()->setLeftBarButtonItem(close);
        navigation->setModalPresentationStyle(presentationMode == FormRootElement::ModalForm
                ? ModalPresentationStyle::FormSheet
                : presentationMode == FormRootElement::ModalFullScreen
                ? ModalPresentationStyle::FullScreen
                : ModalPresentationStyle::PageSheet);
        presentViewController(navigation, true);
        return;
    }
    default:
        // Nothing shows it, so nothing keeps it.
        if (!controller->parent())
            controller->deleteLater();
        return;
    }
}

void FormController::displayViewController(ViewController* controller)
{
    if (!controller)
        return;
    if (qobject_cast<NavigationController*>(controller)) {
        presentViewController(controller, true);
        return;
    }
    if (NavigationController* navigation = navigationController()) {
        navigation->pushViewController(controller, true);
        return;
    }
    presentViewController(new NavigationController(controller), true);
}

void FormController::displayViewControllerInPopover(ViewController* controller, bool navigation)
{
    QRectF rect;
    if (m_formTableView) {
        if (const std::optional<IndexPath> selected = m_formTableView->indexPathForSelectedRow())
            rect = m_formTableView->rectForRowAtIndexPath(*selected).translated(
                0, -m_formTableView->contentOffset().y());
        else
            rect = QRectF(m_formTableView->bounds().center(), QSizeF(0, 0));
    }
    displayViewControllerInPopover(controller, navigation, rect);
}

void FormController::displayViewControllerInPopover(
    ViewController* controller, bool navigation, const QRectF& rect)
{
    if (!Device::current().isPad()) {
        displayViewController(controller);
        return;
    }
    ViewController* content = navigation ? new NavigationController(controller) : controller;
    auto* popover = new PopoverController(content, false);
    popover->setContentSize(popupSizeOf(controller).value_or(kDefaultPopupSize));
    if (auto* child = qobject_cast<FormController*>(controller)) {
        child->setPopoverBeingPresented(popover);
        m_popoverBeingPresentedParent = child;
    } else {
        m_popoverForChildRoot = popover;
    }
    popover->setDelegate(this);
    popover->setArrowDirection(kAnyArrowDirection);
    // The popover points at the row from where the window's first view sees it. The rectangle
    // is where the view shows it (a table's content moved up by its offset), so it is mapped
    // from the view itself, not from its scrolled content.
    View* host = view()->window() ? Application::shared().keyWindow()->rootView() : nullptr;
    const QPointF anchor = host
        ? host->convertPointFromView(
            view()->mapTo(view()->QWidget::window(), rect.center()), view()->QWidget::window())
        : rect.center();
    popover->presentPopoverFromPoint(anchor);
}

void FormController::dismissModalViewController()
{
    dismissViewController(true);
}

void FormController::popToPreviousRootElement()
{
    QPointer<FormController> self(this);
    platform::dispatch::syncMain([self] {
        if (self)
            self->popToPreviousRootElementOnMainThread();
    });
}

void FormController::popToPreviousRootElementOnMainThread()
{
    if (PopoverController* popover = m_popoverBeingPresented) {
        // The popover tells its delegate (the form that opened this one) once it is gone.
        m_popoverBeingPresented.clear();
        popover->dismissPopoverAnimated(true);
        return;
    }
    NavigationController* navigation = navigationController();
    if (navigation && !navigation->viewControllers().isEmpty()
        && navigation->viewControllers().first() != this) {
        navigation->popViewController(true);
        return;
    }
    dismissViewController(true);
}

void FormController::popoverControllerDidDismissPopover(PopoverController* controller)
{
    // A popover the base screen showed is forgotten as the base does it.
    BaseViewController::popoverControllerDidDismissPopover(controller);
    if (m_formTableView)
        m_formTableView->reloadData();
    m_popoverForChildRoot.clear();
    if (m_popoverBeingPresentedParent)
        m_popoverBeingPresentedParent->setPopoverBeingPresented(nullptr);
}

// The loading overlay.

void FormController::loading(bool loading)
{
    Device::current().setNetworkActivityIndicatorVisible(loading);
    FormTableView* table = m_formTableView;
    if (!table)
        return;
    View* overlay = nullptr;
    for (View* subview : table->subviews())
        if (subview->tag() == LoadingViewTag)
            overlay = subview;
    if (!overlay) {
        overlay = createLoadingView();
        table->addSubview(overlay);
        table->subviewContainer()->bringSubviewToFront(overlay);
    }
    overlay->setFrame(QRectF(table->contentOffset(), table->frame().size()));
    table->setUserInteractionEnabled(!loading);
    if (loading) {
        overlay->setHidden(false);
        table->subviewContainer()->bringSubviewToFront(overlay);
    }
    overlay->setAlpha(loading ? 0 : 1);
    QPointer<View> shown(overlay);
    Animation::animate(
        kLoadingFadeDuration,
        [shown, loading] {
            if (shown)
                shown->setAlpha(loading ? 1 : 0);
        },
        [shown, loading](bool) {
            if (loading)
                return;
            if (shown)
                shown->setHidden(true);
            Device::current().setNetworkActivityIndicatorVisible(false);
        });
}

View* FormController::createLoadingView()
{
    auto* overlay = new View;
    overlay->setBackgroundColor(QColor(0, 0, 0, 102));
    overlay->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    overlay->setTag(LoadingViewTag);
    if (m_formTableView)
        overlay->setFrame(
            QRectF(m_formTableView->contentOffset(), m_formTableView->frame().size()));
    auto* indicator = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge, overlay);
    indicator->startAnimating();
    indicator->sizeToFit();
    const QRectF bounds = overlay->bounds();
    const QSizeF size = indicator->frame().size();
    indicator->setFrame(QRectF(
        QPointF(bounds.center().x() - size.width() / 2, bounds.height() / 3 - size.height() / 2),
        size));
    indicator->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    return overlay;
}

// The keyboard.

void FormController::setResizeWhenKeyboardPresented(bool resize)
{
    m_keyboardObserver.setActive(resize);
}

void FormController::resizeForKeyboard(const platform::Notification& notification)
{
    if (!m_viewOnScreen || !m_formTableView)
        return;
    const bool showing = notification.name == InputPanel::KeyboardWillShowNotification;
    // A second will-show is the panel changing its size (the bar, then a date picker in the
    // keyboard's place): the inset follows, or rows under the bigger panel could not be
    // scrolled into sight.
    if (!showing && !m_keyboardVisible)
        return;
    m_keyboardVisible = showing;
    // In window coordinates.
    const QRectF keyboard = notification.userInfo.value(InputPanel::FrameEndUserInfoKey).toRectF();
    FormTableView* table = m_formTableView;
    // Only the part of the form the panel covers is made room for: a form in a panel that
    // ends above the keyboard bar needs none, and more would let it scroll into emptiness.
    const double bottom = table->mapTo(table->window(), QPointF(0, table->height())).y();
    const double covered = showing ? std::max(0.0, bottom - keyboard.top()) : 0.0;
    // At once, not as the panel slides: a row scrolled to meanwhile must see the room.
    QMarginsF inset = table->contentInset();
    inset.setBottom(covered);
    table->setContentInset(inset);
    if (!showing) {
        const QPointF offset = table->contentOffset();
        const double most = table->maximumContentOffset().y();
        if (offset.y() > most)
            table->setContentOffset(QPointF(offset.x(), most), true);
        return;
    }
    // The panel came or changed its size (the window turned): the row being edited shows
    // above it.
    TextInput* responder = TextInput::firstResponder();
    for (QWidget* view = responder ? responder->inputAsView() : nullptr; view;
         view = view->parentWidget()) {
        if (view->parentWidget() == table->subviewContainer()) {
            table->scrollRectToVisible(QRectF(view->geometry()), true);
            break;
        }
    }
}

// Showing and hiding rows and sections.

void FormController::showElementsWithAnimation(
    RowAnimation animation, const QList<FormElement*>& elements)
{
    showHideElementsWithInsertAnimation(animation, animation, elements, {});
}

void FormController::hideElementsWithAnimation(
    RowAnimation animation, const QList<FormElement*>& elements)
{
    showHideElementsWithInsertAnimation(animation, animation, {}, elements);
}

void FormController::switchElementsWithAnimation(
    RowAnimation animation, const QList<FormElement*>& elements)
{
    QList<FormElement*> toShow;
    QList<FormElement*> toHide;
    for (FormElement* element : elements)
        (element->hidden() ? toShow : toHide).append(element);
    showHideElementsWithInsertAnimation(animation, animation, toShow, toHide);
}

void FormController::showSectionsWithAnimation(
    RowAnimation animation, const QList<FormSection*>& sections)
{
    showHideSectionsWithInsertAnimation(animation, animation, sections, {});
}

void FormController::hideSectionsWithAnimation(
    RowAnimation animation, const QList<FormSection*>& sections)
{
    showHideSectionsWithInsertAnimation(animation, animation, {}, sections);
}

void FormController::showHideElementsWithInsertAnimation(RowAnimation insertAnimation,
    RowAnimation removeAnimation, const QList<FormElement*>& elementsToInsert,
    const QList<FormElement*>& elementsToRemove)
{
    FormTableView* table = m_formTableView;
    if (!table) {
        // No table yet: only the tree changes.
        for (FormElement* element : elementsToRemove)
            element->setHidden(true);
        for (FormElement* element : elementsToInsert)
            element->setHidden(false);
        return;
    }
    // A row of a hidden section is in no table row: it only changes its flag.
    auto rowOf = [](FormElement* element) -> std::optional<IndexPath> {
        FormSection* section = element->parentSection();
        if (!section || section->hidden())
            return std::nullopt;
        const qsizetype sectionIndex = section->visibleIndex();
        const qsizetype row = element->visibleIndex();
        if (sectionIndex == FormNotFound || row == FormNotFound)
            return std::nullopt;
        return IndexPath(int(row), int(sectionIndex));
    };
    table->beginUpdates();
    QList<IndexPath> removed;
    for (auto it = elementsToRemove.crbegin(); it != elementsToRemove.crend(); ++it) {
        FormElement* element = *it;
        if (element->hidden())
            continue;
        if (const std::optional<IndexPath> path = rowOf(element))
            removed.append(*path);
        element->setHidden(true);
    }
    table->deleteRowsAtIndexPaths(removed, removeAnimation);
    QList<IndexPath> inserted;
    for (FormElement* element : elementsToInsert) {
        if (!element->hidden())
            continue;
        element->setHidden(false);
        if (const std::optional<IndexPath> path = rowOf(element))
            inserted.append(*path);
    }
    table->insertRowsAtIndexPaths(inserted, insertAnimation);
    table->endUpdates();
}

void FormController::showHideSectionsWithInsertAnimation(RowAnimation insertAnimation,
    RowAnimation removeAnimation, const QList<FormSection*>& sectionsToInsert,
    const QList<FormSection*>& sectionsToRemove)
{
    FormTableView* table = m_formTableView;
    if (!table) {
        for (FormSection* section : sectionsToRemove)
            section->setHidden(true);
        for (FormSection* section : sectionsToInsert)
            section->setHidden(false);
        return;
    }
    table->beginUpdates();
    QList<int> removed;
    for (auto it = sectionsToRemove.crbegin(); it != sectionsToRemove.crend(); ++it) {
        FormSection* section = *it;
        if (section->hidden())
            continue;
        const qsizetype index = section->visibleIndex();
        if (index != FormNotFound)
            removed.append(int(index));
        section->setHidden(true);
    }
    table->deleteSections(removed, removeAnimation);
    QList<int> inserted;
    for (FormSection* section : sectionsToInsert) {
        if (!section->hidden())
            continue;
        section->setHidden(false);
        const qsizetype index = section->visibleIndex();
        if (index != FormNotFound)
            inserted.append(int(index));
    }
    table->insertSections(inserted, insertAnimation);
    table->endUpdates();
}
