#pragma once

#include "grid/RowViewContoller.h"
#include "platform/ui/GestureRecognizer.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

class BaseDataController;
class MainCollectionViewController;

namespace platform::ui {
class View;
}

// Rows as a column table of a desktop-server table: a header line of column titles, then
// a 30-point line per row with a cell per visible column, after an optional disclosure
// column and image column. Widths are measured once per clear, from sample text of each
// column's length, and stretched to fill a screen wider than the table; a wider table
// scrolls sideways under its pinned header (GridFlowLayout). A reused cell or header
// keeps its subviews, found again by tag, and only frames and texts that differ are set;
// the ones of columns the shown table does not have are removed.
class ColumnsRowViewController : public RowViewContoller,
                                 public platform::ui::GestureRecognizerDelegate {
    Q_OBJECT
public:
    ColumnsRowViewController();
    ~ColumnsRowViewController() override;

    static constexpr double LineHeight = 30;
    static constexpr double SmallColumnWidth = 30; // disclosure and image columns
    static constexpr int DisclosureTag = 2000;
    static constexpr int DisclosureHeaderTag = 10000;
    static constexpr int ImageTag = 10001;
    static constexpr int ColumnTagBase = 100;
    // Sample lengths up to this are measured on "M"s, longer ones on "MaWq".
    static constexpr unsigned ShortSampleLength = 20;
    // Longer columns are measured as this many characters.
    static constexpr unsigned MaxSampleLength = 1000;

    MainCollectionViewController* mainGridViewController() const;
    // Image name of the image column: none means no image column, an empty name one whose
    // images come row by row.
    const std::optional<QString>& image() const { return m_image; }
    // Width per column name, measured on first use; none after clear.
    const std::optional<QHash<QString, float>>& columnWidth() const { return m_columnWidth; }

    virtual void initColumns();
    // The widths of the data controller's server table.
    static QHash<QString, float> getColumnWidths(BaseDataController* dataController);
    // The text a column of that many characters (at most MaxSampleLength) is measured on.
    static QString sampleText(unsigned length);

    void CreateHeader(platform::ui::View* header) override;
    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;
    QSizeF getRowSize() override;
    int getSpacing() override { return 1; }
    void clear() override;
    QColor rowbackColor(qint64 index) override;
    platform::ui::CollectionViewLayout* collectionViewLayout() override;
    QVariant pageSize() override;

protected:
    // One visible column as the header and rows draw it.
    struct Column {
        int tag = 0;
        QString key;
        QString header;
        float width = 0;
        bool isImage = false;
    };

    BaseDataController* dataController() const;
    bool disclosure() const;
    double gridWidth() const;
    void setImage(std::optional<QString> image) { m_image = std::move(image); }
    void setColumnWidth(std::optional<QHash<QString, float>> widths)
    {
        m_columnWidth = std::move(widths);
    }
    // Whether the line has an image column.
    virtual bool showsImageColumn() const;
    virtual QList<Column> visibleColumns() const;
    // The texts of the row, one per visible column.
    virtual QVariantList rowValues(qint64 index) const;
    // Takes the row's own image name (from getDynamicImage) before the row is drawn.
    virtual void takeDynamicImage(qint64 index);
    // The header text and, for a new label, its set-up (a tap recogniser for sorting).
    virtual QString headerText(const Column& column) const;
    virtual void setUpHeaderLabel(platform::ui::View* label);

private:
    std::optional<QString> m_image;
    std::optional<QHash<QString, float>> m_columnWidth;
};
