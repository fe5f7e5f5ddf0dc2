#pragma once

#include "grid/FileBrowserDataController.h"

// Documents and its folders as the settings' File Browser shows them: a tapped file opens
// in the preview; folders are made and entries deleted as in the save and open browsers.
class LocalFileBroswerDataController : public FileBrowserDataController {
    Q_OBJECT
};
