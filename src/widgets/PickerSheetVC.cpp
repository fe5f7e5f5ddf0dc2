#include "widgets/PickerSheetVC.h"

#include "platform/ui/Device.h"
#include "platform/ui/View.h"
#include "widgets/PickerSheet.h"

using namespace platform::ui;

PickerSheetVC::PickerSheetVC(QObject* parent)
    : ViewController(parent)
{
}

void PickerSheetVC::setActionSheet(PickerSheet* sheet)
{
    if (sheet == m_actionSheet)
        return;
    if (m_actionSheet && m_actionSheet->presented())
        m_actionSheet->dismissWithClickedButtonIndex(0, true);
    m_actionSheet = sheet;
    presentActionSheetAnimated(true);
}

void PickerSheetVC::presentActionSheetAnimated(bool animated)
{
    if (!m_actionSheet || !isViewLoaded() || m_actionSheet->presented())
        return;
    m_actionSheet->configureFrameForBounds(view()->bounds());
    m_actionSheet->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    view()->addSubview(m_actionSheet);
    m_actionSheet->showInContainerViewAnimated(animated);
}

void PickerSheetVC::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    presentActionSheetAnimated(true);
}

bool PickerSheetVC::prefersStatusBarHidden() const
{
    return Device::current().statusBarHidden();
}
