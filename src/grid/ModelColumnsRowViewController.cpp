#include "grid/ModelColumnsRowViewController.h"

#include "grid/BaseDataController.h"
#include "grid/ColumnTableDataController.h"
#include "grid/ResponseColumn.h"
#include "model/Sort.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "utilities/shell/MessageHelper.h"

#include <QPointer>

const QString ModelColumnsRowViewController::AscendingArrow = QString(QChar(0x2193));
const QString ModelColumnsRowViewController::DescendingArrow = QString(QChar(0x2191));

ModelColumnsRowViewController::ModelColumnsRowViewController() = default;

ModelColumnsRowViewController::~ModelColumnsRowViewController() = default;

ColumnTableDataController* ModelColumnsRowViewController::columnSource() const
{
    return dynamic_cast<ColumnTableDataController*>(dataController());
}

void ModelColumnsRowViewController::initColumns()
{
    BaseDataController* controller = dataController();
    ColumnTableDataController* source = columnSource();
    const QString name = controller ? controller->getImage() : QString();
    if (source && source->respondsToGetDynamicImage())
        setImage(QStringLiteral(""));
    else
        setImage(name.isEmpty() ? std::nullopt : std::optional<QString>(name));
    if (columnWidth())
        return;
    const double screenWidth = gridWidth();
    m_headers = source ? source->columnHeaders() : QStringList();
    const QList<double> widths = source ? source->columnWidths() : QList<double>();
    QHash<QString, float> measured;
    float total = 0;
    for (qsizetype i = 0; i < m_headers.size(); ++i) {
        const float width = float(widths.value(i));
        measured.insert(m_headers.at(i), width);
        if (!m_headers.at(i).startsWith(ResponseColumn::ImageColumnPrefix))
            total += width;
    }
    if (total > 0 && screenWidth > double(total)) {
        const float scale = float(screenWidth) / total;
        for (const QString& header : std::as_const(m_headers))
            if (!header.startsWith(ResponseColumn::ImageColumnPrefix))
                measured[header] *= scale;
    }
    setColumnWidth(measured);
}

bool ModelColumnsRowViewController::showsImageColumn() const
{
    return image().has_value();
}

QList<ColumnsRowViewController::Column> ModelColumnsRowViewController::visibleColumns() const
{
    QList<Column> shown;
    for (qsizetype j = 0; j < m_headers.size(); ++j) {
        Column column;
        column.tag = int(j) + ColumnTagBase;
        column.key = m_headers.at(j);
        column.header = m_headers.at(j);
        column.isImage = column.header.startsWith(ResponseColumn::ImageColumnPrefix);
        column.width = columnWidth() ? columnWidth()->value(column.header) : 0;
        shown.append(column);
    }
    return shown;
}

QVariantList ModelColumnsRowViewController::rowValues(qint64 index) const
{
    QVariantList values;
    if (ColumnTableDataController* source = columnSource())
        for (const QString& value : source->columnValues(index))
            values.append(value);
    return values;
}

void ModelColumnsRowViewController::takeDynamicImage(qint64 index)
{
    ColumnTableDataController* source = columnSource();
    if (source && source->respondsToGetDynamicImage())
        setImage(dataController()->getDynamicImage(index));
}

QString ModelColumnsRowViewController::headerText(const Column& column) const
{
    if (column.isImage)
        return {};
    QString arrow;
    if (BaseDataController* controller = dataController())
        for (const std::shared_ptr<Sort>& sort : controller->sorts())
            if (sort && sort->Header() == column.header)
                arrow = sort->Ascending() ? AscendingArrow : DescendingArrow;
    return arrow + column.header;
}

void ModelColumnsRowViewController::setUpHeaderLabel(platform::ui::View* label)
{
    QPointer<ModelColumnsRowViewController> self(this);
    auto* tap = new platform::ui::TapGestureRecognizer(
        [self](platform::ui::GestureRecognizer* recognizer) {
            if (self)
                self->headerLabelTouched(recognizer);
        });
    tap->setDelegate(this);
    label->addGestureRecognizer(tap);
    label->setUserInteractionEnabled(true);
}

void ModelColumnsRowViewController::headerLabelTouched(platform::ui::GestureRecognizer* recognizer)
{
    try {
        platform::ui::View* label = recognizer ? recognizer->view() : nullptr;
        ColumnTableDataController* source = columnSource();
        if (label && source && source->respondsToHeaderLabelTouched())
            source->headerLabelTouched(qint64(label->tag() - ColumnTagBase));
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

QSizeF ModelColumnsRowViewController::getRowSize()
{
    initColumns();
    double width = 0;
    for (const QString& header : std::as_const(m_headers))
        width += double(columnWidth() ? columnWidth()->value(header) : 0);
    if (showsImageColumn())
        width += SmallColumnWidth;
    if (disclosure())
        width += SmallColumnWidth;
    return QSizeF(width, LineHeight);
}

QVariant ModelColumnsRowViewController::pageSize()
{
    return QVariant(-1);
}
