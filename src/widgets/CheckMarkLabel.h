#pragma once

#include "platform/ui/Label.h"

#include <QFont>

// A tile's check box, drawn as one character in the tile title's style; it carries the
// row it stands for.
class CheckMarkLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit CheckMarkLabel(QWidget* parent = nullptr);
    explicit CheckMarkLabel(const QRectF& frame, QWidget* parent = nullptr);

    bool checked() const { return m_checked; }
    // Shows "✅" when checked, "⬜" otherwise.
    void setChecked(bool checked);
    quint64 index() const { return m_index; }
    void setIndex(quint64 index) { m_index = index; }

    // The width a tile keeps for the box and the gap after it: at least the measured
    // sample, and never less than the drawn box (fonts without the emoji measure narrow).
    static double widthBefore(const QFont& font, double measuredSample);

    static constexpr int Tag = 5000;
    static const QString CheckedText; // "✅"
    static const QString UncheckedText; // "⬜"

protected:
    // Drawn rather than left to the font: not every system has the emoji glyphs.
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void initStyle();

    bool m_checked = false;
    quint64 m_index = 0;
};
