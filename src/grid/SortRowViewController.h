#pragma once

#include "grid/FilterRowViewController.h"

// A sort key as a 30-point tile: "<Header> Ascending" (or Descending).
class SortRowViewController : public FilterRowViewController {
    Q_OBJECT
public:
    Q_INVOKABLE SortRowViewController();
    ~SortRowViewController() override;

    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;
    QSizeF getRowSize() override;

    static constexpr double SortTileHeight = 30;
    static constexpr double TextWidth = 200;
};
