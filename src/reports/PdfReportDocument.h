#pragma once

#include <QFont>
#include <QList>
#include <QPair>
#include <QTextDocument>
#include <QTextFormat>

#include <optional>

class QPaintDevice;
class QTextTable;

// One part of a report page (header, rows or footer) laid out as it will be drawn: at a
// fixed width, measured and drawn on the PDF writer (72 dpi, one unit one point). Cell
// widths written as a style ("width:80px;") become width attributes, which is what the
// layout reads, shrunk in proportion when a row is wider than the page. Images come only
// through the report image schemes or, by a relative name, from the application's
// resources; no other URL is read.
class PdfReportDocument : public QTextDocument {
    Q_OBJECT
public:
    PdfReportDocument(QPaintDevice* device, double textWidth);

    // Loads the HTML; it is laid out when first measured, paginated or not.
    void loadHtml(const QString& html);
    double textWidthPoints() const { return m_textWidth; }
    // Lays the document out in pages of that height (-1: one page of any height), once
    // per height: every layout of a long table costs as much as its parsing.
    void layOut(double pageHeight);
    // The laid-out height in points, unpaginated.
    double contentHeight();
    // When the document is one table of a row per item, whose columns keep the widths they
    // ask for: how many of its rows end on the first page when laid out in pages of that
    // height. The layout of a row then depends only on the rows above it, so the count
    // holds for the same document cut after any of its rows. -1 otherwise. `split` tells
    // whether the next row begins on the first page too, being taller than what is left;
    // `used` how far down the page the rows on it reach.
    int rowsOnFirstPage(
        double pageHeight, int items, bool* split = nullptr, double* used = nullptr);

    // The cell-width styles of the HTML as width attributes, each multiplied by the factor.
    static QString withWidthAttributes(const QString& html, double factor);
    // The widest row's sum of cell-width styles.
    static double widestRow(const QString& html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    // What one empty row of a table is laid out from.
    struct EmptyRow {
        QTextFrameFormat root;
        QTextTableFormat table;
        QList<QTextTableCellFormat> cells;
        QList<QTextBlockFormat> blocks;
        QList<QTextCharFormat> chars;
        QFont font;
        double margin = 0;
        double width = 0;
        QPaintDevice* device = nullptr;
        // A device freed and another made in its place may differ in resolution.
        int dpi = 0;
        bool operator==(const EmptyRow&) const = default;
    };
    // Where each column's cells hold their text: from the table's left, and how wide.
    using ColumnPlaces = QList<QPair<double, double>>;
    static const ColumnPlaces& emptyRowPlaces(const EmptyRow& row);
    bool columnsKeepTheirWidths(QTextTable* table);
    bool rowBeginsBefore(QTextTable* table, int row, double y);
    void setLaidOutHtml(const QString& html);
    void loadReportImages();

    double m_textWidth;
    // Makes a cell's width in pixels as many device units, as its font sizes are: on the
    // 72-dpi PDF writer, a pixel is a point.
    double m_lengthScale;
    QString m_html;
    // The height laid out at; none yet.
    std::optional<double> m_pageHeight;
};
