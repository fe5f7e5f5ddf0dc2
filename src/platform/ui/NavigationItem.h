#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

namespace platform::ui {

class BarButtonItem;
class View;

// What a navigation bar shows for one view controller: title (or a title view), the
// left item or back button, and the right items, the first of them rightmost. Items
// given without a Qt parent are adopted by the navigation item.
class NavigationItem : public QObject {
    Q_OBJECT
public:
    explicit NavigationItem(QObject* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    View* titleView() const { return m_titleView; }
    // The bar gives the view the size it has now, as far as there is room for it; set it
    // again after resizing the view.
    void setTitleView(View* view);
    QSizeF titleViewSize() const { return m_titleViewSize; }

    BarButtonItem* leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(BarButtonItem* item, bool animated = false);
    BarButtonItem* rightBarButtonItem() const;
    void setRightBarButtonItem(BarButtonItem* item, bool animated = false);
    QList<BarButtonItem*> rightBarButtonItems() const;
    void setRightBarButtonItems(const QList<BarButtonItem*>& items, bool animated = false);
    BarButtonItem* backBarButtonItem() const { return m_back; }
    void setBackBarButtonItem(BarButtonItem* item);
    bool hidesBackButton() const { return m_hidesBack; }
    void setHidesBackButton(bool hides, bool animated = false);

signals:
    void changed();

private:
    void adopt(BarButtonItem* item);

    QString m_title;
    QPointer<View> m_titleView;
    QSizeF m_titleViewSize;
    QPointer<BarButtonItem> m_left;
    QList<QPointer<BarButtonItem>> m_right;
    QPointer<BarButtonItem> m_back;
    bool m_hidesBack = false;
};

} // namespace platform::ui
