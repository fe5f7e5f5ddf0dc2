// The report template as the PDF export fills it for 10 columns, compiled once and rendered
// over 1,000 rows, beside two references built in the same run from the same rows: a
// Python 3 script (str.replace escaping, "".join, timed inside Python) and a hand-written
// C++ QString builder. The three outputs must be equal.
#include "reports/mustache/MustacheTemplate.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int Columns = 10;
constexpr int Rows = 1000;
constexpr int Runs = 50;

QString reportTemplatePath()
{
    return QStringLiteral(KIVOTAB_RESOURCES "/report.mustache");
}

QString columnKey(int column)
{
    return QStringLiteral("column%1").arg(column);
}

// Header and content cells as the PDF export writes them into the template.
QString filledTemplate(const QString& text)
{
    QString header;
    QString content;
    for (int column = 0; column < Columns; ++column) {
        const QString width = QString::asprintf("%f", 80.0 + column);
        header += QStringLiteral("<th style=\"width:%1px;\">\r\nHeader %2 \r\n</th>\r\n")
                      .arg(width)
                      .arg(column);
        content += QStringLiteral("<td style=\"width:%1px;\">\r\n{{%2}}\r\n</td>\r\n")
                       .arg(width, columnKey(column));
    }
    return QString(text).replace("{{{Header}}}", header).replace("{{{Content}}}", content);
}

// A third of the values need escaping; the others hold accents, CJK and plain numbers.
QString cellValue(int row, int column)
{
    switch ((row * Columns + column) % 6) {
    case 0:
        return QStringLiteral("Fish & Chips <%1>").arg(row);
    case 1:
        return QStringLiteral("Crème brûlée n°%1").arg(column);
    case 2:
        return QStringLiteral("\"Quoted\" 'name' %1").arg(row);
    case 3:
        return QStringLiteral("東京都 %1").arg(row * column);
    case 4:
        return QString::number(row * 12.5 + column, 'f', 2);
    default:
        return QStringLiteral("Ordinary text %1").arg(row);
    }
}

// CPU time of the calling thread: on a machine shared with other builds, wall time would
// mostly measure how long the run waited for a core.
double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeRuns(const std::function<void()>& run)
{
    std::vector<double> seconds;
    for (int i = 0; i < Runs; ++i) {
        const double start = threadSeconds();
        run();
        seconds.push_back(threadSeconds() - start);
    }
    return median(seconds);
}

// Appends the text with its five special characters as entities, copying runs in one piece.
void appendEscaped(QString& html, const QString& text)
{
    const QChar* data = text.constData();
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (data[i].unicode()) {
        case u'&':
            entity = "&amp;";
            break;
        case u'"':
            entity = "&quot;";
            break;
        case u'\'':
            entity = "&apos;";
            break;
        case u'<':
            entity = "&lt;";
            break;
        case u'>':
            entity = "&gt;";
            break;
        default:
            continue;
        }
        html.append(QStringView(data + run, i - run)).append(QLatin1String(entity));
        run = i + 1;
    }
    html.append(QStringView(data + run, text.size() - run));
}

QString escaped(const QString& text)
{
    QString result;
    appendEscaped(result, text);
    return result;
}

// The hand-written reference: the same text pieces, the values appended between them.
struct Builder {
    QString head;
    QString tail;
    QStringList rowPieces; // literal, key, literal, key, ..., literal
    QList<int> columns; // the column of each key

    Builder(const QString& filled, const QVariantMap& values, const QStringList& sections)
    {
        const qsizetype open = filled.indexOf("{{#items}}");
        const qsizetype close = filled.indexOf("{{/items}}");
        head = fill(filled.left(open), values, sections);
        tail = fill(filled.mid(close + 10), values, sections);
        const QString row = filled.mid(open + 10, close - open - 10);
        const QRegularExpression tag(QStringLiteral("\\{\\{(\\w+)\\}\\}"));
        qsizetype at = 0;
        for (auto it = tag.globalMatch(row); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            rowPieces << row.mid(at, match.capturedStart() - at) << match.captured(1);
            at = match.capturedEnd();
        }
        rowPieces << row.mid(at);
        for (qsizetype i = 1; i < rowPieces.size(); i += 2)
            columns << rowPieces[i].mid(6).toInt();
    }

    static QString fill(QString text, const QVariantMap& values, const QStringList& sections)
    {
        for (const QString& section : sections)
            text.replace("{{#" + section + "}}", "").replace("{{/" + section + "}}", "");
        for (auto it = values.begin(); it != values.end(); ++it)
            text.replace("{{" + it.key() + "}}", escaped(it.value().toString()));
        return text;
    }

    QString build(const std::vector<QStringList>& rows) const
    {
        QString html;
        html.reserve(head.size() + tail.size() + qsizetype(rows.size()) * 1200);
        html += head;
        for (const QStringList& row : rows) {
            for (qsizetype i = 0; i < rowPieces.size(); ++i) {
                if (i % 2 == 0)
                    html += rowPieces[i];
                else
                    appendEscaped(html, row[columns[i / 2]]);
            }
        }
        html += tail;
        return html;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QFile file(reportTemplatePath());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
        return 1;
    }
    const QString filled = filledTemplate(QString::fromUtf8(file.readAll()));

    const QVariantMap values { { "title", "Sales & <Costs> of 'Q3'" },
        { "currentDate", "2026-12-08 04:30" }, { "htmlColorHex", "#1F4E79" },
        { "headerColorHex", "#FFFFFF" }, { "rowalternateColorHex", "#EAF1FB" },
        { "tableWidth", QString::asprintf("%f", 845.0) }, { "pageNumber", "1" } };
    const QStringList sections { "documentHeader", "pageHeader", "pageContent", "pageFooter" };
    // Rows keyed by the table's column keys, shared by every row as the export's rows are.
    QStringList keys;
    for (int column = 0; column < Columns; ++column)
        keys << columnKey(column);
    std::vector<QStringList> rowTexts;
    QVariantList items;
    QJsonArray jsonRows;
    for (int row = 0; row < Rows; ++row) {
        QStringList texts;
        QVariantMap item;
        QJsonObject json;
        for (int column = 0; column < Columns; ++column) {
            texts << cellValue(row, column);
            item.insert(keys[column], texts.last());
            json.insert(keys[column], texts.last());
        }
        rowTexts.push_back(texts);
        items << item;
        jsonRows << json;
    }
    QVariantMap data = values;
    for (const QString& section : sections)
        data.insert(section, true);
    data.insert("items", items);

    // Ours: compiled once, then rendered.
    platform::Error error;
    MustacheTemplatePtr compiled;
    const double compileSeconds
        = timeRuns([&] { compiled = MustacheTemplate::templateFromString(filled, &error); });
    if (!compiled) {
        std::fprintf(stderr, "%s\n", qPrintable(error.localizedDescription()));
        return 1;
    }
    QString ours;
    const double oursSeconds
        = timeRuns([&] { ours = compiled->renderObject(data, &error).value_or(QString()); });

    const Builder builder(filled, values, sections);
    QString handWritten;
    const double builderSeconds = timeRuns([&] { handWritten = builder.build(rowTexts); });

    // Python, timed inside the script.
    QTemporaryDir dir;
    QJsonObject input { { "template", filled }, { "values", QJsonObject::fromVariantMap(values) },
        { "sections", QJsonArray::fromStringList(sections) }, { "rows", jsonRows } };
    QFile json(dir.filePath("input.json"));
    if (!json.open(QIODevice::WriteOnly))
        return 1;
    json.write(QJsonDocument(input).toJson(QJsonDocument::Compact));
    json.close();
    QProcess python;
    python.start("python3",
        { QStringLiteral(KIVOTAB_BENCH_DIR "/bench_mustache.py"), json.fileName(),
            dir.filePath("python.html") });
    if (!python.waitForFinished(300000) || python.exitCode() != 0) {
        std::fprintf(stderr, "python3 failed: %s\n", python.readAllStandardError().constData());
        return 1;
    }
    const double pythonSeconds = python.readAllStandardOutput().trimmed().toDouble();
    QFile pythonOutput(dir.filePath("python.html"));
    if (!pythonOutput.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray pythonHtml = pythonOutput.readAll();

    const QByteArray oursUtf8 = ours.toUtf8();
    const bool equal = oursUtf8 == handWritten.toUtf8() && oursUtf8 == pythonHtml;
    std::printf(
        "template %s, %d rows x %d columns, %d KB of HTML, thread CPU time, median of %d runs\n",
        qPrintable(file.fileName()), Rows, Columns, int(oursUtf8.size() / 1024), Runs);
    std::printf("compile once        %8.3f ms\n", compileSeconds * 1e3);
    std::printf("render (ours)       %8.3f ms\n", oursSeconds * 1e3);
    std::printf("Python 3 reference  %8.3f ms   ours/Python  %.2fx (target <= 0.5x)\n",
        pythonSeconds * 1e3, oursSeconds / pythonSeconds);
    std::printf("C++ QString builder %8.3f ms   ours/builder %.2fx (target <= 3x)\n",
        builderSeconds * 1e3, oursSeconds / builderSeconds);
    std::printf("outputs equal: %s\n", equal ? "yes" : "NO");
    if (!equal) {
        QFile(dir.filePath("ours.html")).open(QIODevice::WriteOnly);
        std::fprintf(stderr, "ours %lld bytes, builder %lld, python %lld\n",
            qlonglong(oursUtf8.size()), qlonglong(handWritten.toUtf8().size()),
            qlonglong(pythonHtml.size()));
        const qsizetype n = std::min(oursUtf8.size(), pythonHtml.size());
        for (qsizetype i = 0; i < n; ++i)
            if (oursUtf8[i] != pythonHtml[i]) {
                std::fprintf(stderr, "first difference at %lld:\nours   %s\npython %s\n",
                    qlonglong(i), oursUtf8.mid(std::max<qsizetype>(0, i - 60), 120).constData(),
                    pythonHtml.mid(std::max<qsizetype>(0, i - 60), 120).constData());
                break;
            }
    }
    return equal ? 0 : 1;
}
