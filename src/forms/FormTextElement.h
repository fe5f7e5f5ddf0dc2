#pragma once

#include "forms/FormRootElement.h"
#include "style/Color.h"

#include <QFont>

// A read-only row showing a title above a block of wrapped text; the row is as tall as
// the text needs at the table's width.
class FormTextElement : public FormRootElement {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    Q_INVOKABLE FormTextElement();
    static std::shared_ptr<FormTextElement> initWithText(const QString& text);

    QString text() const { return m_text; }
    void setText(const QString& text);
    Color color = Color::blackColor();

    // The text as the row shows it: the title, when there is one, on its own line above.
    QString shownText() const;

    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // A set height, else the wrapped text's with a margin above and below, at least a
    // plain row's; measured once per width.
    double getRowHeightForTableView(FormTableView* tableView) override;

    // Writes the text under the key.
    void fetchValueIntoObject(const QVariant& target) override;

    static constexpr double VerticalMargin = 11;
    static constexpr double MinimumHeight = 44;

private:
    QString m_text;
    double m_measuredWidth = -1;
    double m_measuredHeight = 0;
    QFont m_measuredFont;
};
