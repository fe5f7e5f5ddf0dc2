#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class MatrixResponse;

// The CSV text a desktop-server reply is mailed as. The text is built off the main
// thread, so it reads a snapshot of plain values taken on the main thread, never the
// reply itself, which a new page may replace meanwhile.
class ServerTableCsv {
public:
    struct Table {
        QStringList headers; // of the visible columns, in order
        QList<bool> visible; // by column position
        // The cell values of every row, one after the other; row r's cells end at
        // rowEnds[r]. One list, so a large reply is copied in a few allocations.
        QVariantList cells;
        QList<qsizetype> rowEnds;
    };
    using Snapshot = QList<Table>;

    ServerTableCsv() = delete;

    // Main thread: the tables that have rows, with their headers and values.
    static Snapshot snapshot(const MatrixResponse& response);
    // Any thread: the text, "\r\n" line ends; empty when no table has rows. A table after
    // the first is preceded by a line of commas; fields are quoted, with every double
    // quote inside turned into an apostrophe; an empty value writes nothing.
    static QString text(const Snapshot& snapshot);
    // A cell value as text: a string as it is, a number as its decimal text.
    static QString valueText(const QVariant& value);
};
