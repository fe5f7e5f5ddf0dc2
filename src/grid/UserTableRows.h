#pragma once

#include "model/Rows.h"

#include <QCache>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The rows of one user table as a grid reads them. Opening a table fetches its rows as
// faults, without their values; a row is read, decrypted when the table is protected,
// and decoded only when it is asked for (a cell being drawn), and only the last few
// decoded rows are kept. A decoded row's store object goes back to a fault (its text is
// not kept twice), so a table of any size costs its faults and about one screen of
// decoded rows. Main thread only, as the store is.
class UserTableRows {
public:
    UserTableRows();
    UserTableRows(QString userTemplateId, Rows::Columns columns, Rows::Password password);
    UserTableRows(const UserTableRows&) = delete;
    UserTableRows& operator=(const UserTableRows&) = delete;

    // Shows another table (or the same one with other columns or password).
    void setTable(QString userTemplateId, Rows::Columns columns, Rows::Password password);

    const QString& userTemplateId() const { return m_userTemplateId; }
    const Rows::Columns& columns() const { return m_columns; }
    const Rows::Password& password() const { return m_password; }

    // The table's rows in their stored order, as faults (row objects of a data
    // controller); forgets every decoded row.
    QVariantList fetch();
    // The row's values: decoded at the first ask, then kept while the row stays among the
    // recently asked ones. An empty dictionary for a row that does not decode.
    QVariantMap values(Rows* row);
    // Decodes without keeping the result (a search going through every row).
    QVariantMap decode(Rows* row) const;
    // A changed or deleted row is decoded afresh at its next ask.
    void invalidate(const Rows* row);
    void clear();
    // How many decoded rows are kept now.
    int cachedCount() const { return int(m_cache.count()); }

    // Decoded rows kept: about two screens of tiles.
    static constexpr int CacheSize = 128;

private:
    QString m_userTemplateId;
    Rows::Columns m_columns;
    Rows::Password m_password;
    QCache<const Rows*, QVariantMap> m_cache;
};
