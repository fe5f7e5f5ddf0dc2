#pragma once

#include <QTextDocument>

class QPaintDevice;

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

    // Loads the HTML and lays it out unpaginated.
    void loadHtml(const QString& html);
    double textWidthPoints() const { return m_textWidth; }
    // The laid-out height in points.
    double contentHeight();

    // The cell-width styles of the HTML as width attributes, each multiplied by the factor.
    static QString withWidthAttributes(const QString& html, double factor);
    // The widest row's sum of cell-width styles.
    static double widestRow(const QString& html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void setLaidOutHtml(const QString& html);
    void loadReportImages();

    double m_textWidth;
};
