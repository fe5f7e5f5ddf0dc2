#pragma once

#include "grid/GenericRowViewController.h"

// A filter condition as a 120-point tile: four rows of caption and value (and/or, column,
// operator, value), 30 points apart; two tiles side by side on a tablet.
class FilterRowViewController : public GenericRowViewController {
    Q_OBJECT
public:
    Q_INVOKABLE FilterRowViewController();
    ~FilterRowViewController() override;

    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;
    QSizeF getRowSize() override;
    QColor rowbackColor(qint64 index) override;

    static constexpr double FilterTileHeight = 120;
    static constexpr double LineHeight = 30;
    static constexpr double CaptionWidth = 75;
    static constexpr double ValueX = 76;
    static constexpr double ValueWidth = 125;

protected:
    // The tile's size for its height: the grid's width less 20 on a phone, half of it less
    // 22.5 on a tablet.
    QSizeF tileSize(double height) const;
    // Empties the tile and paints it in the row colour.
    void clearTile(platform::ui::View* contentView);
    static void addLabel(platform::ui::View* contentView, const QRectF& frame, const QString& text);
};
