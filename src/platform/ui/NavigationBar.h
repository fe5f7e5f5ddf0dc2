#pragma once

#include "platform/ui/View.h"

#include <QFont>
#include <QList>
#include <QPointer>
#include <QString>

#include <utility>

namespace platform::ui {

class BarButtonItem;
class Button;
class Label;
class NavigationItem;

// Text attributes of titles: foreground colour, font and shadow colour.
struct TextAttributes {
    QColor foregroundColor;
    QFont font;
    bool hasFont = false;
    QColor shadowColor;

    bool operator==(const TextAttributes&) const = default;
};

// The bar over a navigation stack: back button or left item, title, right items with the
// first one rightmost. Colours: bar tint (background), tint (buttons), title attributes.
class NavigationBar : public View {
    Q_OBJECT
public:
    enum class BarStyle { Default = 0, Black = 1 };

    explicit NavigationBar(QWidget* parent = nullptr);

    QColor barTintColor() const { return m_barTint; }
    void setBarTintColor(const QColor& color);
    void setBarTint(const QColor& color) { setTintColor(color); } // the buttons' colour
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent);
    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    TextAttributes titleTextAttributes() const { return m_titleAttributes; }
    void setTitleTextAttributes(const TextAttributes& attributes);
    Image backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const Image& image);

    // Shows the item; backTitle is the title of the controller beneath (empty: no back).
    void showItem(NavigationItem* item, const QString& backTitle, std::function<void()> backAction);
    // The views of what is shown, for tests and anchors.
    Label* titleLabel() const { return m_title; }
    Button* backButton() const { return m_back; }
    QList<View*> rightItemViews() const;
    View* leftItemView() const;

    // Space at the top for the status bar.
    void setTopInset(double inset);
    double topInset() const { return m_topInset; }

    void layoutSubviews() override;

    // What every navigation bar made from now on starts with (the style object sets it).
    struct Appearance {
        QColor barTintColor;
        QColor tintColor;
        bool translucent = true;
        BarStyle barStyle = BarStyle::Default;
        TextAttributes titleTextAttributes;
    };
    static Appearance& appearance();

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    View* viewForItem(BarButtonItem* item);
    void clearItems();
    // Places the left and right items; the room left between them, from left to right.
    std::pair<double, double> layOutItems();

    QColor m_barTint = QColor(247, 247, 247);
    bool m_translucent = true;
    BarStyle m_barStyle = BarStyle::Default;
    TextAttributes m_titleAttributes;
    Image m_backgroundImage;
    double m_topInset = 0;
    Label* m_title = nullptr;
    Button* m_back = nullptr;
    QString m_backTitle; // the title of the controller beneath
    QPointer<NavigationItem> m_item;
    QList<QPointer<View>> m_itemViews;
    QPointer<View> m_leftView;
    // The right items and their views, the first rightmost; a space has no view.
    QList<QPointer<BarButtonItem>> m_rightItems;
    QList<QPointer<View>> m_rightViews;
    QPointer<View> m_titleView;
};

} // namespace platform::ui
