#pragma once

#include "forms/FormElement.h"
#include "platform/ui/ProgressView.h"

#include <QPointer>

// A row showing a progress bar. The value belongs to the element, so a value set before
// the row is shown is what its bar shows.
class FormProgressElement : public FormElement {
    Q_OBJECT
    Q_PROPERTY(float progress READ progress WRITE setProgress)

public:
    Q_INVOKABLE FormProgressElement();
    ~FormProgressElement() override;

    float progress() const { return m_progress; }
    // Stores the value and shows it on the bar of the row on screen.
    void setProgress(float progress);
    // The bar of the row on screen; null while the row is not shown.
    platform::ui::ProgressView* bar() const { return m_bar; }

    // A new cell each time, its bar showing the element's value.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

    // Nil for "progress" is 0.
    void setNilValueForKey(const QString& key) override;

private:
    float m_progress = 0;
    // Widgets are made on the main thread when the row is shown: trees may be built on a
    // form thread.
    QPointer<platform::ui::ProgressView> m_bar;
};
