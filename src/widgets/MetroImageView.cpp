#include "widgets/MetroImageView.h"

MetroImageView::MetroImageView(QWidget* parent)
    : ImageView({}, parent)
{
    setTag(Tag);
}

MetroImageView::MetroImageView(const QRectF& frame, QWidget* parent)
    : MetroImageView(parent)
{
    setFrame(frame);
}
