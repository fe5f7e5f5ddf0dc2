#include "widgets/SimplePopupViewController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PopoverHost.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/SelectiveBorder.h"
#include "utilities/shell/SelectiveBordersLayer.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/SimplePopoverControllerDelegate.h"

#include <algorithm>

using namespace platform::ui;

namespace {

// The container's border drawn over the content: a view draws its own layer beneath its
// subviews, where a content that fills the container would hide it.
class BorderOverlay : public View {
public:
    explicit BorderOverlay(View* container)
        : View(container->bounds(), container)
    {
        setUserInteractionEnabled(false);
        setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        if (auto* border = dynamic_cast<SelectiveBordersLayer*>(superview()->layer()))
            border->drawOver(painter, rect);
    }
};

} // namespace

SimplePopupViewController::SimplePopupViewController(
    ViewController* viewController, const QSizeF& contentSize, QObject* parent)
    : SimplePopupViewController(viewController, contentSize, false, parent)
{
}

SimplePopupViewController::SimplePopupViewController(
    ViewController* viewController, const QSizeF& contentSize, bool withBorder, QObject* parent)
    : FloatingPanelController(viewController, parent)
{
    m_contentSize = contentSize;
    QPointer<SimplePopupViewController> weak(this);
    makeTouchView([weak] {
        if (weak && !weak->m_disableAutoClose)
            weak->dismissPopoverAnimated(true);
    });
    View* root = view();

    const QRectF frame(0, 0, contentSize.width(), contentSize.height());
    m_container = new View(frame, m_touchView);
    if (viewController) {
        View* content = viewController->view();
        content->setFrame(frame);
        content->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        m_container->addSubview(content);
    }
    root->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    root->setClipsToBounds(false);
    m_touchView->setClipsToBounds(false);

    if (withBorder) {
        const Theme* style = Theme::current();
        SelectiveBorder::setSelectiveBorderFlag(m_container, 15);
        SelectiveBorder::setSelectiveBordersColor(
            m_container, style ? style->toolbarColor().toQColor() : QColor(Qt::darkGray));
        SelectiveBorder::setSelectiveBordersWidth(m_container, 5.0f);
        Layer* layer = m_container->layer();
        layer->setShadowOpacity(0.7);
        layer->setShadowRadius(5);
        layer->setShadowOffset(QPointF(-3, 3));
        m_borderOverlay = new BorderOverlay(m_container);
    }
    setupView();
    addDoneButton();
}

SimplePopupViewController::~SimplePopupViewController()
{
    removeObservers();
    if (m_doneItem)
        delete m_doneItem.data();
}

SimplePopoverControllerDelegate* SimplePopupViewController::delegate() const
{
    return living(m_delegate);
}

void SimplePopupViewController::setDelegate(SimplePopoverControllerDelegate* delegate)
{
    m_delegate = delegate;
    trackDelegate(dynamic_cast<QObject*>(delegate));
}

void SimplePopupViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    addObservers();
    setupView();
    addDoneButton();
}

void SimplePopupViewController::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    if (!m_inSetup)
        setupView();
}

void SimplePopupViewController::addObservers()
{
    observeOrientation();
}

void SimplePopupViewController::removeObservers()
{
    stopObservingOrientation();
}

void SimplePopupViewController::presentPopoverFromPoint(const QPointF& point)
{
    m_origin = point;
    beginPresentation();
    addObservers();
    if (!showInHost())
        dismissPopoverAnimated(false);
    setupView();
    finishContentAppearance();
    // The container fades; the full-size views take touches from the first moment.
    m_container->setAlpha(0.0);
    QPointer<View> container = m_container;
    Animation::animate(kFadeDuration, 0, AnimationOptionAllowUserInteraction, [container] {
        if (container)
            container->setAlpha(1.0);
    });
}

void SimplePopupViewController::setupView()
{
    if (!m_container)
        return; // the view is made inside the initialiser, before the container
    View* root = view();
    const double pw = parentWidth();
    const double ph = parentHeight();
    m_inSetup = true;
    root->setFrame(QRectF(0, 0, pw, ph));
    m_touchView->setFrame(root->bounds());
    if (!m_parentView) {
        // Not shown: the content keeps its size for the next presentation.
        m_inSetup = false;
        return;
    }

    double w = m_contentSize.width();
    double h = m_contentSize.height();
    const bool pad = DeviceHelper::isIPAD();
    if (h > ph)
        h = pad ? ph - 60 : ph;
    if (w > pw)
        w = pad ? pw - 20 : pw;
    double x = m_origin.x();
    double y = m_origin.y();
    if (m_origin.isNull()) {
        const QPointF center = root->center();
        x = center.x() - w / 2;
        y = center.y() - h / 2;
    }
    // It fits the window it opens in: moved left and up as far as it overflows, never past
    // the top left corner, so its buttons stay on screen.
    x = std::max(0.0, std::min(x, pw - w));
    y = std::max(0.0, std::min(y, ph - h));
    m_container->setFrame(QRectF(x, y, std::max(0.0, w), std::max(0.0, h)));
    // The content fills the container.
    if (m_contentController && m_contentController->isViewLoaded()
        && m_contentController->view()->parentWidget() == m_container)
        m_contentController->view()->setFrame(m_container->bounds());
    if (m_borderOverlay) {
        m_borderOverlay->setFrame(m_container->bounds());
        m_borderOverlay->raise();
    }
    m_container->update();
    m_touchView->update();
    root->update();
    m_inSetup = false;
    addDoneButton();
}

void SimplePopupViewController::addDoneButton()
{
    ViewController* content = m_contentController;
    if (!content)
        return;
    if (!m_doneItem) {
        QPointer<SimplePopupViewController> weak(this);
        m_doneItem = new BarButtonItem(BarButtonItem::SystemItem::Done, [weak](BarButtonItem*) {
            if (weak)
                weak->dismissPopover();
        });
    }
    NavigationItem* item = content->navigationItem();
    if (item->rightBarButtonItem() != m_doneItem)
        item->setRightBarButtonItem(m_doneItem);
}

void SimplePopupViewController::dismissPopoverAnimated(bool animated)
{
    if (!animated) {
        dismissPopover();
        return;
    }
    if (m_dismissing)
        return;
    m_dismissing = true;
    QPointer<SimplePopupViewController> self(this);
    QPointer<View> container = m_container;
    const quint64 presentation = m_presentation;
    Animation::animate(
        kFadeDuration,
        [container] {
            if (container)
                container->setAlpha(0.0);
        },
        [self, presentation](bool) {
            // Shown again meanwhile: that presentation stays.
            if (self && self->m_presentation == presentation && self->m_dismissing)
                self->dismissPopover();
        });
}

void SimplePopupViewController::dismissPopover()
{
    removeObservers();
    endPresentation();
    QPointer<SimplePopupViewController> self(this);
    if (SimplePopoverControllerDelegate* listener = delegate())
        listener->SimplePopoverControllerDidDismissPopover(this);
    if (self)
        releaseAfterDismissal();
}
