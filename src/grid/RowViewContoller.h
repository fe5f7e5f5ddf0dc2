#pragma once

#include "grid/RowViewContollerProtocol.h"

#include <QObject>
#include <QPointer>
#include <QRectF>

class CollectionViewController;

namespace platform::ui {
class CollectionViewLayout;
}

// The base of the row views: the grid screen it serves (set once it is made, as
// initWithParent: does), the layout it makes on the first ask and keeps, the tiles' edit
// mode and which tile buttons edit mode shows. Row views are made by class name through
// the ClassRegistry.
class DisclosureView;
namespace platform::ui {
class GestureRecognizer;
class GestureRecognizerDelegate;
class Image;
class ImageView;
} // namespace platform::ui

class RowViewContoller : public QObject, public RowViewContollerProtocol {
    Q_OBJECT
public:
    RowViewContoller();
    ~RowViewContoller() override;

    // initWithParent:
    void initWithParent(CollectionViewController* grid);
    CollectionViewController* gridViewController() const;
    platform::ui::CollectionViewLayout* layout() const;
    void setLayout(platform::ui::CollectionViewLayout* layout);

    // Edit mode of the tiles: set by a left swipe over a cell, cleared by a right one.
    bool editing() const { return m_editing; }
    void setEditing(bool editing) { m_editing = editing; }
    // Any non-zero value shows the delete button in edit mode; the bit of 2 adds edit.
    qint8 tilesButtons() const { return m_tilesButtons; }
    void setTilesButtons(qint8 buttons) { m_tilesButtons = buttons; }

    // 10 points on a phone, 15 on a tablet.
    int getSpacing() override;

    static constexpr qint8 DeleteButtonFlag = 1;
    static constexpr qint8 EditButtonFlag = 2;

    // A tap on a row's disclosure arrow selects the row and opens its child screen.
    void localtapOnDisclousure(platform::ui::GestureRecognizer* recognizer);

    // Shows a themed icon in the view, with the look it takes while its row is selected
    // (a cell highlights its image views then): the icon in the theme's colour for icons
    // on the highlight, when the image colour would not show there.
    static void setThemedIcon(platform::ui::ImageView* view, const platform::ui::Image& icon);

protected:
    // A row's disclosure arrow at the frame with the themed image, tappable; the delegate
    // decides which touches its tap takes.
    DisclosureView* makeDisclosureArrow(const QRectF& frame, const QString& image,
        platform::ui::GestureRecognizerDelegate* delegate);

private:
    QPointer<CollectionViewController> m_grid;
    QPointer<platform::ui::CollectionViewLayout> m_layout;
    bool m_editing = false;
    qint8 m_tilesButtons = 0;
};
