#pragma once

#include "forms/FormEntryElement.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverControllerDelegate.h"

#include <QPointer>

#include <limits>

namespace platform::ui {
class IndexPath;
}

// A row that lets the user pick a photo and shows it as a thumbnail at the row's right.
// A tap opens the picker: in a popover from the thumbnail on a tablet, as a screen of
// the form on a phone. The picked file is read reduced to imageMaxLength on its longer
// side; a file that cannot be read leaves the old image and says why.
class FormImageElement : public FormEntryElement,
                         public platform::ui::ImagePickerControllerDelegate,
                         public PopoverControllerDelegate {
    Q_OBJECT
    Q_PROPERTY(int source READ source WRITE setSource)
    Q_PROPERTY(float imageMaxLength READ imageMaxLength WRITE setImageMaxLength)
    Q_PROPERTY(
        platform::ui::Image imageValue READ imageValue WRITE setImageValue NOTIFY imageValueChanged)

public:
    Q_INVOKABLE FormImageElement();
    ~FormImageElement() override;
    static std::shared_ptr<FormImageElement> initWithTitle(
        const QString& title, const platform::ui::Image& image);

    // The picker's source (ImagePickerController::SourceType).
    int source() const { return m_source; }
    void setSource(int source) { m_source = source; }
    // The longest side an image may keep; the largest float (no reduction) by default.
    float imageMaxLength() const { return m_imageMaxLength; }
    void setImageMaxLength(float length) { m_imageMaxLength = length; }
    platform::ui::Image imageValue() const { return m_imageValue; }
    void setImageValue(const platform::ui::Image& image);
    // The bundle image of that name, reduced if needed.
    void setImageValueNamed(const QString& name);
    // Scales imageValue down so that its longer side is imageMaxLength, when it is longer.
    void reducedImageIfNeeded();
    // Reads the file as the new imageValue, reduced while being read. An unreadable file,
    // or one past the reader's allocation limit, shows a message and keeps the old image;
    // answers whether the image changed.
    bool takeImageFromFile(const QString& path);

    // The picker, made on first use with the element as its delegate.
    platform::ui::ImagePickerController* imagePickerController();
    // The popover the picker shows in on a tablet, while it does.
    PopoverController* popoverController() const { return m_popoverController; }

    // The photo row takes no keys.
    bool canTakeFocus() const override { return false; }

    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Deselects the row, then shows the picker.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;
    // The camera is never there: that source falls back to the photo library (logged).
    void presentImagePicker(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath);
    void dismissImagePicker();

    // Writes imageValue under the key.
    void fetchValueIntoObject(const QVariant& target) override;

    void imagePickerControllerDidFinishPicking(
        platform::ui::ImagePickerController* picker, const QString& path) override;
    void imagePickerControllerDidCancel(platform::ui::ImagePickerController* picker) override;
    void popoverControllerDidDismissPopover(PopoverController* controller) override;

    static constexpr QSizeF PickerPopoverSize = QSizeF(320, 480);

signals:
    void imageValueChanged();

private:
    int m_source = 0;
    float m_imageMaxLength = std::numeric_limits<float>::max();
    platform::ui::Image m_imageValue;
    QPointer<platform::ui::ImagePickerController> m_imagePickerController;
    QPointer<PopoverController> m_popoverController;
};
