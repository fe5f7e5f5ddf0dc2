#include "grid/FilterRowViewController.h"

#include "grid/GridData.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/RowLabel.h"

FilterRowViewController::FilterRowViewController() = default;
FilterRowViewController::~FilterRowViewController() = default;

void FilterRowViewController::clearTile(platform::ui::View* contentView)
{
    // Tiles are reused for other entries, so nothing of the last one stays.
    const QList<platform::ui::View*> old = contentView->subviews();
    for (platform::ui::View* view : old) {
        view->removeFromSuperview();
        view->deleteLater();
    }
    paintRowBackground(contentView);
}

void FilterRowViewController::addLabel(
    platform::ui::View* contentView, const QRectF& frame, const QString& text)
{
    auto* label = new RowLabel(frame);
    label->setText(text);
    contentView->addSubview(label);
}

void FilterRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF&)
{
    if (!contentView)
        return;
    clearTile(contentView);
    const auto filter = RowObject::record<FilterExtended>(gridDataAt(index).Data);
    if (!filter)
        return;
    const QList<std::pair<QString, QString>> lines {
        { QStringLiteral("AndOr"), filter->AndOr() },
        { LocalizedStrings::Column(), filter->Header() },
        { LocalizedStrings::Operator(), filter->Operator() },
        { LocalizedStrings::Value(), filter->Value() },
    };
    double y = 0;
    for (const auto& [caption, value] : lines) {
        addLabel(contentView, QRectF(0, y, CaptionWidth, LineHeight), caption);
        addLabel(contentView, QRectF(ValueX, y, ValueWidth, LineHeight), value);
        y += LineHeight;
    }
}

QSizeF FilterRowViewController::tileSize(double height) const
{
    const double width = contentWidth();
    if (DeviceHelper::isIPHONE())
        return QSizeF(width - 20, height);
    return QSizeF((width - 45) * 0.5, height);
}

QSizeF FilterRowViewController::getRowSize()
{
    return tileSize(FilterTileHeight);
}

QColor FilterRowViewController::rowbackColor(qint64)
{
    Theme* style = Theme::current();
    return style ? style->MetroRowBackColor().toQColor() : QColor();
}
