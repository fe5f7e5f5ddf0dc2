#pragma once

#include "platform/ui/TableView.h"

#include <QPointer>
#include <QSizeF>

#include <memory>

class FormElement;

// The cell of every form row that brings no cell of its own: a title on the left, a
// value on the right, laid out by a labelling policy so that the titles of a section line
// up and long values wrap. The element last styled into it is kept while the cell shows
// it. Main thread only.
class FormTableViewCell : public platform::ui::TableViewCell {
    Q_OBJECT

public:
    // How title and value share the row.
    enum LabelingPolicy {
        // The titles take the width of the section's widest title; the value the rest.
        TrimValue = 0,
        // The value takes its natural width; the title the rest.
        TrimTitle = 1
    };

    explicit FormTableViewCell(
        const QString& reuseIdentifier, Style style = Style::Value1, QWidget* parent = nullptr);
    ~FormTableViewCell() override;

    FormElement* element() const;
    int labelingPolicy() const { return m_labelingPolicy; }
    void setLabelingPolicy(int policy);

    // Keeps the element and takes its appearance: label and value colours by whether the
    // element is enabled, fonts, alignments, wrapping, the cell's background.
    virtual void applyAppearanceForElement(FormElement* element);

    // The width of the widest title among the label and entry rows of the element's
    // section (with their images); the image's width for a cell without a title.
    QSizeF getMaxValueSize() const;

    // An entry row's field takes the keys; a plain row takes none.
    virtual bool becomeFirstResponder() { return false; }

    void layoutSubviews() override;
    void prepareForReuse() override;

    // The size a font is drawn at, in points (17 when it has none).
    static double pointSize(const QFont& font);

protected:
    void setElement(FormElement* element);

private:
    QPointer<FormElement> m_element;
    std::shared_ptr<FormElement> m_keptElement;
    int m_labelingPolicy = TrimValue;
};
