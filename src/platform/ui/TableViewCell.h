#pragma once

#include "platform/ui/TableViewCellEditingStyle.h"
#include "platform/ui/View.h"

#include <QPointer>

namespace platform::ui {

class Control;
class ImageView;
class Label;
class TableView;

// A row of a table view. Its own content goes into the content view; every style brings
// a text label and an image view, value-1 also a grey detail label at the right, subtitle
// a detail label below the text (the pair centred in the row's height). At the right edge sits the
// accessory: a disclosure chevron, a check mark, a detail button (its tap goes to the table's
// delegate), both button and chevron, or a view of the caller's; while the table is editing, the
// reorder control of a movable row and, at the left edge, the delete control of a row that may be
// deleted: its tap shows a Delete button at the right edge, whose tap deletes the row.
class TableViewCell : public View {
    Q_OBJECT
public:
    enum class Style { Default = 0, Value1 = 1, Subtitle = 3 };
    enum class SelectionStyle { None = 0, Blue = 1, Gray = 2, Default = 3 };
    enum class AccessoryType {
        None = 0,
        DisclosureIndicator = 1,
        DetailDisclosureButton = 2,
        Checkmark = 3,
        DetailButton = 4
    };

    explicit TableViewCell(Style style = Style::Default, const QString& reuseIdentifier = {},
        QWidget* parent = nullptr);
    ~TableViewCell() override;

    QString reuseIdentifier() const { return m_reuseIdentifier; }
    Style style() const { return m_style; }

    View* contentView() const { return m_contentView; }
    Label* textLabel() const { return m_textLabel; }
    // Null for the default style.
    Label* detailTextLabel() const { return m_detailTextLabel; }
    ImageView* imageView() const { return m_imageView; }

    AccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(AccessoryType type);
    // A view of the caller's in place of the accessory type; the cell takes it and deletes
    // the one it replaces.
    View* accessoryView() const { return m_accessoryView; }
    void setAccessoryView(View* view);

    SelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(SelectionStyle style);
    View* backgroundView() const { return m_backgroundView; }
    void setBackgroundView(View* view);
    // Shown behind the content while selected or highlighted; a grey one by default.
    View* selectedBackgroundView() const;
    void setSelectedBackgroundView(View* view);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted, bool animated = false);
    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated = false);
    bool showsReorderControl() const { return m_showsReorderControl; }
    void setShowsReorderControl(bool shows);
    // Set by the table from its data source and delegate.
    TableViewCellEditingStyle editingStyle() const { return m_editingStyle; }
    // The Delete button is out, waiting for its tap.
    bool showingDeleteConfirmation() const { return m_showingDeleteConfirmation; }

    // The table that shows the cell, while it does.
    TableView* tableView() const { return m_tableView; }

    // Where the parts sit (cell coordinates): the reorder control's grip, and the detail
    // button (for tests and the table's hit testing); empty when not shown.
    QRectF reorderControlFrame() const;
    Control* detailButton() const { return m_detailButton; }
    // Shown while editing a row whose editing style is delete.
    Control* deleteControl() const { return m_deleteControl; }
    // Shown after a tap on the delete control.
    Control* deleteConfirmationButton() const { return m_deleteConfirmationButton; }

    virtual void prepareForReuse();
    void layoutSubviews() override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    friend class TableView;

    // How the table draws this row: its separators, its place in a grouped card.
    struct Decoration {
        bool topSeparator = false;
        bool bottomSeparator = true;
        double separatorLeft = 15;
        double separatorRight = 0;
        QColor separatorColor;
        double cornerRadius = 0;
        unsigned roundedCorners = 0;
        double margin = 15;
        bool operator==(const Decoration&) const = default;
    };
    void setDecoration(const Decoration& decoration);
    void setEditingStyle(TableViewCellEditingStyle style);
    void setShowingDeleteConfirmation(bool showing);
    bool showsDeleteControl() const;
    void updateSelectionDisplay(bool animated);
    void updateAccessory();
    void applyCorners(View* view) const;
    double accessoryWidth() const;
    void layoutSubtitle(double x, double width, double height);

    Style m_style;
    QString m_reuseIdentifier;
    View* m_contentView = nullptr;
    Label* m_textLabel = nullptr;
    Label* m_detailTextLabel = nullptr;
    ImageView* m_imageView = nullptr;
    AccessoryType m_accessoryType = AccessoryType::None;
    QPointer<View> m_accessoryView;
    View* m_accessoryIndicator = nullptr; // chevron or check mark
    Control* m_detailButton = nullptr;
    View* m_reorderControl = nullptr;
    Control* m_deleteControl = nullptr;
    Control* m_deleteConfirmationButton = nullptr;
    TableViewCellEditingStyle m_editingStyle = TableViewCellEditingStyle::None;
    bool m_showingDeleteConfirmation = false;
    SelectionStyle m_selectionStyle = SelectionStyle::Blue;
    QPointer<View> m_backgroundView;
    mutable QPointer<View> m_selectedBackgroundView;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_editing = false;
    bool m_showsReorderControl = false;
    QPointer<TableView> m_tableView;
    Decoration m_decoration;
};

} // namespace platform::ui
