#pragma once

#include "platform/ui/CollectionReusableView.h"

#include <QPointer>

namespace platform::ui {

// A collection-view cell. What it shows goes into its content view, which fills the cell
// and whose background and layer shadow animate. Behind the content: an optional
// background view and, while the cell is selected or highlighted, the selected background
// view. Highlighting also highlights the labels and image views inside.
class CollectionViewCell : public CollectionReusableView {
    Q_OBJECT
public:
    explicit CollectionViewCell(QWidget* parent = nullptr);
    ~CollectionViewCell() override;

    View* contentView() const { return m_contentView; }
    View* backgroundView() const { return m_backgroundView; }
    // The cell takes the view; the one it replaces is deleted.
    void setBackgroundView(View* view);
    View* selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(View* view);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);

    void prepareForReuse() override;
    void layoutSubviews() override;

private:
    void updateSelectionDisplay();
    // Highlights or not every label and image view below the object.
    static void highlightDescendants(QObject* parent, bool on);
    void replaceBackground(QPointer<View>& slot, View* view);

    View* m_contentView = nullptr;
    QPointer<View> m_backgroundView;
    QPointer<View> m_selectedBackgroundView;
    bool m_selected = false;
    bool m_highlighted = false;
};

} // namespace platform::ui
