#pragma once

#include "bridge/CloudFileBrowserDataController.h"

// The cloud documents folder as the settings' File Browser shows it: a tapped document
// opens in the preview.
class GeneralCloudFileBrowserController : public CloudFileBrowserDataController {
    Q_OBJECT
};
