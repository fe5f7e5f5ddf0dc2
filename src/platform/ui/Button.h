#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

#include <QFont>
#include <QMap>
#include <QMarginsF>

namespace platform::ui {

// A button with a title, title colour, image and background image for each state
// (normal, highlighted, disabled, selected); a state without its own value shows the
// normal one. The image sits left of the title; both are centred.
class Button : public Control {
    Q_OBJECT
public:
    enum class Type { Custom = 0, System = 1 };

    explicit Button(QWidget* parent = nullptr);
    explicit Button(const QRectF& frame, QWidget* parent = nullptr);
    static Button* withType(Type type, QWidget* parent = nullptr);

    void setTitle(const QString& title, unsigned state = ControlStateNormal);
    QString titleForState(unsigned state) const;
    void setTitleColor(const QColor& color, unsigned state = ControlStateNormal);
    QColor titleColorForState(unsigned state) const;
    void setImage(const Image& image, unsigned state = ControlStateNormal);
    Image imageForState(unsigned state) const;
    void setBackgroundImage(const Image& image, unsigned state = ControlStateNormal);
    Image backgroundImageForState(unsigned state) const;

    // What is shown now.
    QString currentTitle() const { return titleForState(state()); }
    QColor currentTitleColor() const { return titleColorForState(state()); }
    Image currentImage() const { return imageForState(state()); }

    QFont titleFont() const { return m_font; }
    void setTitleFont(const QFont& font);
    // The title shrinks to fit the width (down to half its size).
    void setAdjustsTitleToFitWidth(bool adjusts);
    QMarginsF contentEdgeInsets() const { return m_contentInsets; }
    void setContentEdgeInsets(const QMarginsF& insets);
    void setShowsTouchWhenHighlighted(bool shows) { m_showsTouch = shows; }

    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    template<class T> T lookup(const QMap<unsigned, T>& map, unsigned state) const;

    Type m_type = Type::Custom;
    QMap<unsigned, QString> m_titles;
    QMap<unsigned, QColor> m_titleColors;
    QMap<unsigned, Image> m_images;
    QMap<unsigned, Image> m_backgrounds;
    QFont m_font;
    bool m_adjustsTitle = false;
    bool m_showsTouch = false;
    QMarginsF m_contentInsets;
};

} // namespace platform::ui
