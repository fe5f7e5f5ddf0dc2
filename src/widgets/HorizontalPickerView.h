#pragma once

#include "platform/ui/DelegatePointer.h"
#include "platform/ui/Image.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/View.h"
#include "widgets/HorizontalPickerViewDataSource.h"
#include "widgets/HorizontalPickerViewDelegate.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QSet>

namespace platform::ui {
class Label;
class ScrollView;
} // namespace platform::ui

// A small sideways wheel that shows one text item at a time: the user swipes the strip
// page by page to choose another, and neighbouring items peek in at the sides when the
// strip is inset. An item is a page of the strip: item i sits at strip width x i. Only
// the labels of the current item and two on each side exist, so a picker of many items
// stays cheap; labels scrolled away are reused. Drawn over a background band in the
// style's toolbar colour, under a shade and, when asked, a glass over the middle.
class HorizontalPickerView : public platform::ui::View, public platform::ui::ScrollViewDelegate {
    Q_OBJECT
public:
    explicit HorizontalPickerView(const QRectF& frame, QWidget* parent = nullptr);
    ~HorizontalPickerView() override;

    HorizontalPickerViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(HorizontalPickerViewDataSource* dataSource) { m_dataSource = dataSource; }
    HorizontalPickerViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HorizontalPickerViewDelegate* delegate) { m_delegate = delegate; }

    // Asks the data source again and rebuilds the strip at item 0.
    void reloadData();
    // Scrolls to the item's page; the index is not checked, the selection is not stored
    // and the delegate is not told.
    void selectItemAtIndex(int index, bool animated);
    int selectedItem() const { return m_currentIndex; }
    // Selects an item there is and shows it at once; any other index changes nothing.
    // The delegate is not told.
    void setSelectedItem(int index);

    // Applied at once to every label, on the strip and spare.
    QFont itemFont() const { return m_itemFont; }
    void setItemFont(const QFont& font);
    QColor itemColor() const { return m_itemColor; }
    void setItemColor(const QColor& color);
    bool showGlass() const { return m_showGlass; }
    void setShowGlass(bool show);
    // How far the strip is inset from the picker's bounds; a new value reloads.
    QMarginsF peekInset() const { return m_peekInset; }
    void setPeekInset(const QMarginsF& inset);

    // The strip that carries the item labels.
    platform::ui::ScrollView* contentView() const { return m_contentView; }
    int itemCount() const { return m_itemCount; }

    // The whole picker, peek insets included, swipes the strip.
    View* hitTest(const QPointF& point) override;

    void scrollViewDidScroll(platform::ui::ScrollView* scrollView) override;
    void scrollViewDidEndDecelerating(platform::ui::ScrollView* scrollView) override;

    static constexpr double GlassWidth = 60;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    // Presses and the wheel beside the strip move the strip.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void scrollToIndex(int index, bool animated);
    void tileViews();
    // The page width; none for a strip of no width.
    double pageWidth() const;
    // The item a label on the strip shows, from its place.
    int indexOfLabel(const platform::ui::Label* label, double width) const;
    bool isDisplayingViewForIndex(int index, double width) const;
    platform::ui::Label* dequeueRecycledView();
    void configureView(platform::ui::Label* label, int index, double width);
    void forwardMouseEvent(QMouseEvent* event);
    void deliverToStrip(QEvent* original, QEvent* forwarded);
    void dropLabels();

    platform::ui::DelegatePointer<HorizontalPickerViewDataSource> m_dataSource;
    platform::ui::DelegatePointer<HorizontalPickerViewDelegate> m_delegate;
    platform::ui::ScrollView* m_contentView = nullptr;
    int m_currentIndex = 0;
    int m_itemCount = 0;
    // Spare labels belong to the picker; those on the strip to the strip.
    QSet<platform::ui::Label*> m_recycledViews;
    QSet<platform::ui::Label*> m_visibleViews;
    bool m_showGlass = false;
    platform::ui::Image m_glassImage;
    platform::ui::Image m_backgroundImage;
    platform::ui::Image m_shadowImage;
    QFont m_itemFont;
    QColor m_itemColor = Qt::black;
    QMarginsF m_peekInset; // left, top, right, bottom
    bool m_forwarding = false;
};
