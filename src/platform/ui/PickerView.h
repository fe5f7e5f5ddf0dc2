#pragma once

#include "platform/ui/View.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

class QTimer;

namespace platform::ui {

class PickerView;

// Where a picker view gets its components and rows.
class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource();
    virtual int numberOfComponentsInPickerView(PickerView* picker) = 0;
    virtual int pickerViewNumberOfRowsInComponent(PickerView* picker, int component) = 0;
};

// What a picker view asks and tells its delegate; every method is optional.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate();
    // A null string shows no title.
    virtual QString pickerViewTitleForRow(PickerView* picker, int row, int component);
    // Widths and row heights; 0 or less leaves the picker's own.
    virtual double pickerViewWidthForComponent(PickerView* picker, int component);
    virtual double pickerViewRowHeightForComponent(PickerView* picker, int component);
    // A view shown for the row in place of its title, or null for the title. `reusing` is
    // a view this picker was given before and shows no more (null when there is none);
    // the picker keeps the view it is given.
    virtual View* pickerViewViewForRow(PickerView* picker, int row, int component, View* reusing);
    // A person chose the row (a row selected in code is not reported).
    virtual void pickerViewDidSelectRow(PickerView* picker, int row, int component);
};

// Spinning wheels, one per component, each showing its rows on a drum with the chosen one
// in the middle band. A person drags a wheel (it snaps to the nearest row, carrying on a
// little after a quick flick), clicks a row above or below the band to bring it there,
// scrolls over a wheel, or uses the up and down keys on the wheel last touched. When a
// wheel comes to rest on another row than before, the delegate is told; rows selected in
// code are not reported.
class PickerView : public View {
    Q_OBJECT
public:
    explicit PickerView(QWidget* parent = nullptr);
    explicit PickerView(const QRectF& frame, QWidget* parent = nullptr);
    ~PickerView() override;

    PickerViewDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(PickerViewDataSource* dataSource);
    PickerViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(PickerViewDelegate* delegate);

    int numberOfComponents() const { return int(m_components.size()); }
    int numberOfRowsInComponent(int component) const;
    QSizeF rowSizeForComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);

    // The row in the band; -1 for a component without rows.
    int selectedRowInComponent(int component) const;
    // Selects in code: the delegate is not told. A row the component lacks is ignored.
    void selectRow(int row, int component, bool animated);

    bool showsSelectionIndicator() const { return m_showsIndicator; }
    void setShowsSelectionIndicator(bool shows);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);

    // Where a component's wheel is, in the picker's coordinates.
    QRectF rectForComponent(int component) const;
    // The view shown for a row now, when the delegate gave one and the row is in sight.
    View* viewForRow(int row, int component) const;
    // The row drawn at the point of a component's wheel (the band's row at its centre).
    int rowAtPoint(int component, const QPointF& point) const;

    QSizeF sizeThatFits(const QSizeF& size) const override;

    static constexpr double DefaultHeight = 216.0;
    static constexpr double DefaultRowHeight = 32.0;

protected:
    // What a row shows; subclasses may show rows in their own way.
    virtual QString titleForRow(int row, int component);
    virtual QColor colorForRow(int row, int component);
    virtual Qt::Alignment alignmentForComponent(int component);
    // A person brought the component to the row.
    virtual void userSelectedRow(int row, int component);

    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Component {
        int rows = 0;
        int selected = 0;
        double offset = 0; // the row shown in the band, fractional while moving
        double width = 0;
        double rowHeight = DefaultRowHeight;
        QHash<int, QPointer<View>> rowViews; // the rows in sight that show a view
    };

    void setUp();
    void queryComponent(int component);
    int componentAt(const QPointF& point) const;
    void settle(int component, double target, bool animated, bool byUser);
    void setOffset(int component, double offset);
    double radius() const;
    // The delegate's view for a row, reusing one that went out of sight.
    View* rowView(int component, int row, QList<QPointer<View>>& spare);
    void drawRowView(QPainter& painter, View* view, const QRectF& box);

    PickerViewDataSource* m_dataSource = nullptr;
    PickerViewDelegate* m_delegate = nullptr;
    QList<Component> m_components;
    bool m_showsIndicator = true;
    QFont m_font;
    QColor m_textColor = Qt::black;
    // The drag under way.
    int m_dragComponent = -1;
    QPointF m_dragStart;
    double m_dragStartOffset = 0;
    bool m_dragged = false;
    QPointF m_lastPoint;
    quint64 m_lastTime = 0;
    double m_velocity = 0; // rows per second
    int m_keyComponent = 0;
    // Scrolling with the wheel comes to rest shortly after the last step.
    QTimer* m_wheelTimer = nullptr;
    int m_wheelComponent = -1;
};

} // namespace platform::ui
