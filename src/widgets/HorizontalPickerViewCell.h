#pragma once

#include "platform/ui/DelegatePointer.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "widgets/HorizontalPickerViewCellDataSource.h"
#include "widgets/HorizontalPickerViewCellDelegate.h"
#include "widgets/HorizontalPickerViewDataSource.h"
#include "widgets/HorizontalPickerViewDelegate.h"

#include <QMarginsF>
#include <QPointer>

#include <optional>

class HorizontalPickerView;

// A table row with a horizontal picker at its right: the cell answers the picker and
// passes its questions on with the row they come from.
class HorizontalPickerViewCell : public platform::ui::TableViewCell,
                                 public HorizontalPickerViewDataSource,
                                 public HorizontalPickerViewDelegate {
    Q_OBJECT
public:
    explicit HorizontalPickerViewCell(Style style = Style::Default,
        const QString& reuseIdentifier = {}, QWidget* parent = nullptr);
    ~HorizontalPickerViewCell() override;

    HorizontalPickerView* pickerView() const { return m_pickerView; }

    HorizontalPickerViewCellDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(HorizontalPickerViewCellDataSource* dataSource)
    {
        m_dataSource = dataSource;
    }
    HorizontalPickerViewCellDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HorizontalPickerViewCellDelegate* delegate) { m_delegate = delegate; }

    // The cell's row, asked of the table once and kept: a cell moved to another row goes
    // on reporting the first one until a new path is set.
    std::optional<platform::ui::IndexPath> currentIndexPath();
    void setCurrentIndexPath(const std::optional<platform::ui::IndexPath>& indexPath)
    {
        m_currentIndexPath = indexPath;
    }

    // Passed to the picker.
    void reloadData();
    void selectItemAtIndex(int index, bool animated);
    int selectedItem() const;
    bool showGlass() const;
    void setShowGlass(bool show);
    QMarginsF peekInset() const;
    void setPeekInset(const QMarginsF& inset);

    int numberOfItemsInPickerView(HorizontalPickerView* pickerView) override;
    bool respondsToTitleForItem() const override { return true; }
    QString pickerViewTitleForItem(HorizontalPickerView* pickerView, int item) override;
    void pickerViewDidSelectItem(HorizontalPickerView* pickerView, int item) override;

    static constexpr double FontSize = 14;

private:
    QPointer<HorizontalPickerView> m_pickerView;
    platform::ui::DelegatePointer<HorizontalPickerViewCellDataSource> m_dataSource;
    platform::ui::DelegatePointer<HorizontalPickerViewCellDelegate> m_delegate;
    std::optional<platform::ui::IndexPath> m_currentIndexPath;
};
