#include "platform/ui/CollectionViewCell.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace platform::ui {

namespace {

// The content view fills its cell, so a shadow around it would be cut off at the cell's
// edge; the cell shows it instead, around itself.
class CellContentView : public View {
public:
    explicit CellContentView(View* cell)
        : View(cell)
        , m_cell(cell)
    {
    }

protected:
    void layerDidChange() override
    {
        const Layer* mine = layer();
        Layer* shown = m_cell->layer();
        if (shown->shadowColor() != mine->shadowColor())
            shown->setShadowColor(mine->shadowColor());
        if (shown->shadowOffset() != mine->shadowOffset())
            shown->setShadowOffset(mine->shadowOffset());
        if (shown->shadowRadius() != mine->shadowRadius())
            shown->setShadowRadius(mine->shadowRadius());
        if (shown->presentedShadowOpacity() != mine->presentedShadowOpacity())
            shown->applyShadowOpacity(mine->presentedShadowOpacity());
    }

private:
    View* m_cell;
};

} // namespace

CollectionViewCell::CollectionViewCell(QWidget* parent)
    : CollectionReusableView(parent)
{
    m_contentView = new CellContentView(this);
    m_contentView->setFrame(bounds());
    m_contentView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
}

CollectionViewCell::~CollectionViewCell() = default;

void CollectionViewCell::replaceBackground(QPointer<View>& slot, View* view)
{
    if (slot == view)
        return;
    if (slot) {
        slot->removeFromSuperview();
        slot->deleteLater();
    }
    slot = view;
    if (!view)
        return;
    addSubview(view);
    view->setFrame(bounds());
    view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    // Backgrounds stay behind the content: background, selected background, content.
    m_contentView->raise();
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->stackUnder(m_contentView);
    if (m_backgroundView)
        m_backgroundView->lower();
    updateSelectionDisplay();
}

void CollectionViewCell::setBackgroundView(View* view)
{
    replaceBackground(m_backgroundView, view);
}

void CollectionViewCell::setSelectedBackgroundView(View* view)
{
    replaceBackground(m_selectedBackgroundView, view);
}

void CollectionViewCell::setSelected(bool selected)
{
    m_selected = selected;
    updateSelectionDisplay();
}

void CollectionViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    updateSelectionDisplay();
}

void CollectionViewCell::updateSelectionDisplay()
{
    const bool on = m_selected || m_highlighted;
    // Through alpha, so a selection made inside an animation fades.
    if (m_selectedBackgroundView) {
        m_selectedBackgroundView->setHidden(false);
        m_selectedBackgroundView->setAlpha(on ? 1.0 : 0.0);
    }
    highlightDescendants(m_contentView, on);
}

void CollectionViewCell::highlightDescendants(QObject* parent, bool on)
{
    // One walk, with no list made: a grid's cells show a new row at every scroll step.
    for (QObject* child : parent->children()) {
        if (auto* label = qobject_cast<Label*>(child))
            label->setHighlighted(on);
        else if (auto* image = qobject_cast<ImageView*>(child))
            image->setHighlighted(on);
        highlightDescendants(child, on);
    }
}

void CollectionViewCell::prepareForReuse()
{
    CollectionReusableView::prepareForReuse();
    m_selected = false;
    m_highlighted = false;
    updateSelectionDisplay();
}

void CollectionViewCell::layoutSubviews()
{
    const QRectF b = bounds();
    m_contentView->setFrame(b);
    if (m_backgroundView)
        m_backgroundView->setFrame(b);
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(b);
}

} // namespace platform::ui
