#pragma once

#include "forms/FormIndexPath.h"
#include "platform/ui/TableView.h"

#include <QList>

#include <memory>
#include <optional>

class FormControllerProtocol;
class FormDataSource;
class FormElement;
class FormRootElement;
class FormTableDelegate;

// The table of a form: its data source and delegate ask the root for its visible
// sections and each section for its visible elements, so a hidden row or section stays
// in the tree and is left out of the table. Main thread only.
class FormTableView : public platform::ui::TableView {
    Q_OBJECT

public:
    // Grouped when the root is. The controller is not owned.
    FormTableView(FormControllerProtocol* controller, std::shared_ptr<FormRootElement> root,
        QWidget* parent = nullptr);
    ~FormTableView() override;

    FormControllerProtocol* controller() const;
    FormRootElement* root() const { return m_root.get(); }
    const std::shared_ptr<FormRootElement>& sharedRoot() const { return m_root; }
    // Shows the root: editing mode (with selection) when a section needs it, then a reload.
    void setRoot(std::shared_ptr<FormRootElement> root);
    // Takes the root's appearance, then asks everything again.
    void reloadData();
    // Background colour and view by whether the root is grouped, and the separator colour.
    void applyAppearanceForRoot(FormRootElement* root);
    // The content inset, and the same scroll-indicator insets.
    void setContentInset(const QMarginsF& inset);

    // The element's raw place (hidden rows and sections counted), or none when it is
    // not in the root.
    std::optional<platform::ui::IndexPath> indexForElement(const FormElement* element) const;
    // The cell of the element while its row is on screen; null for a hidden element or a
    // row out of sight.
    platform::ui::TableViewCell* cellForElement(const FormElement* element);
    // A row left selected fades back: reloaded, selected again, then deselected animated.
    void deselectRows();
    // Reloads, without animation, the rows of the elements that are not hidden.
    void reloadCellForElements(const QList<FormElement*>& elements);

    bool deselectRowWhenViewAppears() const { return m_deselectRowWhenViewAppears; }
    void setDeselectRowWhenViewAppears(bool deselect) { m_deselectRowWhenViewAppears = deselect; }

    // The element at a row of the table, and the row of an element.
    FormElement* elementAt(const platform::ui::IndexPath& indexPath) const;
    static platform::ui::IndexPath tablePath(const FormIndexPath& path);

    FormDataSource* formDataSource() const { return m_dataSource.get(); }
    FormTableDelegate* formDelegate() const { return m_delegate.get(); }

private:
    std::shared_ptr<FormRootElement> m_root;
    std::unique_ptr<FormDataSource> m_dataSource;
    std::unique_ptr<FormTableDelegate> m_delegate;
    bool m_deselectRowWhenViewAppears = true;
    struct ControllerLink;
    std::unique_ptr<ControllerLink> m_controller;
};
