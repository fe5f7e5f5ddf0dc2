#include "reports/PdfReportDocument.h"

#include "platform/Folders.h"
#include "reports/NSURLWebViewProtocol.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPaintDevice>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

const QRegularExpression& cellWidthStyle()
{
    static const QRegularExpression pattern(
        QStringLiteral(
            R"((<t[hd]\b[^>]*?)\s+style\s*=\s*"\s*width\s*:\s*([0-9]*\.?[0-9]+)px\s*;?\s*")"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// A resource named relative to the resources folder, only when it lies inside it.
QByteArray bundledResource(const QUrl& name)
{
    if (!name.isRelative() || name.path().isEmpty() || QDir::isAbsolutePath(name.path()))
        return {};
    const QString root = QDir(platform::Folders::resources()).canonicalPath();
    const QString path = QFileInfo(root + QLatin1Char('/') + name.path()).canonicalFilePath();
    if (root.isEmpty() || path.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What an image that loads nothing shows: the layout would otherwise read the name as a
// local file.
QImage nothingToShow()
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage imageOf(const QByteArray& data)
{
    QImage image;
    if (data.isEmpty() || !image.loadFromData(data))
        return nothingToShow();
    return image;
}

// Slack for rounding before a layout counts as wider than its width.
constexpr double kWidthTolerance = 0.5;
// The layout takes a table's lengths for pixels of this many dots per inch and scales them
// to the device, where font sizes in pixels stay device units.
constexpr double kLayoutDpi = 96;
// No column is shrunk below this share of its asked width.
constexpr double kSmallestFactor = 0.05;

} // namespace

PdfReportDocument::PdfReportDocument(QPaintDevice* device, double textWidth)
    : m_textWidth(textWidth)
    , m_lengthScale(kLayoutDpi / std::max(1, device->logicalDpiY()))
{
    setUndoRedoEnabled(false);
    setDocumentMargin(0);
    documentLayout()->setPaintDevice(device);
    // No page size yet: loading the HTML does not lay it out.
}

QString PdfReportDocument::withWidthAttributes(const QString& html, double factor)
{
    QString result;
    result.reserve(html.size() + html.size() / 8);
    qsizetype last = 0;
    auto it = cellWidthStyle().globalMatch(html);
    while (it.hasNext()) {
        const auto match = it.next();
        result.append(QStringView(html).mid(last, match.capturedStart() - last));
        result.append(match.capturedView(1));
        result.append(QStringLiteral(" width=\"%1\"")
                          .arg(QString::number(match.captured(2).toDouble() * factor, 'f', 2)));
        last = match.capturedEnd();
    }
    result.append(QStringView(html).mid(last));
    return result;
}

double PdfReportDocument::widestRow(const QString& html)
{
    double widest = 0;
    double row = 0;
    qsizetype scanned = 0;
    auto it = cellWidthStyle().globalMatch(html);
    while (it.hasNext()) {
        const auto match = it.next();
        // A row tag between the last cell and this one starts a new row.
        const QStringView between = QStringView(html).mid(scanned, match.capturedStart() - scanned);
        if (between.contains(QLatin1String("<tr"), Qt::CaseInsensitive)) {
            widest = std::max(widest, row);
            row = 0;
        }
        row += match.captured(2).toDouble();
        scanned = match.capturedEnd();
    }
    return std::max(widest, row);
}

void PdfReportDocument::loadHtml(const QString& html)
{
    m_html = html;
    m_pageHeight.reset();
    setPageSize(QSizeF(0, 0));
    setHtml(withWidthAttributes(html, m_lengthScale));
    loadReportImages();
}

void PdfReportDocument::layOut(double pageHeight)
{
    if (m_pageHeight == pageHeight)
        return;
    m_pageHeight = pageHeight;
    setPageSize(QSizeF(m_textWidth, pageHeight));
    // Rows wider than the page would be cut at its edge: shrink every cell width in
    // proportion so that the widest row, with its padding and borders, fits.
    const double row = widestRow(m_html);
    if (row <= 0)
        return;
    double factor = 1;
    for (int pass = 0; pass < 2; ++pass) {
        const double ideal = idealWidth();
        if (ideal <= m_textWidth + kWidthTolerance)
            return;
        const double overhead = std::max(0.0, ideal - row * factor);
        factor = std::max(kSmallestFactor, (m_textWidth - overhead) / row * 0.995);
        setLaidOutHtml(withWidthAttributes(m_html, factor * m_lengthScale));
    }
}

void PdfReportDocument::setLaidOutHtml(const QString& html)
{
    setHtml(html);
    loadReportImages();
}

// The image names as written: a URL made of them would lower-case the file name.
void PdfReportDocument::loadReportImages()
{
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (!NSURLWebViewProtocol::canInitWithRequest(name))
                continue;
            addResource(QTextDocument::ImageResource, QUrl(name),
                imageOf(NSURLWebViewProtocol::loadRequest(name)));
        }
    }
}

double PdfReportDocument::contentHeight()
{
    layOut(-1);
    return documentLayout()->documentSize().height();
}

int PdfReportDocument::rowsOnFirstPage(double pageHeight, int items, bool* split, double* used)
{
    if (split)
        *split = false;
    if (used)
        *used = 0;
    // Laid out first: rows wider than the page are parsed again, narrower.
    layOut(pageHeight);
    const QList<QTextFrame*> frames = rootFrame()->childFrames();
    auto* table = frames.size() == 1 ? qobject_cast<QTextTable*>(frames.first()) : nullptr;
    if (!table || items <= 0 || table->rows() != items)
        return -1;
    if (!columnsKeepTheirWidths(table))
        return -1;
    // A row that does not fit is moved to the next page with all rows after it; a row
    // taller than the page is split over pages.
    QAbstractTextDocumentLayout* layout = documentLayout();
    const int columns = table->columns();
    for (int row = 0; row < items; ++row) {
        bool beyond = false;
        double rowBottom = 0;
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            // A cell spanning rows ties them: no cut between them is the same layout.
            if (cell.row() != row || cell.rowSpan() != 1)
                return -1;
            const QRectF rect = layout->blockBoundingRect(cell.lastCursorPosition().block());
            rowBottom = std::max(rowBottom, rect.bottom());
            beyond = beyond || rect.bottom() > pageHeight;
        }
        if (beyond) {
            if (split)
                *split = rowBeginsBefore(table, row, pageHeight);
            return row;
        }
        if (used)
            *used = rowBottom;
    }
    return items;
}

bool PdfReportDocument::rowBeginsBefore(QTextTable* table, int row, double y)
{
    QAbstractTextDocumentLayout* layout = documentLayout();
    for (int column = 0; column < table->columns(); ++column) {
        const QTextBlock first = table->cellAt(row, column).firstCursorPosition().block();
        if (layout->blockBoundingRect(first).top() < y)
            return true;
    }
    return false;
}

// Columns of fixed widths are as wide as asked or as their widest content: they keep the
// asked widths, whatever rows are left out, when the laid-out table has the cell places
// of the same table with one empty row.
bool PdfReportDocument::columnsKeepTheirWidths(QTextTable* table)
{
    const QTextTableFormat format = table->format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    const int columns = table->columns();
    if (widths.size() != columns)
        return false;
    for (const QTextLength& width : widths) {
        if (width.type() != QTextLength::FixedLength)
            return false;
    }
    EmptyRow row { rootFrame()->frameFormat(), format, {}, {}, {}, defaultFont(), documentMargin(),
        pageSize().width(), documentLayout()->paintDevice(),
        documentLayout()->paintDevice()->logicalDpiY() };
    for (int column = 0; column < columns; ++column) {
        const QTextTableCell cell = table->cellAt(0, column);
        if (cell.column() != column || cell.columnSpan() != 1)
            return false;
        const QTextCursor first = cell.firstCursorPosition();
        row.cells.append(cell.format().toTableCellFormat());
        row.blocks.append(first.blockFormat());
        row.chars.append(first.blockCharFormat());
    }
    const ColumnPlaces& asked = emptyRowPlaces(row);
    QAbstractTextDocumentLayout* layout = documentLayout();
    const double left = layout->frameBoundingRect(table).left();
    constexpr double kSame = 1.0 / 128;
    for (int column = 0; column < columns; ++column) {
        const QRectF laid
            = layout->blockBoundingRect(table->cellAt(0, column).firstCursorPosition().block());
        if (std::abs(laid.left() - left - asked.at(column).first) > kSame
            || std::abs(laid.width() - asked.at(column).second) > kSame)
            return false;
    }
    return true;
}

// The places of the last empty row asked for are kept: every page of a report asks for
// the same.
const PdfReportDocument::ColumnPlaces& PdfReportDocument::emptyRowPlaces(const EmptyRow& row)
{
    thread_local std::optional<EmptyRow> lastRow;
    thread_local ColumnPlaces lastPlaces;
    if (lastRow == row)
        return lastPlaces;
    QTextDocument reference;
    reference.setUndoRedoEnabled(false);
    reference.setDocumentMargin(row.margin);
    reference.setDefaultFont(row.font);
    reference.documentLayout()->setPaintDevice(row.device);
    reference.setPageSize(QSizeF(row.width, -1));
    reference.rootFrame()->setFrameFormat(row.root);
    QTextCursor cursor(&reference);
    const int columns = int(row.cells.size());
    QTextTable* empty = cursor.insertTable(1, columns, row.table);
    for (int column = 0; column < columns; ++column) {
        QTextTableCell cell = empty->cellAt(0, column);
        cell.setFormat(row.cells.at(column));
        QTextCursor inCell = cell.firstCursorPosition();
        inCell.setBlockFormat(row.blocks.at(column));
        inCell.setBlockCharFormat(row.chars.at(column));
    }
    QAbstractTextDocumentLayout* layout = reference.documentLayout();
    const double left = layout->frameBoundingRect(empty).left();
    lastPlaces.clear();
    for (int column = 0; column < columns; ++column) {
        const QRectF rect
            = layout->blockBoundingRect(empty->cellAt(0, column).firstCursorPosition().block());
        lastPlaces.append({ rect.left() - left, rect.width() });
    }
    lastRow = row;
    return lastPlaces;
}

QVariant PdfReportDocument::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource)
        return QString();
    const QString request = name.toString(QUrl::FullyEncoded);
    QByteArray data;
    if (NSURLWebViewProtocol::canInitWithRequest(request))
        data = NSURLWebViewProtocol::loadRequest(request);
    else if (name.scheme().isEmpty())
        data = bundledResource(name);
    if (type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(data);
    return imageOf(data);
}
