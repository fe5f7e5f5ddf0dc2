#include "utilities/shell/FileBrowserProtocol.h"

FileBrowserProtocol::~FileBrowserProtocol() = default;

void FileBrowserProtocol::dismissPopup(platform::ui::ViewController*)
{
}

void FileBrowserProtocol::dismissPopup()
{
}
