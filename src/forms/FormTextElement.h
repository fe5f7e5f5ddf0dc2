#pragma once

#include "forms/FormRootElement.h"
#include "style/Color.h"

// A read-only row showing a title above a block of wrapped text.
class FormTextElement : public FormRootElement {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    Q_INVOKABLE FormTextElement();
    static std::shared_ptr<FormTextElement> initWithText(const QString& text);

    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    Color color = Color::blackColor();

    // Writes the text under the key.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    QString m_text;
};
