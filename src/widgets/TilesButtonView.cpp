#include "widgets/TilesButtonView.h"

TilesButtonView::TilesButtonView(QWidget* parent)
    : ImageView({}, parent)
{
}

TilesButtonView::TilesButtonView(const QRectF& frame, QWidget* parent)
    : TilesButtonView(parent)
{
    setFrame(frame);
}
