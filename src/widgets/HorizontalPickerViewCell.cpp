#include "widgets/HorizontalPickerViewCell.h"

#include "platform/ui/Font.h"
#include "platform/ui/TableView.h"
#include "widgets/HorizontalPickerView.h"

using namespace platform::ui;

namespace {

const QRectF PickerFrame(192, 8, 112, 30);

} // namespace

HorizontalPickerViewCell::HorizontalPickerViewCell(
    Style style, const QString& reuseIdentifier, QWidget* parent)
    : TableViewCell(style, reuseIdentifier, parent)
{
    auto* picker = new HorizontalPickerView(PickerFrame);
    addSubview(picker);
    m_pickerView = picker;
    picker->setDelegate(this);
    picker->setDataSource(this);
    picker->setItemFont(Font::boldSystem(FontSize));
    picker->setItemColor(Qt::black);
}

HorizontalPickerViewCell::~HorizontalPickerViewCell()
{
    // The picker goes with the cell; it must not ask a cell half gone.
    if (m_pickerView) {
        m_pickerView->setDelegate(nullptr);
        m_pickerView->setDataSource(nullptr);
    }
}

std::optional<IndexPath> HorizontalPickerViewCell::currentIndexPath()
{
    if (!m_currentIndexPath)
        if (TableView* table = tableView())
            m_currentIndexPath = table->indexPathForCell(this);
    return m_currentIndexPath;
}

void HorizontalPickerViewCell::reloadData()
{
    if (m_pickerView)
        m_pickerView->reloadData();
}

void HorizontalPickerViewCell::selectItemAtIndex(int index, bool animated)
{
    if (m_pickerView)
        m_pickerView->selectItemAtIndex(index, animated);
}

int HorizontalPickerViewCell::selectedItem() const
{
    return m_pickerView ? m_pickerView->selectedItem() : 0;
}

bool HorizontalPickerViewCell::showGlass() const
{
    return m_pickerView && m_pickerView->showGlass();
}

void HorizontalPickerViewCell::setShowGlass(bool show)
{
    if (m_pickerView)
        m_pickerView->setShowGlass(show);
}

QMarginsF HorizontalPickerViewCell::peekInset() const
{
    return m_pickerView ? m_pickerView->peekInset() : QMarginsF();
}

void HorizontalPickerViewCell::setPeekInset(const QMarginsF& inset)
{
    if (m_pickerView)
        m_pickerView->setPeekInset(inset);
}

int HorizontalPickerViewCell::numberOfItemsInPickerView(HorizontalPickerView*)
{
    HorizontalPickerViewCellDataSource* source = m_dataSource.get();
    return source ? source->numberOfItemsInPickerViewAtIndexPath(currentIndexPath()) : 0;
}

QString HorizontalPickerViewCell::pickerViewTitleForItem(HorizontalPickerView*, int item)
{
    HorizontalPickerViewCellDataSource* source = m_dataSource.get();
    return source ? source->pickerViewAtIndexPathTitleForItem(currentIndexPath(), item) : QString();
}

void HorizontalPickerViewCell::pickerViewDidSelectItem(HorizontalPickerView*, int item)
{
    if (HorizontalPickerViewCellDelegate* d = m_delegate.get())
        d->pickerViewAtIndexPathDidSelectItem(currentIndexPath(), item);
}
