#pragma once

#include <QColor>
#include <QtGlobal>

namespace platform::ui {
class View;
}

// Borders on chosen sides for any view, kept in the view's selective-border layer. A view
// that still has the plain layer gets a selective-border layer on the first setter (its
// corner, border and shadow state carried over); one whose class chose another layer
// ignores the setters. The getters answer the defaults (15, black, 0) until then.
namespace SelectiveBorder {

quint64 selectiveBorderFlag(const platform::ui::View* view);
void setSelectiveBorderFlag(platform::ui::View* view, quint64 flag);
QColor selectiveBordersColor(const platform::ui::View* view);
void setSelectiveBordersColor(platform::ui::View* view, const QColor& color);
float selectiveBordersWidth(const platform::ui::View* view);
void setSelectiveBordersWidth(platform::ui::View* view, float width);

// Frame steps: the view moves down by the amount, or grows taller by it.
void moveByHeight(platform::ui::View* view, double height);
void changeHeight(platform::ui::View* view, double height);

} // namespace SelectiveBorder
