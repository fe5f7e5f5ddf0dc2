#pragma once

#include "platform/ui/TextField.h"

// The text field of the entry rows: while the field is not being edited it draws a fixed
// prefix and suffix around the text ("$" before an amount, " kg" after a weight).
class FormTextField : public platform::ui::TextField {
    Q_OBJECT

public:
    explicit FormTextField(QWidget* parent = nullptr);

    QString prefix() const { return m_prefix; }
    void setPrefix(const QString& prefix);
    QString suffix() const { return m_suffix; }
    void setSuffix(const QString& suffix);

    // What the field draws for its text: prefix, text and suffix joined.
    QString shownText() const;

protected:
    void drawTextInRect(QPainter& painter, const QRectF& rect) override;

private:
    QString m_prefix;
    QString m_suffix;
};
