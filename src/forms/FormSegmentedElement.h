#pragma once

#include "forms/FormRadioElement.h"

// The single choice of a radio element shown as a segmented control inside the row.
// Items that name a bundle image show that image in their segment.
class FormSegmentedElement : public FormRadioElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormSegmentedElement();
    static std::shared_ptr<FormSegmentedElement> initWithItems(
        const QVariantList& items, qint64 selected);
    static std::shared_ptr<FormSegmentedElement> initWithItems(
        const QVariantList& items, qint64 selected, const QString& title);

    // Stores the items; no list of rows is built, but the items count against the rows
    // the form being built may make.
    void setItems(const QVariantList& items) override;

    // A plain cell filled by a segmented control of the items (tag 4321); items that
    // name a bundle image show the image.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The tag of the control in the cell.
    static constexpr int ControlTag = 4321;

    // A segment was chosen: the index is stored as it is, then the row's selection
    // handling and the value-changed block run.
    void segmentChosen(qint64 index, FormControllerProtocol* controller);

    // The controller that made the cell (not owned).
    FormControllerProtocol* segmentController() const { return m_controller.get(); }

private:
    FormControllerReference m_controller;
};
