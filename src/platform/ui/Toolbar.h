#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <QFont>
#include <QList>
#include <QPointer>

namespace platform::ui {

class BarButtonItem;

// A bottom bar of items: flexible spaces share the free width, fixed spaces keep theirs.
class Toolbar : public View {
    Q_OBJECT
public:
    explicit Toolbar(QWidget* parent = nullptr);

    QList<BarButtonItem*> items() const;
    void setItems(const QList<BarButtonItem*>& items, bool animated = false);
    QColor barTintColor() const { return m_barTint; }
    void setBarTintColor(const QColor& color);
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent);
    Image backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const Image& image);

    void layoutSubviews() override;
    QSizeF sizeThatFits(const QSizeF& size) const override;

    static View* makeItemView(BarButtonItem* item, QWidget* parent, const QFont& font);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QList<QPointer<BarButtonItem>> m_items;
    QList<QPointer<View>> m_views;
    QColor m_barTint = QColor(247, 247, 247);
    bool m_translucent = true;
    Image m_backgroundImage;
};

} // namespace platform::ui
