#pragma once

#include "forms/FormRootElement.h"
#include "style/Color.h"

#include <QFont>

// A read-only row showing its title above a block of wrapped text, in the value font and
// the element's colour; the row grows to fit the text at the table's width.
class FormTextElement : public FormRootElement {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QVariant color READ colorValue WRITE setColorValue)

public:
    static const QString ReuseIdentifier; // "QuickformText"

    Q_INVOKABLE FormTextElement();
    static std::shared_ptr<FormTextElement> initWithText(const QString& text);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // The colour of the text; black until set.
    Color color() const { return m_color; }
    void setColor(const Color& color) { m_color = color; }
    // The colour as descriptions and bindings set it: a Color, a QColor, or one of the
    // colour texts the system stores ("{r, g, b, a}", "{w, a}", or hex "RRGGBB" with or
    // without "#"). Nil or null is black again; any other value raises as a value of the
    // wrong kind does. Read, it is a Color.
    QVariant colorValue() const { return QVariant::fromValue(m_color); }
    void setColorValue(const QVariant& value);

    // A subtitle cell: the title (shrunk to fit its width) above the text, unselectable.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Without text, the base height. Otherwise the text's height wrapped at the table's
    // width (less 40 for a grouped table, 20 for a plain one) plus 40, plus 30 more with a
    // title; at least the element's height.
    double getRowHeightForTableView(FormTableView* tableView) override;

    // Writes the text under the key.
    void fetchValueIntoObject(const QVariant& target) override;

    static constexpr double TextMargin = 40;
    static constexpr double TitleAllowance = 30;

private:
    // The font the text is drawn and measured in.
    QFont textFont();

    QString m_text;
    Color m_color = Color::blackColor();
    // The last measured text height, by width and font.
    double m_measuredWidth = -1;
    double m_measuredHeight = 0;
    QFont m_measuredFont;
};
