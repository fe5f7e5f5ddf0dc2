#pragma once

#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewDelegateFlowLayout.h"
#include "platform/ui/Control.h"

#include <QStringList>

class SqlKeyboardProtocol;

// A keyboard of SQL keyword buttons, running down columns of five and scrolling
// sideways; a tap hands the keyword to the parent.
class SqlKeyboardView : public platform::ui::CollectionView,
                        public platform::ui::CollectionViewDataSource,
                        public platform::ui::CollectionViewDelegateFlowLayout {
    Q_OBJECT
public:
    explicit SqlKeyboardView(SqlKeyboardProtocol* parent, QWidget* widgetParent = nullptr);

    static const QStringList& defaultKeywords();
    static const QString CellIdentifier; // "cvCell"
    static constexpr int ButtonTag = 100;

    SqlKeyboardProtocol* parentKeyboard() const { return m_parent; }
    QStringList keywords() const { return m_keywords; }

    // Hands the button's title to the parent.
    void buttonClicked(platform::ui::Control* button);

    int collectionViewNumberOfItemsInSection(
        platform::ui::CollectionView* view, int section) override;
    platform::ui::CollectionViewCell* collectionViewCellForItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;

private:
    SqlKeyboardProtocol* m_parent = nullptr;
    QStringList m_keywords;
};
