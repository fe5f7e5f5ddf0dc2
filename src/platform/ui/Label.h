#pragma once

#include "platform/ui/View.h"

#include <QFont>
#include <QTextLayout>

#include <memory>

namespace platform::ui {

// A text label: font, colours (with a highlighted colour), alignment, a number of lines
// (0 for as many as needed), a text shadow, and shrink-to-fit down to a minimum size.
class Label : public View {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
public:
    explicit Label(QWidget* parent = nullptr);
    explicit Label(const QRectF& frame, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    QColor highlightedTextColor() const { return m_highlightedColor; }
    void setHighlightedTextColor(const QColor& color);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    Qt::Alignment textAlignment() const { return m_alignment; }
    void setTextAlignment(Qt::Alignment alignment);
    int numberOfLines() const { return m_lines; }
    void setNumberOfLines(int lines);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& color);
    QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(const QPointF& offset);

    // Shrink-to-fit: the text is drawn smaller, never below the minimum font size, when
    // it does not fit the label's width (and, with several lines, its height).
    bool adjustsFontSizeToFitWidth() const { return m_adjusts; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    double minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(double size);
    // Alternatively a fraction of the font size (0 means: use minimumFontSize).
    double minimumScaleFactor() const { return m_minimumScale; }
    void setMinimumScaleFactor(double factor);

    // The font the text is drawn with now, after shrinking.
    QFont fontForDrawing() const;

    QSizeF sizeThatFits(const QSizeF& size) const override;

signals:
    void textChanged(const QString& text);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    bool fits(const QFont& font, const QRectF& rect) const;
    QFont shrunkFont() const;
    int flags() const;
    void forgetDrawing() { m_drawing = {}; }

    // What the last paint measured, kept while the text, font and size stay: a grid
    // repaints its labels at every scroll step, and fitting and eliding are the costly part.
    struct Drawing {
        bool valid = false;
        QSizeF size;
        QFont font;
        QString shown;
        // A single line laid out once: measured and drawn from the same shaping.
        std::shared_ptr<QTextLayout> line;
    };
    void drawSingleLine(QPainter& painter, const QRectF& rect);
    mutable Drawing m_drawing;

    QString m_text;
    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_highlightedColor;
    bool m_highlighted = false;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int m_lines = 1;
    QColor m_shadowColor;
    QPointF m_shadowOffset = { 0, -1 };
    bool m_adjusts = false;
    double m_minimumFontSize = 0;
    double m_minimumScale = 0;
};

} // namespace platform::ui
