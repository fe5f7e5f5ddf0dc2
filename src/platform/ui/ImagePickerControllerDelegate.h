#pragma once

#include <QString>

namespace platform::ui {

class ImagePickerController;

// What an image picker tells the one who showed it. The picker does not close itself.
class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate();
    // The picked file, as it is on disk (not an edited copy); the delegate reads it.
    virtual void imagePickerControllerDidFinishPicking(
        ImagePickerController* picker, const QString& path)
        = 0;
    virtual void imagePickerControllerDidCancel(ImagePickerController* picker) = 0;
};

} // namespace platform::ui
