#pragma once

#include "common/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace pdftest {

// A PDF written to the test's home, for poppler's tools.
inline QString writePdf(const QByteArray& data, const QString& name = QStringLiteral("report.pdf"))
{
    const QString path = QDir(testsupport::homePath()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

struct Info {
    int pages = 0;
    QString pageSize; // "1000 x 800 pts"
};

// What pdfinfo says; zero pages when it cannot read the file.
inline Info pdfInfo(const QString& path)
{
    int exitCode = -1;
    const QString text
        = QString::fromUtf8(testsupport::runTool("pdfinfo", { path }, {}, &exitCode));
    Info info;
    if (exitCode != 0)
        return info;
    static const QRegularExpression pages(
        QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    static const QRegularExpression size(
        QStringLiteral("^Page size:\\s+(.*pts)"), QRegularExpression::MultilineOption);
    info.pages = pages.match(text).captured(1).toInt();
    info.pageSize = size.match(text).captured(1);
    return info;
}

struct Word {
    int page = 0;
    double left = 0;
    double top = 0;
    double width = 0;
    QString text;
};

inline QList<Word> pdfWords(const QString& path)
{
    const QString tsv = QString::fromUtf8(testsupport::runTool("pdftotext", { "-tsv", path, "-" }));
    QList<Word> words;
    for (const QString& line : tsv.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 12 || fields.at(0) != QLatin1String("5"))
            continue;
        words.append({ fields.at(1).toInt(), fields.at(6).toDouble(), fields.at(7).toDouble(),
            fields.at(8).toDouble(), fields.mid(11).join(QLatin1Char('\t')) });
    }
    return words;
}

// The lines of text of each page (from 1), rebuilt from the words' positions: words whose
// tops lie within two points make one line, read left to right, joined by spaces.
inline QMap<int, QStringList> pdfLines(const QList<Word>& words)
{
    QMap<int, QList<Word>> byPage;
    for (const Word& word : words)
        byPage[word.page].append(word);
    QMap<int, QStringList> lines;
    for (auto it = byPage.begin(); it != byPage.end(); ++it) {
        QList<Word> page = it.value();
        std::stable_sort(
            page.begin(), page.end(), [](const Word& a, const Word& b) { return a.top < b.top; });
        QList<QList<Word>> rows;
        for (const Word& word : page) {
            if (rows.isEmpty() || word.top - rows.last().first().top > 2)
                rows.append(QList<Word>());
            rows.last().append(word);
        }
        for (QList<Word>& row : rows) {
            std::stable_sort(row.begin(), row.end(),
                [](const Word& a, const Word& b) { return a.left < b.left; });
            QStringList texts;
            for (const Word& word : row)
                texts << word.text;
            lines[it.key()] << texts.join(QLatin1Char(' '));
        }
    }
    return lines;
}

inline QMap<int, QStringList> pdfLines(const QString& path)
{
    return pdfLines(pdfWords(path));
}

} // namespace pdftest
