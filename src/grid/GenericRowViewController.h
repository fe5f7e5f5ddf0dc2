#pragma once

#include "grid/RowViewContoller.h"
#include "platform/ui/GestureRecognizer.h"

#include <QRectF>
#include <QSizeF>

#include <functional>

class DataControllerPtotocol;
class MainCollectionViewController;
class GridData;

namespace platform::ui {
class ImageView;
class View;
} // namespace platform::ui

// Rows as tiles: a coloured rectangle with an icon, a title and a disclosure arrow, plus
// small edit and delete buttons in edit mode. Tiles are sized for the device: one per line
// on a phone, on a tablet as many as fit (or as many as the columns menu chose). A reused
// cell keeps its subviews, found again by tag, and only what differs is set again.
class GenericRowViewController : public RowViewContoller,
                                 public platform::ui::GestureRecognizerDelegate {
    Q_OBJECT
public:
    GenericRowViewController();
    ~GenericRowViewController() override;

    // The grid screen that made this row view, as the main grid screen.
    MainCollectionViewController* mainGridViewController() const;

    platform::ui::CollectionViewLayout* collectionViewLayout() override;
    QSizeF getRowSize() override;
    // Tiles per line on a tablet: the columns menu's choice, else what fits.
    unsigned ipadcolumns();
    unsigned dynamicColumns();
    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;
    void addTilesButtons(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize);
    platform::ui::View* createTilesButton(
        const QRectF& frame, int tag, platform::ui::View* contentView, qint64 index);
    void hideTilesButton(int tag, platform::ui::View* contentView);
    void tapOnTilesButton(platform::ui::GestureRecognizer* recognizer);
    QColor rowbackColor(qint64 index) override;
    // The "tiles" setting; -1 (all rows in one page) when it is below 1.
    QVariant pageSize() override;

    // Tile geometry.
    static constexpr double TileHeight = 50.0;
    static constexpr double IconSize = 50.0;
    static constexpr double TitleAfterIcon = 51.0;
    static constexpr double DisclosureWidth = 50.0;
    static constexpr double TilesButtonSize = 25.0;
    static constexpr double DeleteButtonInset = 30.0; // from the tile's right edge
    static constexpr double EditButtonInset = 65.0;
    // Tiles on a tablet: at least this wide, this far apart, with this much outer margin.
    static constexpr float MinimumTileWidth = 300.0f;
    static constexpr float TileGap = 15.0f;
    static constexpr float OuterMargins = 30.0f;

    static constexpr int DisclosureTag = 2000;
    static constexpr int EditButtonTag = 2001;
    static constexpr int DeleteButtonTag = 2002;
    static constexpr int TitleTag = 3000;
    static constexpr int IconTag = 4000;

protected:
    // A new flow layout: vertical, inset by the spacing on all four sides.
    virtual platform::ui::CollectionViewLayout* makeLayout();
    // The width the tiles share: the grid's content width.
    double contentWidth() const;
    // The tile's disclosure arrow at that frame, made with its tap once and reused; hidden
    // while editing.
    void placeDisclosure(platform::ui::View* contentView, const QRectF& frame, qint64 index);
    // The tile in the row colour (set only when it differs).
    void paintRowBackground(platform::ui::View* contentView);
    // The grid's data for the row, or empty data.
    GridData gridDataAt(qint64 index) const;
    // The controller's image for the row, else the row's own, loaded only when it changed.
    static void setTileImage(platform::ui::ImageView* image, DataControllerPtotocol* controller,
        qint64 index, const QString& rowImage);
    static void setFrameIfDifferent(platform::ui::View* view, const QRectF& frame);
    // The multi-line tiles' icon at the left, vertically at y: made once and reused, hidden
    // when the row has no image. Answers where the lines start: after the icon, or at 0.
    static double placeLinesIcon(platform::ui::View* contentView,
        DataControllerPtotocol* controller, qint64 index, const QString& rowImage, double y);
    // A tap on the view runs the handler while this row view lives.
    void addTap(
        platform::ui::View* view, std::function<void(platform::ui::GestureRecognizer*)> handler);
};
