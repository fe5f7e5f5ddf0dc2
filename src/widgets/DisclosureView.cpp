#include "widgets/DisclosureView.h"

DisclosureView::DisclosureView(QWidget* parent)
    : ImageView({}, parent)
{
    setTag(Tag);
}

DisclosureView::DisclosureView(const QRectF& frame, QWidget* parent)
    : DisclosureView(parent)
{
    setFrame(frame);
}
