#pragma once

#include "grid/GenericRowViewController.h"

// Tiles of a list to choose from: all rows in one page.
class ListSelectRowViewController : public GenericRowViewController {
    Q_OBJECT
public:
    ListSelectRowViewController();
    ~ListSelectRowViewController() override;

    QVariant pageSize() override;
};
