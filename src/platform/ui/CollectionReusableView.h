#pragma once

#include "platform/ui/CollectionViewLayoutAttributes.h"
#include "platform/ui/View.h"

namespace platform::ui {

// A view a collection view reuses: cells and supplementary views. When it scrolls away
// it waits, hidden, under its reuse identifier; dequeuing it again calls prepareForReuse
// and keeps its subviews.
class CollectionReusableView : public View {
    Q_OBJECT
public:
    explicit CollectionReusableView(QWidget* parent = nullptr);
    ~CollectionReusableView() override;

    QString reuseIdentifier() const { return m_reuseIdentifier; }

    virtual void prepareForReuse();
    // Called with the layout's attributes each time they change.
    virtual void applyLayoutAttributes(const CollectionViewLayoutAttributes& attributes);

private:
    friend class CollectionView;
    QString m_reuseIdentifier;
};

} // namespace platform::ui
