#include "platform/ui/PopoverHost.h"

#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace platform::ui::PopoverHost {

bool hasWindow()
{
    return Application::shared().hasKeyWindow();
}

View* firstSubview()
{
    if (!hasWindow())
        return nullptr;
    return Application::shared().keyWindow()->rootView();
}

} // namespace platform::ui::PopoverHost
