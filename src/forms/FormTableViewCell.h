#pragma once

#include "platform/ui/Image.h"
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

    // A row's icon as the row shows it: on the rows' one square, so that every row's icon,
    // caption and value line up. A tile icon (50 points) is the same drawing 5/4 as large
    // with a wider margin: it is drawn at 4/5, centred, its extra margin cut. Icons that
    // fit the square are kept as they are.
    static platform::ui::Image rowIcon(const platform::ui::Image& icon);
    static constexpr double IconSide = 30;
    static constexpr double TileIconDrawingSide = 40;

protected:
    void setElement(FormElement* element);

private:
    QPointer<FormElement> m_element;
    std::shared_ptr<FormElement> m_keptElement;
    int m_labelingPolicy = TrimValue;
};
