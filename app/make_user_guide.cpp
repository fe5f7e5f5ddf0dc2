// Makes the bundled user guide PDF from the help pages: the contents page, then each page
// it lists, in its order, each from a new sheet, numbered at the foot. The links between the
// help pages become links to the sheet where each starts. Run by the build:
//     make_user_guide <help pages folder> <PDF to write>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("Kivotab User Guide");
// The text's margin within the page's, 2 cm, in the layout's units (1/96 inch, scaled to
// the writer's resolution when laid out).
constexpr double kLayoutDpi = 96;
constexpr double kInnerMargin = 2 / 2.54 * kLayoutDpi;

QString readPage(const QDir& folder, const QString& name)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString html = QString::fromUtf8(file.readAll());
    // The lines that move between pages mean nothing on paper.
    static const QRegularExpression navigation(
        QStringLiteral("<p class=\"nav\">.*?</p>"), QRegularExpression::DotMatchesEverythingOption);
    return html.remove(navigation);
}

// Lays the document out on the writer's sheets and draws them, each numbered at its foot.
// Answers the sheet (from 0) each of the positions lies on.
QList<int> printNumbered(QTextDocument& document, QPdfWriter& writer, const QList<int>& positions)
{
    QPainter painter(&writer);
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    layout->setPaintDevice(&writer);
    // Sheets of the writer's page, 2 cm within its margins, numbered in the bottom one.
    const QSizeF sheet(writer.width(), writer.height());
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(kInnerMargin);
    document.rootFrame()->setFrameFormat(frame);
    const double margin = kInnerMargin * writer.logicalDpiY() / kLayoutDpi;
    document.setPageSize(sheet);
    const int count = document.pageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, page * sheet.height()), sheet);
        painter.setClipRect(QRectF(QPointF(0, 0), sheet));
        painter.translate(0, -page * sheet.height());
        layout->draw(&painter, context);
        painter.restore();
        painter.setFont(document.defaultFont());
        painter.drawText(QRectF(0, sheet.height() - margin, sheet.width() - margin, margin / 2),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(page + 1));
    }
    QList<int> pages;
    for (int position : positions) {
        const QRectF block = layout->blockBoundingRect(document.findBlock(position));
        pages.append(int(block.top() / sheet.height()));
    }
    return pages;
}

// The PDF writer makes every link a web address, the help pages' names ("rows.html")
// included. Those become jumps to the sheet where the named page starts, written as an
// update appended to the file, the way PDF files are amended: the writer's own objects
// stay as they are and readers take the newer ones. False when the file is not as the
// writer makes it.
bool linkToSheets(QByteArray& pdf, const QHash<QString, int>& sheetOf)
{
    const QString text = QString::fromLatin1(pdf);
    static const QRegularExpression kids(QStringLiteral(R"(/Type /Pages\s*/Kids\s*\[([^\]]*)\])"));
    static const QRegularExpression reference(QStringLiteral(R"((\d+) 0 R)"));
    static const QRegularExpression link(QStringLiteral(
        R"((\d+) 0 obj\s*<<\s*/Type /Annot\s*/Subtype /Link\s*/Rect \[([^\]]*)\]\s*)"
        R"(/Border \[0 0 0\]\s*/A <<\s*/Type /Action\s*/S /URI\s*/URI \(([^)]*)\)\s*>>\s*>>\s*endobj)"));
    static const QRegularExpression trailer(QStringLiteral(
        R"(trailer\s*<<\s*/Size (\d+)\s*/Info (\d+) 0 R\s*/Root (\d+) 0 R\s*>>\s*startxref\s*(\d+)\s*%%EOF\s*$)"));
    const QRegularExpressionMatch tree = kids.match(text);
    const QRegularExpressionMatch end = trailer.match(text);
    if (!tree.hasMatch() || !end.hasMatch())
        return false;
    QList<QString> sheets;
    for (auto it = reference.globalMatch(tree.captured(1)); it.hasNext();)
        sheets.append(it.next().captured(1));

    QList<std::pair<int, qsizetype>> written;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch found = it.next();
        const int sheet = sheetOf.value(found.captured(3), -1);
        if (sheet < 0 || sheet >= sheets.size())
            continue;
        if (!pdf.endsWith('\n'))
            pdf.append('\n');
        written.append({ found.captured(1).toInt(), pdf.size() });
        pdf.append(QStringLiteral("%1 0 obj\n<<\n/Type /Annot\n/Subtype /Link\n/Rect [%2]\n"
                                  "/Border [0 0 0]\n/Dest [%3 0 R /Fit]\n>>\nendobj\n")
                       .arg(found.captured(1), found.captured(2), sheets[sheet])
                       .toLatin1());
    }
    if (written.isEmpty())
        return true;
    const qsizetype xref = pdf.size();
    pdf.append("xref\n");
    for (const auto& [object, offset] : written)
        pdf.append(QStringLiteral("%1 1\n%2 00000 n \n")
                       .arg(object)
                       .arg(offset, 10, 10, QLatin1Char('0'))
                       .toLatin1());
    pdf.append(QStringLiteral("trailer\n<<\n/Size %1\n/Info %2 0 R\n/Root %3 0 R\n/Prev %4\n>>\n"
                              "startxref\n%5\n%%EOF\n")
                   .arg(end.captured(1), end.captured(2), end.captured(3), end.captured(4))
                   .arg(xref)
                   .toLatin1());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_user_guide <help pages folder> <PDF to write>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString index = readPage(folder, QStringLiteral("index.html"));
    if (index.isEmpty()) {
        std::fprintf(stderr, "make_user_guide: no index.html in %s\n", argv[1]);
        return 1;
    }
    QStringList pages;
    static const QRegularExpression link(QStringLiteral("href=\"([^\":#/]+\\.html)\""));
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QString page = it.next().captured(1);
        if (!pages.contains(page))
            pages.append(page);
    }

    QTextDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(folder.absolutePath() + '/'));
    document.setMetaInformation(QTextDocument::DocumentTitle, kTitle);
    QTextCursor cursor(&document);
    cursor.insertFragment(QTextDocumentFragment::fromHtml(index, &document));
    QList<int> starts { 0 };
    for (const QString& page : std::as_const(pages)) {
        const QString html = readPage(folder, page);
        if (html.isEmpty()) {
            std::fprintf(stderr, "make_user_guide: %s is missing or empty\n", qPrintable(page));
            return 1;
        }
        QTextBlockFormat sheet;
        sheet.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.insertBlock(sheet);
        starts.append(cursor.position());
        cursor.insertFragment(QTextDocumentFragment::fromHtml(html, &document));
    }

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QList<int> sheets;
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(kTitle);
        writer.setCreator(QStringLiteral("Kivotab"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        sheets = printNumbered(document, writer, starts);
    }
    QHash<QString, int> sheetOf { { QStringLiteral("index.html"), sheets.value(0) } };
    for (qsizetype i = 0; i < pages.size(); ++i)
        sheetOf.insert(pages[i], sheets.value(i + 1));
    QByteArray bytes = pdf.data();
    if (!linkToSheets(bytes, sheetOf)) {
        std::fprintf(stderr, "make_user_guide: the PDF writer's links were not found\n");
        return 1;
    }

    QDir().mkpath(QFileInfo(output).absolutePath());
    // Written beside its place and renamed into it: a failed run leaves no half guide.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_user_guide: cannot write %s\n", argv[2]);
        return 1;
    }
    return file.commit() ? 0 : 1;
}
