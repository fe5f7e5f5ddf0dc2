#pragma once

#include "forms/FormLabelElement.h"

class FormControllerProtocol;
class FormRadioElement;
class FormRadioSection;

// One row of a single-choice list, ticked when it is the owner's choice. The owner is
// either a radio element (whose list this row is in) or a radio section.
class FormRadioItemElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(qulonglong index READ index WRITE setIndex)

public:
    Q_INVOKABLE FormRadioItemElement();
    static std::shared_ptr<FormRadioItemElement> initWithIndex(
        qulonglong index, FormRadioElement* element);
    static std::shared_ptr<FormRadioItemElement> initWithIndex(
        qulonglong index, FormRadioSection* section);

    qulonglong index() const { return m_index; }
    void setIndex(qulonglong index) { m_index = index; }
    // Neither owner is owned: a list row must not keep its section alive in a cycle.
    FormRadioElement* radioElement() const;
    FormRadioSection* radioSection() const;

    // The owner's choice, or -1 when there is no owner or no choice.
    qint64 ownerSelected() const;
    // Whether the row carries the tick.
    bool isChosen() const;

    // The row was picked (after the table has moved the tick). For a radio element: it
    // takes the index, editing ends, the table stops taking touches and 0.3 s later the
    // controller closes the list. For a radio section: the section takes the index and
    // its onSelected runs.
    void choose(FormControllerProtocol* controller);

    // The label cell, ticked when it is the owner's choice.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The tick moves to this row, then the row is chosen.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    // The delay before a picked list closes.
    static constexpr int CloseDelayMilliseconds = 300;

private:
    qulonglong m_index = 0;
    QPointer<FormRadioElement> m_radioElement;
    QPointer<FormRadioSection> m_radioSection;
};
