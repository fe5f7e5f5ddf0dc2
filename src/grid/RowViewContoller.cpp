#include "grid/RowViewContoller.h"

#include "grid/CollectionViewController.h"
#include "platform/ui/CollectionViewLayout.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/DisclosureView.h"
#include "widgets/UIImage_Theme.h"

RowViewContoller::RowViewContoller() = default;

void RowViewContoller::setThemedIcon(platform::ui::ImageView* view, const platform::ui::Image& icon)
{
    view->setImage(icon);
    Theme* style = Theme::current();
    const std::optional<Color> selected = style ? style->selectedIconColor() : std::nullopt;
    view->setHighlightedImage(selected && !icon.isNull()
            ? UIImage_Theme::maskUIImage(icon, *selected)
            : platform::ui::Image());
}

RowViewContoller::~RowViewContoller() = default;

void RowViewContoller::initWithParent(CollectionViewController* grid)
{
    m_grid = grid;
}

CollectionViewController* RowViewContoller::gridViewController() const
{
    return m_grid.data();
}

platform::ui::CollectionViewLayout* RowViewContoller::layout() const
{
    return m_layout.data();
}

void RowViewContoller::setLayout(platform::ui::CollectionViewLayout* layout)
{
    if (m_layout == layout)
        return;
    delete m_layout.data();
    // The row view keeps its layout (a collection view takes only layouts nobody owns).
    if (layout)
        layout->setParent(this);
    m_layout = layout;
}

int RowViewContoller::getSpacing()
{
    return DeviceHelper::isIPHONE() ? 10 : 15;
}

DisclosureView* RowViewContoller::makeDisclosureArrow(
    const QRectF& frame, const QString& image, platform::ui::GestureRecognizerDelegate* delegate)
{
    auto* arrow = new DisclosureView(frame);
    setThemedIcon(arrow, UIImage_Theme::themedimageNamed(image));
    arrow->setUserInteractionEnabled(true);
    QPointer<RowViewContoller> self(this);
    auto* tap = new platform::ui::TapGestureRecognizer(
        [self](platform::ui::GestureRecognizer* recognizer) {
            if (self)
                self->localtapOnDisclousure(recognizer);
        });
    tap->setDelegate(delegate);
    arrow->addGestureRecognizer(tap);
    return arrow;
}

void RowViewContoller::localtapOnDisclousure(platform::ui::GestureRecognizer* recognizer)
{
    try {
        auto* arrow = qobject_cast<DisclosureView*>(recognizer ? recognizer->view() : nullptr);
        CollectionViewController* grid = gridViewController();
        if (!arrow || !grid)
            return;
        const qint64 index = qint64(arrow->index());
        grid->setSelectedRow(index);
        grid->selectRow(index);
        grid->tapOnDisclosure(index);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
