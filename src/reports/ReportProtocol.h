#pragma once

#include "utilities/data/OrderedDictionary.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>

class ReportRows;

// Where an export reads its table: the title, one width per column, the columns (key to
// header text, in column order) and each row's raw values and display texts keyed by the
// column keys. A row may lack a key (no value). Every method has an empty answer for a
// source that has nothing to say; the export menus ask all of them. Main thread.
class ReportProtocol {
public:
    virtual ~ReportProtocol();

    virtual QString reportTitle();
    // Points, one per key of reportColumns, in the same order.
    virtual QList<double> reportColumnWidths();
    virtual OrderedDictionary reportColumns();
    virtual quint64 reportRowsCount();
    virtual QVariantMap reportRow(quint64 index);
    virtual QVariantMap reportRowFormatted(quint64 index);
    // Whether a PDF report of the source may be made now; the menu makes none otherwise.
    virtual bool reportAllowsPDF();

    // The rows as they are now, for a worker thread to read while the screen goes on
    // changing. The default copies every row's two dictionaries at once; a source over
    // many rows keeps only what it needs to read them later.
    virtual std::shared_ptr<const ReportRows> reportRowsSnapshot();
};
