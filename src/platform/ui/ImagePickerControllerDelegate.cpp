#include "platform/ui/ImagePickerControllerDelegate.h"

namespace platform::ui {

ImagePickerControllerDelegate::~ImagePickerControllerDelegate() = default;

} // namespace platform::ui
