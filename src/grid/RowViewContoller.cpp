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

#include <QHash>

namespace {

// The selected look of an icon, by the icon's pixels, scale and colour: every tile of a
// grid shows the same icon and arrow, and a copy of each per tile would cost a screen's
// worth of images.
struct SelectedKey {
    qint64 image;
    double scale;
    quint64 colour;
    bool operator==(const SelectedKey&) const = default;
    friend size_t qHash(const SelectedKey& key, size_t seed = 0)
    {
        return qHashMulti(seed, key.image, key.scale, key.colour);
    }
};
constexpr qsizetype MostSelectedKept = 64;

QHash<SelectedKey, platform::ui::Image>& selectedIcons()
{
    static QHash<SelectedKey, platform::ui::Image> icons;
    return icons;
}

platform::ui::Image selectedIcon(const platform::ui::Image& icon, const Color& color)
{
    // A pattern colour is drawn afresh each time.
    const QColor plain = color.toQColor();
    if (!color.patternImage().isNull() || !plain.isValid())
        return UIImage_Theme::maskUIImage(icon, color);
    const SelectedKey key { icon.image().cacheKey(), icon.scale(), quint64(plain.rgba64()) };
    auto& kept = selectedIcons();
    if (const auto found = kept.constFind(key); found != kept.constEnd())
        return *found;
    if (kept.size() >= MostSelectedKept)
        kept.clear();
    return kept.insert(key, UIImage_Theme::maskUIImage(icon, color)).value();
}

} // namespace

RowViewContoller::RowViewContoller() = default;

void RowViewContoller::setThemedIcon(platform::ui::ImageView* view, const platform::ui::Image& icon)
{
    view->setImage(icon);
    Theme* style = Theme::current();
    const std::optional<Color> selected = style ? style->selectedIconColor() : std::nullopt;
    view->setHighlightedImage(
        selected && !icon.isNull() ? selectedIcon(icon, *selected) : platform::ui::Image());
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
