#include "widgets/PickerSheet.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "widgets/PickerSheetVC.h"

using namespace platform::ui;

PickerSheet::PickerSheet(View* view, QWidget* parent)
    : View(parent)
    , m_view(view)
{
    setBackgroundColor(QColor(0, 0, 0, 0));
    m_bgView = new View(this);
    m_bgView->setBackgroundColor(Qt::white);
    if (view)
        addSubview(view);
}

PickerSheet::~PickerSheet()
{
    if (m_window)
        m_window->deleteLater();
}

View* PickerSheet::window()
{
    if (!m_window) {
        View* overlay = Application::shared().overlayLevel();
        auto* host = new View(overlay->bounds(), overlay);
        host->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        host->setBackgroundColor(Qt::transparent);
        host->setHidden(true);
        auto* root = new PickerSheetVC(host);
        View* rootView = root->view();
        rootView->setBackgroundColor(Qt::transparent);
        rootView->setFrame(host->bounds());
        rootView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        host->addSubview(rootView);
        m_window = host;
    }
    return m_window;
}

PickerSheetVC* PickerSheet::actionSheetContainer() const
{
    return m_window ? m_window->findChild<PickerSheetVC*>(QString(), Qt::FindDirectChildrenOnly)
                    : nullptr;
}

void PickerSheet::showInContainerView()
{
    View* host = window();
    host->setHidden(false);
    host->raise();
    actionSheetContainer()->setActionSheet(this);
}

void PickerSheet::showFromBarButtonItem(QObject*, bool)
{
    showInContainerView();
}

void PickerSheet::configureFrameForBounds(const QRectF& bounds)
{
    const double panelHeight = m_view ? m_view->frame().height() : 0;
    setFrame(QRectF(bounds.x(), bounds.y(), bounds.width(), bounds.height() + panelHeight));
    if (!m_view)
        return;
    m_view->setFrame(
        QRectF(m_view->bounds().x(), bounds.height(), m_view->frame().width(), panelHeight));
    m_view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
    m_bgView->setFrame(m_view->frame());
    m_bgView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

void PickerSheet::showInContainerViewAnimated(bool animated)
{
    const double panelHeight = m_view ? m_view->frame().height() : 0;
    const QPointF to = center() - QPointF(0, panelHeight);
    auto change = [this, to] {
        setCenter(to);
        setBackgroundColor(QColor(0, 0, 0, 128));
    };
    if (animated)
        Animation::animate(AnimationDuration, 0, AnimationOptionCurveEaseIn, change);
    else
        change();
    m_presented = true;
}

void PickerSheet::dismissWithClickedButtonIndex(int, bool animated)
{
    const double panelHeight = m_view ? m_view->frame().height() : 0;
    const QPointF to = center() + QPointF(0, panelHeight);
    auto change = [this, to] {
        setCenter(to);
        setBackgroundColor(QColor(0, 0, 0, 0));
    };
    QPointer<PickerSheet> self(this);
    auto finish = [self](bool) {
        if (!self)
            return;
        self->destroyWindow();
        self->removeFromSuperview();
        // Nothing shows the sheet any more.
        self->deleteLater();
    };
    m_presented = false;
    if (animated) {
        Animation::animate(AnimationDuration, 0, AnimationOptionCurveEaseIn, change, finish);
    } else {
        change();
        finish(true);
    }
}

void PickerSheet::destroyWindow()
{
    if (!m_window)
        return;
    if (PickerSheetVC* root = actionSheetContainer())
        root->setActionSheet(nullptr);
    // The sheet leaves the host before the host goes, so it outlives it.
    if (parentWidget() && m_window->isAncestorOf(this))
        removeFromSuperview();
    m_window->setHidden(true);
    m_window->deleteLater();
    m_window = nullptr;
}
