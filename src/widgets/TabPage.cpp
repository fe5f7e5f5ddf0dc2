#include "widgets/TabPage.h"

#include "platform/ui/ViewController.h"

TabPage::TabPage(
    platform::ui::ViewController* controller, const QString& title, int index, QObject* parent)
    : QObject(parent)
    , m_title(title)
    , m_index(index)
    , m_tabpageController(controller)
{
    if (controller && !controller->parent())
        controller->setParent(this);
}
