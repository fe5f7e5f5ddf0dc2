#include "grid/GenericRowViewController.h"

#include "grid/BaseDataController.h"
#include "grid/CollectionViewController.h"
#include "grid/GridData.h"
#include "grid/MainCollectionViewController.h"
#include "grid/ScreenData.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/DisclosureView.h"
#include "widgets/MetroImageView.h"
#include "widgets/MetroLabel.h"
#include "widgets/TilesButtonView.h"
#include "widgets/UIImage_Theme.h"

#include <cmath>

namespace {

const char* const ImageNameProperty = "kivoImageName";
const QString DisclosureImage = QStringLiteral("metrodisclosure");
const QString DeleteImage = QStringLiteral("deletem");
const QString EditImage = QStringLiteral("editm");

} // namespace

void GenericRowViewController::setFrameIfDifferent(platform::ui::View* view, const QRectF& frame)
{
    if (view->frame() != frame)
        view->setFrame(frame);
}

void GenericRowViewController::paintRowBackground(platform::ui::View* contentView)
{
    Theme* style = Theme::current();
    const QColor back = style ? style->MetroRowBackColor().toQColor() : QColor();
    if (contentView->backgroundColor() != back)
        contentView->setBackgroundColor(back);
}

GridData GenericRowViewController::gridDataAt(qint64 index) const
{
    CollectionViewController* grid = gridViewController();
    const auto item = grid ? grid->getGridData(index) : nullptr;
    return item ? *item : GridData();
}

void GenericRowViewController::setTileImage(platform::ui::ImageView* image,
    DataControllerPtotocol* controller, qint64 index, const QString& rowImage)
{
    QString name = controller ? controller->getDynamicImage(index) : QString();
    if (name.isEmpty())
        name = rowImage;
    if (image->property(ImageNameProperty).toString() != name) {
        setThemedIcon(image, UIImage_Theme::themedimageNamed(name));
        image->setProperty(ImageNameProperty, name);
    }
}

void GenericRowViewController::addTap(
    platform::ui::View* view, std::function<void(platform::ui::GestureRecognizer*)> handler)
{
    QPointer<GenericRowViewController> self(this);
    auto* tap = new platform::ui::TapGestureRecognizer(
        [self, handler = std::move(handler)](platform::ui::GestureRecognizer* recognizer) {
            if (self)
                handler(recognizer);
        });
    tap->setDelegate(this);
    view->addGestureRecognizer(tap);
}

GenericRowViewController::GenericRowViewController() = default;

GenericRowViewController::~GenericRowViewController() = default;

MainCollectionViewController* GenericRowViewController::mainGridViewController() const
{
    return qobject_cast<MainCollectionViewController*>(gridViewController());
}

platform::ui::CollectionViewLayout* GenericRowViewController::collectionViewLayout()
{
    if (!layout())
        setLayout(makeLayout());
    return layout();
}

platform::ui::CollectionViewLayout* GenericRowViewController::makeLayout()
{
    auto* flow = new platform::ui::FlowLayout();
    flow->setScrollDirection(platform::ui::FlowLayout::ScrollDirection::Vertical);
    const double spacing = getSpacing();
    flow->setSectionInset(QMarginsF(spacing, spacing, spacing, spacing));
    return flow;
}

double GenericRowViewController::contentWidth() const
{
    CollectionViewController* grid = gridViewController();
    return grid ? grid->gridviewContentSize().width() : 0.0;
}

QSizeF GenericRowViewController::getRowSize()
{
    const double width = contentWidth();
    if (DeviceHelper::isIPHONE())
        return QSizeF(width - 20, TileHeight);
    const unsigned columns = std::max(1u, ipadcolumns());
    const float spacing = float(getSpacing());
    const float margins = std::trunc(float(columns - 1) * spacing + OuterMargins);
    const float tile = (float(width) - margins) / float(columns);
    return QSizeF(double(tile), TileHeight);
}

unsigned GenericRowViewController::ipadcolumns()
{
    CollectionViewController* grid = gridViewController();
    const auto controller = grid ? grid->dataController() : nullptr;
    if (controller && controller->ipadColumns() > 0)
        return controller->ipadColumns();
    return dynamicColumns();
}

unsigned GenericRowViewController::dynamicColumns()
{
    const float width = float(contentWidth());
    const auto gaps = [](unsigned count) { return OuterMargins + TileGap * float(count - 1); };
    unsigned count = width < MinimumTileWidth ? 1u : unsigned(width / MinimumTileWidth);
    if (width - gaps(count) < MinimumTileWidth)
        return 1;
    if (width >= MinimumTileWidth * float(count) + gaps(count) || count == 1)
        return count;
    while (count > 1) {
        if (MinimumTileWidth * float(count) + gaps(count) <= width - gaps(count))
            return count;
        --count;
    }
    return 1;
}

void GenericRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF& cellSize)
{
    if (!contentView)
        return;
    paintRowBackground(contentView);

    CollectionViewController* grid = gridViewController();
    const GridData data = gridDataAt(index);
    const auto controller = grid ? grid->dataController() : nullptr;
    const auto record = grid ? grid->screen() : nullptr;
    const bool disclosure = record && record->disclosure;
    const double width = cellSize.width();

    // Icon.
    double titleX = 0;
    auto* icon = qobject_cast<platform::ui::ImageView*>(contentView->viewWithTag(IconTag));
    if (!data.Image.isEmpty()) {
        if (!icon) {
            icon = new MetroImageView(QRectF(0, 0, IconSize, IconSize));
            // Icon, title and arrow are drawn in the tile's one paint.
            icon->setDrawnBySuperview(true);
            contentView->addSubview(icon);
        }
        if (controller && controller->respondsToGetDynamicUIImage()) {
            // A picture of its own (a colour swatch) shows as it is, selected or not.
            icon->setImage(controller->getDynamicUIImage(index));
            icon->setHighlightedImage({});
            icon->setProperty(ImageNameProperty, QVariant());
        } else {
            setTileImage(icon, controller.get(), index, data.Image);
        }
        if (icon->isHidden())
            icon->setHidden(false);
        titleX = TitleAfterIcon;
    } else if (icon && !icon->isHidden()) {
        // A reused tile of a row without an icon.
        icon->setHidden(true);
    }

    // Title.
    if (auto* title = qobject_cast<platform::ui::Label*>(contentView->viewWithTag(TitleTag))) {
        if (title->text() != data.Menu)
            title->setText(data.Menu);
    } else {
        const double titleWidth = width - titleX - (disclosure ? DisclosureWidth : 0);
        auto* label = new MetroLabel(QRectF(titleX, 0, titleWidth, TileHeight));
        label->setDrawnBySuperview(true);
        label->setText(data.Menu);
        contentView->addSubview(label);
    }

    // Disclosure.
    if (disclosure) {
        placeDisclosure(
            contentView, QRectF(width - DisclosureWidth, 0, DisclosureWidth, TileHeight), index);
    }

    addTilesButtons(contentView, index, cellSize);
}

void GenericRowViewController::placeDisclosure(
    platform::ui::View* contentView, const QRectF& frame, qint64 index)
{
    auto* arrow = qobject_cast<DisclosureView*>(contentView->viewWithTag(DisclosureTag));
    if (arrow) {
        setFrameIfDifferent(arrow, frame);
    } else {
        arrow = makeDisclosureArrow(frame, DisclosureImage, this);
        // Still a widget for its tap, but drawn with the tile.
        arrow->setDrawnBySuperview(true);
        contentView->addSubview(arrow);
    }
    arrow->setIndex(quint64(index));
    if (arrow->isHidden() != editing())
        arrow->setHidden(editing());
}

void GenericRowViewController::addTilesButtons(
    platform::ui::View* contentView, qint64 index, const QSizeF& cellSize)
{
    if (tilesButtons() == 0)
        return;
    const bool withEdit = tilesButtons() & EditButtonFlag;
    if (editing()) {
        const double y = double(float(cellSize.height() - TilesButtonSize) / 2.0f);
        const double width = cellSize.width();
        createTilesButton(QRectF(width - DeleteButtonInset, y, TilesButtonSize, TilesButtonSize),
            DeleteButtonTag, contentView, index);
        if (withEdit)
            createTilesButton(QRectF(width - EditButtonInset, y, TilesButtonSize, TilesButtonSize),
                EditButtonTag, contentView, index);
    } else {
        hideTilesButton(DeleteButtonTag, contentView);
        if (withEdit)
            hideTilesButton(EditButtonTag, contentView);
    }
}

platform::ui::View* GenericRowViewController::createTilesButton(
    const QRectF& frame, int tag, platform::ui::View* contentView, qint64 index)
{
    auto* button = qobject_cast<TilesButtonView*>(contentView->viewWithTag(tag));
    if (button) {
        setFrameIfDifferent(button, frame);
    } else {
        button = new TilesButtonView(frame);
        button->setTag(tag);
        setThemedIcon(button,
            UIImage_Theme::themedimageNamed(tag == DeleteButtonTag ? DeleteImage : EditImage));
        addTap(button, [this](platform::ui::GestureRecognizer* tap) { tapOnTilesButton(tap); });
        button->setUserInteractionEnabled(true);
        contentView->addSubview(button);
    }
    button->setIndex(quint64(index));
    if (button->isHidden())
        button->setHidden(false);
    return button;
}

void GenericRowViewController::hideTilesButton(int tag, platform::ui::View* contentView)
{
    if (platform::ui::View* button = contentView->viewWithTag(tag))
        if (!button->isHidden())
            button->setHidden(true);
}

void GenericRowViewController::tapOnTilesButton(platform::ui::GestureRecognizer* recognizer)
{
    try {
        auto* button = qobject_cast<TilesButtonView*>(recognizer ? recognizer->view() : nullptr);
        CollectionViewController* grid = gridViewController();
        if (!button || !grid)
            return;
        const qint64 index = qint64(button->index());
        grid->setSelectedRow(index);
        grid->selectRow(index);
        const auto controller = grid->dataController();
        if (!controller)
            return;
        if (button->tag() == EditButtonTag)
            controller->edit(nullptr);
        else if (button->tag() == DeleteButtonTag)
            controller->remove(nullptr);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

QColor GenericRowViewController::rowbackColor(qint64)
{
    Theme* style = Theme::current();
    return style ? style->MetroRowBackColor().toQColor() : QColor();
}

QVariant GenericRowViewController::pageSize()
{
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    const QVariant tiles = preferences ? preferences->tiles() : QVariant();
    return tiles.toInt() < 1 ? QVariant(-1) : QVariant(tiles.toInt());
}

double GenericRowViewController::placeLinesIcon(platform::ui::View* contentView,
    DataControllerPtotocol* controller, qint64 index, const QString& rowImage, double y)
{
    auto* image = qobject_cast<platform::ui::ImageView*>(contentView->viewWithTag(IconTag));
    if (rowImage.isEmpty()) {
        if (image && !image->isHidden())
            image->setHidden(true);
        return 0;
    }
    const QRectF frame(0, y, IconSize, IconSize);
    if (!image) {
        image = new MetroImageView(frame);
        contentView->addSubview(image);
    } else {
        setFrameIfDifferent(image, frame);
    }
    setTileImage(image, controller, index, rowImage);
    if (image->isHidden())
        image->setHidden(false);
    return TitleAfterIcon;
}
