#include "grid/ColumnsRowViewController.h"

#include "grid/BaseDataController.h"
#include "grid/CollectionViewController.h"
#include "grid/GridData.h"
#include "grid/GridFlowLayout.h"
#include "grid/MainCollectionViewController.h"
#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/Preferences.h"
#include "widgets/DisclosureView.h"
#include "widgets/RowHeaderLabel.h"
#include "widgets/RowLabel.h"
#include "widgets/UIImage_Theme.h"

#include <QFontMetricsF>
#include <QMultiHash>
#include <QPointer>

#include <algorithm>
#include <limits>

namespace {

const QString kDisclosureImage = QStringLiteral("metrodisclosuresmall");
// The image name an image view shows, so a reused one is not drawn again.
const char* const kImageNameProperty = "kivoImageName";

void setFrameIfDifferent(platform::ui::View* view, const QRectF& frame)
{
    if (view->frame() != frame)
        view->setFrame(frame);
}

void setTextIfDifferent(platform::ui::Label* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void showImageNamed(platform::ui::ImageView* view, const QString& name)
{
    if (view->property(kImageNameProperty).toString() == name
        && view->property(kImageNameProperty).isValid())
        return;
    RowViewContoller::setThemedIcon(view, UIImage_Theme::themedimageNamed(name));
    view->setProperty(kImageNameProperty, name);
}

// The subviews a reused cell or header already has for its columns (tags from 100 on),
// each handed out once per pass and only as the kind asked for. What no column takes
// belonged to a table shown before, with other columns, and goes.
class ReusedSubviews {
public:
    explicit ReusedSubviews(platform::ui::View* parent)
    {
        for (platform::ui::View* view : parent->subviews())
            if (view->tag() >= ColumnsRowViewController::ColumnTagBase)
                m_byTag.insert(view->tag(), view);
    }

    template<class Kind> Kind* take(int tag)
    {
        for (auto it = m_byTag.find(tag); it != m_byTag.end() && it.key() == tag; ++it) {
            // The exact class: a disclosure arrow is an image view too.
            if (it.value()->metaObject() == &Kind::staticMetaObject) {
                auto* view = static_cast<Kind*>(it.value());
                m_byTag.erase(it);
                return view;
            }
        }
        return nullptr;
    }

    void removeTheRest()
    {
        for (platform::ui::View* view : std::as_const(m_byTag)) {
            view->removeFromSuperview();
            view->deleteLater();
        }
        m_byTag.clear();
    }

private:
    QMultiHash<int, platform::ui::View*> m_byTag;
};

platform::ui::ImageView* imageViewWithTag(
    platform::ui::View* parent, ReusedSubviews& reused, int tag, const QRectF& frame)
{
    auto* view = reused.take<platform::ui::ImageView>(tag);
    if (!view) {
        view = new platform::ui::ImageView();
        view->setFrame(frame);
        view->setBackgroundColor(Qt::transparent);
        view->setTag(tag);
        parent->addSubview(view);
    }
    setFrameIfDifferent(view, frame);
    return view;
}

// 100 + the column's position, kept within an int: the last positions share the last tag,
// and each of their columns still gets a view of its own.
int columnTag(unsigned order)
{
    return int(std::min<qint64>(
        qint64(order) + ColumnsRowViewController::ColumnTagBase, std::numeric_limits<int>::max()));
}

} // namespace

ColumnsRowViewController::ColumnsRowViewController() = default;

ColumnsRowViewController::~ColumnsRowViewController() = default;

MainCollectionViewController* ColumnsRowViewController::mainGridViewController() const
{
    return qobject_cast<MainCollectionViewController*>(gridViewController());
}

BaseDataController* ColumnsRowViewController::dataController() const
{
    CollectionViewController* grid = gridViewController();
    return grid ? grid->dataController().get() : nullptr;
}

bool ColumnsRowViewController::disclosure() const
{
    CollectionViewController* grid = gridViewController();
    return grid && grid->screen() && grid->screen()->disclosure;
}

double ColumnsRowViewController::gridWidth() const
{
    CollectionViewController* grid = gridViewController();
    return grid && grid->isViewLoaded() ? grid->view()->bounds().width() : 0;
}

QString ColumnsRowViewController::sampleText(unsigned length)
{
    // The server says how long a column is; no screen shows more than this of one line,
    // and a longer sample would only cost time and memory to build and measure.
    length = std::min(length, MaxSampleLength);
    if (length <= ShortSampleLength)
        return QString(qsizetype(length), u'M');
    QString sample;
    sample.reserve(qsizetype(length) + 4);
    while (sample.size() < qsizetype(length))
        sample += QStringLiteral("MaWq");
    return sample.left(qsizetype(length));
}

QHash<QString, float> ColumnsRowViewController::getColumnWidths(BaseDataController* dataController)
{
    QHash<QString, float> widths;
    if (!dataController || !dataController->table())
        return widths;
    platform::ui::ViewController* screen = dataController->viewController();
    const double screenWidth
        = screen && screen->isViewLoaded() ? screen->view()->bounds().width() : 0;
    Theme* style = Theme::current();
    const QFontMetricsF headerMetrics(style ? style->RowLabelHeaderFont() : QFont());
    const QFontMetricsF rowMetrics(style ? style->RowLabelFont() : QFont());
    const QList<ResponseColumn>& columns = dataController->table()->Columns;
    for (const ResponseColumn& column : columns) {
        if (column.isImageColumn()) {
            widths.insert(column.Name,
                float(qMax(SmallColumnWidth, headerMetrics.horizontalAdvance(column.Header))));
            continue;
        }
        if (column.Hide == QLatin1String("N"))
            widths.insert(
                column.Name, float(rowMetrics.horizontalAdvance(sampleText(column.Length))));
    }
    float total = 0;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        if (!it.key().startsWith(ResponseColumn::ImageColumnPrefix))
            total += it.value();
    // Narrower than the screen: the text columns are stretched to fill it exactly.
    if (total > 0 && screenWidth > double(total)) {
        const float scale = float(screenWidth) / total;
        for (const ResponseColumn& column : columns)
            if (!column.isImageColumn() && column.Hide == QLatin1String("N"))
                widths[column.Name] *= scale;
    }
    return widths;
}

void ColumnsRowViewController::initColumns()
{
    BaseDataController* controller = dataController();
    const QString name = controller ? controller->getImage() : QString();
    m_image = name.isEmpty() ? std::nullopt : std::optional<QString>(name);
    if (!m_columnWidth)
        m_columnWidth = getColumnWidths(controller);
}

bool ColumnsRowViewController::showsImageColumn() const
{
    BaseDataController* controller = dataController();
    return m_image && controller && controller->table() && !controller->table()->Columns.isEmpty();
}

QList<ColumnsRowViewController::Column> ColumnsRowViewController::visibleColumns() const
{
    QList<Column> shown;
    BaseDataController* controller = dataController();
    if (!controller || !controller->table())
        return shown;
    for (const ResponseColumn& column : controller->table()->Columns) {
        if (column.Hide != QLatin1String("N"))
            continue;
        Column cell;
        cell.tag = columnTag(column.Order);
        cell.key = column.Name;
        cell.header = column.Header;
        cell.isImage = column.isImageColumn();
        cell.width = m_columnWidth ? m_columnWidth->value(column.Name) : 0;
        shown.append(cell);
    }
    return shown;
}

QVariantList ColumnsRowViewController::rowValues(qint64 index) const
{
    QVariantList values;
    CollectionViewController* grid = gridViewController();
    BaseDataController* controller = dataController();
    const auto item = grid ? grid->getGridData(index) : nullptr;
    const auto row = item ? RowObject::record<ResponseRow>(item->Data) : nullptr;
    const QVariantMap byName = row && controller && controller->table()
        ? row->ToDictionary(controller->table()->Columns)
        : QVariantMap();
    for (const Column& column : visibleColumns())
        values.append(byName.value(column.key));
    return values;
}

void ColumnsRowViewController::takeDynamicImage(qint64 index)
{
    BaseDataController* controller = dataController();
    if (!controller)
        return;
    const QString name = controller->getDynamicImage(index);
    if (!name.isEmpty())
        m_image = name;
}

QString ColumnsRowViewController::headerText(const Column& column) const
{
    return column.isImage ? QString() : column.header;
}

void ColumnsRowViewController::setUpHeaderLabel(platform::ui::View*)
{
}

void ColumnsRowViewController::CreateHeader(platform::ui::View* header)
{
    if (!header)
        return;
    initColumns();
    ReusedSubviews reused(header);
    double x = 0;
    if (disclosure()) {
        // Set again when reused: a column whose tag is the same may have had this label.
        const QRectF frame(0, 0, SmallColumnWidth, LineHeight);
        platform::ui::Label* blank = reused.take<RowHeaderLabel>(DisclosureHeaderTag);
        if (!blank) {
            blank = new RowHeaderLabel(frame);
            blank->setTag(DisclosureHeaderTag);
            header->addSubview(blank);
        }
        setFrameIfDifferent(blank, frame);
        setTextIfDifferent(blank, QString());
        x = SmallColumnWidth;
    }
    if (showsImageColumn()) {
        const QRectF frame(x, 0, SmallColumnWidth, LineHeight);
        platform::ui::Label* blank = reused.take<RowHeaderLabel>(ImageTag);
        if (!blank) {
            blank = new RowHeaderLabel(frame);
            blank->setTag(ImageTag);
            header->addSubview(blank);
        }
        setFrameIfDifferent(blank, frame);
        setTextIfDifferent(blank, QString());
        x += SmallColumnWidth;
    }
    for (const Column& column : visibleColumns()) {
        const QRectF frame(x, 0, double(column.width), LineHeight);
        const QString text = headerText(column);
        platform::ui::Label* label = reused.take<RowHeaderLabel>(column.tag);
        if (label) {
            setFrameIfDifferent(label, frame);
            setTextIfDifferent(label, text);
        } else {
            label = new RowHeaderLabel(frame);
            label->setTag(column.tag);
            label->setText(text);
            setUpHeaderLabel(label);
            header->addSubview(label);
        }
        x += double(column.width);
    }
    reused.removeTheRest();
}

void ColumnsRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF&)
{
    if (!contentView)
        return;
    const QColor back = rowbackColor(index);
    if (contentView->backgroundColor() != back)
        contentView->setBackgroundColor(back);
    const QVariantList values = rowValues(index);
    ReusedSubviews reused(contentView);
    double x = 0;
    if (disclosure()) {
        auto* arrow = reused.take<DisclosureView>(DisclosureTag);
        if (!arrow) {
            arrow = makeDisclosureArrow(
                QRectF(0, 0, SmallColumnWidth, LineHeight), kDisclosureImage, this);
            arrow->setTag(DisclosureTag);
            arrow->setBackgroundColor(Qt::transparent);
            contentView->addSubview(arrow);
        }
        arrow->setIndex(quint64(index));
        x = SmallColumnWidth;
    }
    takeDynamicImage(index);
    if (showsImageColumn()) {
        auto* icon = imageViewWithTag(
            contentView, reused, ImageTag, QRectF(x, 0, SmallColumnWidth, LineHeight));
        BaseDataController* controller = dataController();
        if (controller && controller->respondsToGetDynamicUIImage()) {
            icon->setImage(controller->getDynamicUIImage(index));
            icon->setHighlightedImage({});
            icon->setProperty(kImageNameProperty, QVariant());
        } else {
            showImageNamed(icon, *m_image);
        }
        x += SmallColumnWidth;
    }
    const QList<Column> columns = visibleColumns();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const Column& column = columns.at(i);
        const QVariant value = values.value(i);
        if (column.isImage) {
            // The image is 30 points wide; the column keeps its whole width.
            showImageNamed(imageViewWithTag(contentView, reused, column.tag,
                               QRectF(x, 0, SmallColumnWidth, LineHeight)),
                value.toString());
        } else {
            const QRectF frame(x, 0, double(column.width), LineHeight);
            platform::ui::Label* label = reused.take<RowLabel>(column.tag);
            if (!label) {
                label = new RowLabel(frame);
                label->setTag(column.tag);
                contentView->addSubview(label);
            }
            setFrameIfDifferent(label, frame);
            setTextIfDifferent(label, value.isValid() ? value.toString() : QString());
        }
        x += double(column.width);
    }
    reused.removeTheRest();
}

QSizeF ColumnsRowViewController::getRowSize()
{
    initColumns();
    double width = 0;
    BaseDataController* controller = dataController();
    if (controller && controller->table() && m_columnWidth)
        for (const ResponseColumn& column : controller->table()->Columns)
            width += double(m_columnWidth->value(column.Name));
    if (showsImageColumn())
        width += SmallColumnWidth;
    if (disclosure())
        width += SmallColumnWidth;
    return QSizeF(width, LineHeight);
}

void ColumnsRowViewController::clear()
{
    m_columnWidth.reset();
}

QColor ColumnsRowViewController::rowbackColor(qint64 index)
{
    Theme* style = Theme::current();
    if (!style)
        return {};
    return (index % 2 ? style->RowAlternateBackColor() : style->RowBackColor()).toQColor();
}

platform::ui::CollectionViewLayout* ColumnsRowViewController::collectionViewLayout()
{
    if (!layout())
        setLayout(new GridFlowLayout(this));
    return layout();
}

QVariant ColumnsRowViewController::pageSize()
{
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    const QVariant rows = preferences ? preferences->rows() : QVariant();
    return rows.toInt() < 1 ? QVariant(-1) : QVariant(rows.toInt());
}
