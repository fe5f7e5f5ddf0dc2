#pragma once

#include "model/RowValueCompare.h"
#include "model/Rows.h"
#include "platform/coredata/PersistentStoreCoordinator.h"

#include <QCache>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

class DetachedColumns;

// The rows of one user table as a grid reads them. Opening a table fetches its rows as
// faults, without their values; a row is read, decrypted when the table is protected,
// and decoded only when it is asked for (a cell being drawn), and only the last few
// decoded rows are kept. A decoded row's store object goes back to a fault (its text is
// not kept twice), so a table of any size costs its faults and about one screen of
// decoded rows. Main thread only, as the store is.
//
// Searching and sorting read every row. What they need of a row (its folded search text,
// a sort column's comparable value) is made once, on worker threads, and kept while the
// store holds what it was made from: a write this table did not report, another store,
// other columns or another password drop it all.
class UserTableRows {
public:
    UserTableRows();
    UserTableRows(QString userTemplateId, Rows::Columns columns, Rows::Password password);
    ~UserTableRows();
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
    // The same, but nullopt for a row that does not decode (encrypted under another
    // password, or no JSON object), which must never pass for an empty row.
    std::optional<QVariantMap> readValues(Rows* row);
    // Decodes without keeping the result.
    QVariantMap decode(Rows* row) const;
    // The rows (a grid's next screen) are decoded ahead of their first ask, on a pool
    // thread: their stored texts are read now, as the store is the main thread's, and
    // values() takes what is ready, decoding itself what no thread has begun. Each ask
    // drops what an earlier one made that is not asked for again; a row changed or
    // written since, or any write to the store, drops what was made for it. The rows kept
    // longest are let go of here, to FrameRoom below CacheSize.
    void prefetch(const QList<Rows*>& rows);
    // How many rows are decoded, or being decoded, ahead now.
    int prefetchedCount() const { return int(m_ahead.size()); }
    // A changed or deleted row is decoded afresh at its next ask.
    void invalidate(const Rows* row);
    void clear();
    // How many decoded rows are kept now.
    int cachedCount() const { return int(m_cache.count()); }

    // The columns a search may look at: every column but Protected ones, in order.
    const Rows::Columns& searchableColumns() const { return m_searchable; }
    // Begins making the search texts of the rows (row objects) not yet known in the
    // background: pool threads read the table's stored rows a range at a time and decode
    // them; the main thread takes in what is done between other events. A `held` making
    // waits for releaseSearchTexts() (a screen drawing its first rows before): a search
    // before then makes the texts itself.
    void startSearchTexts(const QVariantList& rows, bool held = false);
    void releaseSearchTexts();
    // Stops a background making under way, keeping what it has done: a pass over the whole
    // table (a filter, a sort) then has the pool and the store to itself.
    void stopSearchTexts();
    // Makes the search texts of the rows not yet known now, finishing a background
    // making under way.
    void prepareSearchTexts(const QVariantList& rows);
    // Whether a background making is under way.
    bool isMakingSearchTexts() const { return m_fill != nullptr; }
    // Whether the row's display text in one of the searchable columns at the positions
    // holds the folded text (ContainsPredicate's test, case and diacritics folded away).
    bool searchMatches(Rows* row, const QString& foldedText, const QList<int>& positions);
    // The rows (row objects) for which searchMatches holds, in their order: the kept
    // texts are looked at on pool threads, the other rows here.
    QVariantList matchingRows(
        const QVariantList& rows, const QString& foldedText, const QList<int>& positions);
    // The rows in the order Rows::applySort gives them.
    QList<Rows*> sorted(const QList<Rows*>& rows, const Rows::Sorts& sorts);

    // What the store had written when asked; handed back to wrote() after a write.
    using StoreChanges = std::optional<platform::coredata::PersistentStoreCoordinator::ChangeCount>;
    StoreChanges storeChanges() const;
    // The row was saved or deleted through this table: it is read afresh; what is kept of
    // the other rows stays when nothing else was written since `before`.
    void wrote(const Rows* row, const StoreChanges& before);
    // Forgets every decoded value and text kept (a table closed or locked).
    void forgetDecoded();
    // How many rows' search texts are kept now.
    qsizetype searchTextCount() const { return m_searchTexts.size(); }

    // Decoded rows kept: about three screens of tiles (one shown, one and a half ahead).
    static constexpr int CacheSize = 128;
    // Room made among the kept rows when the rows ahead are asked for (between two frames):
    // the next screen's rows then go in without letting others go while it is drawn.
    static constexpr int FrameRoom = 48;
    // Rows decoded ahead at most.
    static constexpr int PrefetchLimit = 96;

    // Rows one pool thread reads and decodes at a time while search texts are made in the
    // background; how often the main thread takes in what is done.
    static constexpr qsizetype FillReadRange = 2048;
    static constexpr int FillPollMs = 2;

private:
    struct SearchFill;
    struct AheadRow;

    // The row's values made ahead (nullopt inside for a row that does not decode), when
    // they are still what the store holds.
    std::optional<std::optional<QVariantMap>> takeAhead(Rows* row);
    void dropAhead();
    void dropAhead(const Rows* row);

    // A stored row's place in the kept texts; none for a row whose stored text may not be
    // what it holds (new, changed and not saved, of another store).
    std::optional<qint64> keyOf(const Rows* row) const;
    static const platform::coredata::PersistentStoreCoordinator* currentCoordinator();
    bool keptIsCurrent() const;
    void dropKeptWhenStale();
    void noteStore(const QVariantList& rows);
    void scheduleFillStep(int delayMs = 0);
    void fillStep();
    // Takes in the ranges done; whether the making is over.
    bool collectFill(SearchFill& fill);
    void finishSearchFill();
    void cancelSearchFill();
    void notePrepared(const QVariantList& rows, quint64 generation);
    bool isPrepared(const QVariantList& rows) const;
    void forgetRow(const Rows* row);
    RowValueCompare::Key sortKeyOf(Rows* row, TemplateColumn* column) const;
    // The keys of the stored rows not yet known.
    template<class Known> QList<qint64> unknownKeys(const QList<Rows*>& rows, Known known) const;

    QString m_userTemplateId;
    Rows::Columns m_columns;
    Rows::Columns m_searchable;
    Rows::Password m_password;
    QCache<const Rows*, std::optional<QVariantMap>> m_cache;
    // Rows being decoded ahead, made while the store's changes stood at m_aheadChanges.
    QHash<const Rows*, std::shared_ptr<AheadRow>> m_ahead;
    StoreChanges m_aheadChanges;
    const platform::coredata::PersistentStoreCoordinator* m_aheadCoordinator = nullptr;
    // The columns for the pool's decoding, made at the first prefetch.
    std::shared_ptr<const DetachedColumns> m_aheadColumns;

    const platform::coredata::PersistentStoreCoordinator* m_keptCoordinator = nullptr;
    StoreChanges m_keptChanges;
    QString m_keptStore;
    // Search text by row key: the searchable columns' folded texts joined by U+0000. Rows
    // whose texts hold U+0000 themselves are looked at afresh at every search.
    QHash<qint64, QString> m_searchTexts;
    QSet<qint64> m_unsplittable;
    // Comparable values by sort column id, then row key.
    QHash<QString, QHash<qint64, RowValueCompare::Key>> m_sortKeys;
    std::shared_ptr<SearchFill> m_fill;
    bool m_fillHeld = false;
    // Counts what was forgotten: the rows last made ready are ready while it stands.
    quint64 m_generation = 0;
    QVariantList m_preparedRows;
    // The rows fetch() gave last, all of the table in key order, until a making of their
    // search texts begins: the keys of the first and the last then bound the stored rows.
    QVariantList m_fetched;
    quint64 m_preparedGeneration = 0;
    // Lets a step posted for later tell whether this object still exists.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
