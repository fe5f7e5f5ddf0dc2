// Makes the bundled user guide PDF from the help pages: the contents page, then each page
// it lists, in its order, each from a new sheet. Run by the build:
//     make_user_guide <help pages folder> <PDF to write>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("Kivotab User Guide");

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
    for (const QString& page : std::as_const(pages)) {
        const QString html = readPage(folder, page);
        if (html.isEmpty()) {
            std::fprintf(stderr, "make_user_guide: %s is missing or empty\n", qPrintable(page));
            return 1;
        }
        QTextBlockFormat sheet;
        sheet.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.insertBlock(sheet);
        cursor.insertFragment(QTextDocumentFragment::fromHtml(html, &document));
    }

    QDir().mkpath(QFileInfo(output).absolutePath());
    // Written beside its place and renamed into it: a failed run leaves no half guide.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_user_guide: cannot write %s\n", argv[2]);
        return 1;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(kTitle);
        writer.setCreator(QStringLiteral("Kivotab"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
        document.print(&writer);
    }
    return file.commit() ? 0 : 1;
}
