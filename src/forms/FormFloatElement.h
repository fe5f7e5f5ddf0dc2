#pragma once

#include "forms/FormLabelElement.h"

// A slider row over a range (0 to 1 unless set).
class FormFloatElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(float floatValue READ floatValue WRITE setFloatValue)
    Q_PROPERTY(float minimumValue READ minimumValue WRITE setMinimumValue)
    Q_PROPERTY(float maximumValue READ maximumValue WRITE setMaximumValue)

public:
    Q_INVOKABLE FormFloatElement();
    static std::shared_ptr<FormFloatElement> initWithValue(float value);
    static std::shared_ptr<FormFloatElement> initWithTitle(const QString& title, float value);

    float floatValue() const { return m_floatValue; }
    void setFloatValue(float value) { m_floatValue = value; }
    float minimumValue() const { return m_minimumValue; }
    void setMinimumValue(float value) { m_minimumValue = value; }
    float maximumValue() const { return m_maximumValue; }
    void setMaximumValue(float value) { m_maximumValue = value; }

    // A new slider cell, titled like a label row.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The slider moved: the value follows, then the value-changed block.
    void valueChanged(float value);

    // Nil for "floatValue" is 0.
    void setNilValueForKey(const QString& key) override;
    // Writes the value as a number under the key.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    float m_floatValue = 0;
    float m_minimumValue = 0;
    float m_maximumValue = 1;
};
