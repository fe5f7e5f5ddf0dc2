#pragma once

#include "forms/FormEntryTableViewCell.h"

#include <QMetaObject>

class FormImageElement;

namespace platform::ui {
class Button;
class ImageView;
} // namespace platform::ui

// The cell of a photo row: the title, and at the right a square rounded thumbnail of the
// element's image as tall as the row allows. It takes no keys (its field is never shown)
// and follows the element's image as it changes.
class FormImageTableViewCell : public FormEntryTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformImageElement"

    explicit FormImageTableViewCell(QWidget* parent = nullptr);
    ~FormImageTableViewCell() override;

    FormImageElement* imageElement() const { return m_imageElement.get(); }
    platform::ui::Button* imageViewButton() const { return m_imageViewButton; }
    // What the thumbnail shows.
    platform::ui::ImageView* thumbnailView() const { return m_thumbnail; }

    void prepareForElement(FormEntryElement* element, FormTableView* tableView) override;
    void recalculateEntryFieldPosition() override;
    // The thumbnail's square at the right, 2 in from the edges; it is the section's entry
    // position, and the title stops 2 short of it.
    void recalculateDetailImageViewPosition();
    bool becomeFirstResponder() override { return false; }
    void prepareForReuse() override;

    static constexpr float CornerRadius = 7.2f;

private:
    // The thumbnail's tap: the row's selection does the work.
    void handleImageSelected() { }
    void showImage();

    std::shared_ptr<FormImageElement> m_imageElement;
    platform::ui::Button* m_imageViewButton = nullptr;
    platform::ui::ImageView* m_thumbnail = nullptr;
    QMetaObject::Connection m_observation;
};
