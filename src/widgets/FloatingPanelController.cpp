#include "widgets/FloatingPanelController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/DesktopKeys.h"
#include "platform/ui/Device.h"
#include "platform/ui/Guard.h"
#include "platform/ui/PopoverHost.h"
#include "platform/ui/View.h"
#include "widgets/PopoverTouchView.h"

using namespace platform::ui;

FloatingPanelController::FloatingPanelController(ViewController* viewController, QObject* parent)
    : ViewController(parent)
    , m_contentController(viewController)
{
    if (viewController && !viewController->parent())
        viewController->setParent(this);
}

FloatingPanelController::~FloatingPanelController()
{
    // A content controller that lives on keeps its view.
    if (m_contentController && m_contentController->parent() != this
        && m_contentController->isViewLoaded()) {
        View* content = m_contentController->view();
        if (content->isDescendantOfView(view())) {
            content->removeFromSuperview();
            content->hide();
        }
    }
}

void FloatingPanelController::loadView()
{
    auto* root = new View();
    root->setFrame(Device::current().screenBounds());
    root->setBackgroundColor(Qt::transparent);
    setView(root);
}

void FloatingPanelController::makeTouchView(std::function<void()> touchedOutside)
{
    View* root = view(); // made here, before the panel exists
    root->setUserInteractionEnabled(true);
    m_touchView = new PopoverTouchView(root->bounds(), root);
    m_touchView->setBackgroundColor(Qt::transparent);
    m_touchView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    m_touchView->setClipsToBounds(false);
    m_touchedOutside = touchedOutside;
    m_touchView->setTouchedOutsideBlock(std::move(touchedOutside));
}

void FloatingPanelController::escapePressed()
{
    if (m_touchedOutside)
        m_touchedOutside();
}

double FloatingPanelController::parentWidth() const
{
    return m_parentView ? m_parentView->bounds().width() : 0.0;
}

double FloatingPanelController::parentHeight() const
{
    return m_parentView ? m_parentView->bounds().height() : 0.0;
}

void FloatingPanelController::contentAppearance(bool appearing)
{
    ViewController* content = m_contentController;
    if (!content)
        return;
    // An appearance still under way ends first.
    content->endAppearanceTransition();
    if (content->isAppeared() == appearing)
        return;
    content->beginAppearanceTransition(appearing, true);
    // Appearing, it has appeared once the presenter has laid the panel out at its size.
    if (!appearing)
        content->endAppearanceTransition();
}

void FloatingPanelController::finishContentAppearance()
{
    if (m_contentController)
        m_contentController->endAppearanceTransition();
}

void FloatingPanelController::beginPresentation()
{
    view()->removeFromSuperview();
    ++m_presentation;
    m_presented = true;
    m_dismissing = false;
    if (!parent())
        m_ownedByPresentation = true;
}

bool FloatingPanelController::showInHost()
{
    if (!PopoverHost::hasWindow())
        return false;
    m_window = Application::shared().keyWindow();
    m_parentView = PopoverHost::firstSubview();
    if (m_parentView) {
        m_parentView->addSubview(view());
        QPointer<FloatingPanelController> self(this);
        DesktopKeys::setOutsideTap(view(), [self] {
            if (self)
                self->escapePressed();
        });
        // Owned by its presentation, it goes with the window at the latest.
        if (m_ownedByPresentation)
            setParent(m_parentView);
        contentAppearance(true);
    }
    return true;
}

void FloatingPanelController::endPresentation()
{
    contentAppearance(false);
    DesktopKeys::clearOutsideTap(view());
    view()->removeFromSuperview();
    m_presented = false;
    m_dismissing = false;
}

void FloatingPanelController::releaseAfterDismissal()
{
    m_window = nullptr;
    m_parentView = nullptr;
    if (m_ownedByPresentation && !m_presented) {
        m_ownedByPresentation = false;
        deleteLater();
    }
}

void FloatingPanelController::observeOrientation()
{
    if (!m_orientationObservation)
        m_orientationObservation = connect(&Device::current(), &Device::orientationChanged, this,
            [this] { orientationChanged(); });
}

void FloatingPanelController::stopObservingOrientation()
{
    QObject::disconnect(m_orientationObservation);
    m_orientationObservation = {};
}

void FloatingPanelController::orientationChanged()
{
    // The turn is told as the window takes its new size, before its views follow: laid
    // out now, the panel would move towards the old shape and stay there.
    QPointer<FloatingPanelController> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self || !self->m_presented)
                return;
            if (self->m_turnAdjustment)
                guarded(self->m_turnAdjustment);
            if (self && self->m_presented)
                Animation::animate(kFadeDuration, [self] {
                    if (self)
                        self->setupView();
                });
        },
        Qt::QueuedConnection);
}
