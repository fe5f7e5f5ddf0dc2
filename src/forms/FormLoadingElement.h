#pragma once

#include "forms/FormElement.h"

// A row with a spinning activity indicator, shown while a list is still to come.
class FormLoadingElement : public FormElement {
    Q_OBJECT
    Q_PROPERTY(int indicatorStyle READ indicatorStyle WRITE setIndicatorStyle)

public:
    Q_INVOKABLE FormLoadingElement();

    // The platform's activity-indicator styles: 0 large white, 1 white, 2 grey.
    int indicatorStyle() const { return m_indicatorStyle; }
    void setIndicatorStyle(int style) { m_indicatorStyle = style; }

    // A new cell with the indicator spinning.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

    // Choosing the row does nothing.
    void handleElementSelected(FormControllerProtocol*) override { }

private:
    int m_indicatorStyle = 2;
};
