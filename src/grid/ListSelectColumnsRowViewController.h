#pragma once

#include "grid/ColumnsRowViewController.h"

// A desktop-server table as a column table in a list-select screen: all rows, no paging.
class ListSelectColumnsRowViewController : public ColumnsRowViewController {
    Q_OBJECT
public:
    ListSelectColumnsRowViewController();
    ~ListSelectColumnsRowViewController() override;

    QVariant pageSize() override { return QVariant(-1); }
};
