#pragma once

#include "platform/ui/View.h"

#include <functional>

// A transparent view over the whole of a popover's parent that tells presses inside the
// panel (any view inside it) from presses outside it. It takes every press, wheel step
// and move that reaches it, so an outside touch never gets to the screen below; only
// presses run the blocks.
class PopoverTouchView : public platform::ui::View {
    Q_OBJECT
public:
    using Block = std::function<void()>;

    explicit PopoverTouchView(const QRectF& frame, QWidget* parent = nullptr);
    ~PopoverTouchView() override;

    void setTouchedOutsideBlock(Block block) { m_outside = std::move(block); }
    void setTouchedInsideBlock(Block block);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void touched(bool inside);

    Block m_outside;
    Block m_inside;
    bool m_filtering = false;
};
