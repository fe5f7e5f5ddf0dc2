#pragma once

#include "forms/FormLabelElement.h"

class FormSelectSection;

// One item row of a select section, ticked when the section's selection holds its index.
class FormSelectItemElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(qulonglong index READ index WRITE setIndex)
    Q_PROPERTY(QString checkmarkImageNamed READ noImageName WRITE setCheckmarkImageNamed)

public:
    Q_INVOKABLE FormSelectItemElement();
    // Titled with the text of the section's item at the index.
    static std::shared_ptr<FormSelectItemElement> initWithIndex(
        qulonglong index, FormSelectSection* section);

    qulonglong index() const { return m_index; }
    void setIndex(qulonglong index) { m_index = index; }
    // The owning section (not owned).
    FormSelectSection* selectSection() const;
    void setSelectSection(FormSelectSection* section);
    // An image shown as the tick instead of the platform's check mark.
    platform::ui::Image checkmarkImage() const;
    void setCheckmarkImage(const platform::ui::Image& image) { m_checkmarkImage = image; }
    void setCheckmarkImageNamed(const QString& name);

    bool isTicked() const;

    // The label cell, ticked when the section's selection holds the index.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The tick (the image when set, else the check mark) or none.
    void updateCell(platform::ui::TableViewCell* cell);
    // The section's rules change the ticks, the rows redraw, the row fades back.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

private:
    QString noImageName() const { return {}; }

    qulonglong m_index = 0;
    QPointer<FormSelectSection> m_selectSection;
    mutable platform::ui::Image m_checkmarkImage;
    QString m_checkmarkImageName;
};
