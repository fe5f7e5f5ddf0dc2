#pragma once

#include "model/ModelRegistry.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class FilterExtended;
class RowDecoder;
class Sort;
class TemplateColumn;

// One row of a user table. Its values live together in `json`: a pretty-printed JSON
// object keyed by column id, dates as Unix seconds, AES-256 encrypted (Base64) as a whole
// when the table is protected. Nothing in the text says whether it is encrypted: the
// caller passes the table's password, or nullopt for a table without one.
class Rows : public platform::coredata::ManagedObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "ctimestamp,mtimestamp,order")
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant json READ json WRITE setJson)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant order READ order WRITE setOrder)
    Q_PROPERTY(QVariant usertemplate_id READ usertemplate_id WRITE setUsertemplate_id)

public:
    using ManagedObject::ManagedObject;
    using Columns = QList<TemplateColumn*>;
    using Filters = QList<std::shared_ptr<FilterExtended>>;
    using Sorts = QList<std::shared_ptr<Sort>>;
    using Password = std::optional<QString>;

    KIVO_ATTRIBUTE(ctimestamp, setCtimestamp)
    KIVO_ATTRIBUTE(id, setId)
    KIVO_ATTRIBUTE(json, setJson)
    KIVO_ATTRIBUTE(mtimestamp, setMtimestamp)
    KIVO_ATTRIBUTE(order, setOrder)
    KIVO_ATTRIBUTE(usertemplate_id, setUsertemplate_id)

    // `json` as the store holds it: a long text as its UTF-8 bytes (a QByteArray), which
    // the decoders read without making a UTF-16 copy of the row. What they all accept.
    QVariant storedJson() const;

    static QList<Rows*> getRowsAll();
    // The table's rows, filtered, then sorted; without filters and sorts in fetch order.
    static QList<Rows*> getRows(const QString& userTemplateId, const Columns& columns,
        const Filters& filters, const Sorts& sorts, const Password& password);
    static bool doesRowExists(const QString& userTemplateId);
    // The table's rows in fetch order as faults: no row's values are read until one of
    // them is used, so a large table opens without decoding it.
    static QList<Rows*> getRowFaults(const QString& userTemplateId);
    // The rows whose values satisfy the filters, in their given order. Filters join
    // left to right by their own joiner (the first one's is not used), AND binding
    // tighter than OR. A filter without a condition ("None") or whose column is not
    // among the columns is left out.
    static QList<Rows*> applyFilter(const QList<Rows*>& rows, const Columns& columns,
        const Filters& filters, const Password& password);
    // The rows sorted by the sort keys, stably (equal rows keep their order). Each row
    // is decoded once.
    static QList<Rows*> applySort(const QList<Rows*>& rows, const Columns& columns,
        const Sorts& sorts, const Password& password);
    // Decodes every row with the decoder, range by range on the pool's threads as well as
    // this one (as filters and sorts do): `work` gets each row's place in `rows`, its values
    // (one per key of the decoder; every one invalid for a row that does not decode) and
    // whether it decoded, on whichever thread decoded it, so it must allow calls from
    // several threads at once. Returns once every row is done; the values given to `work`
    // live only for its call.
    static void decodeEach(const QList<Rows*>& rows, const RowDecoder& decoder,
        const std::function<void(qsizetype row, const QVariant* values, bool decoded)>& work);
    // -1, 0 or 1: the two rows compared from the sort key at `position` on. A key whose
    // column is not among the columns makes the rows equal and ends the comparison.
    static int sortFunction(Rows* a, Rows* b, const Sorts& sorts, unsigned position,
        const Columns& columns, const Password& password);

    // A new row of the table, not yet in the store, numbered after the table's last row.
    [[nodiscard]] static Rows* add(const QString& userTemplateId);

    // Sets `json` from the values (not saved) and raises the columns' longest display
    // length. Raises platform::Exception named RowDataException, leaving the row and the
    // columns as they were, when the values cannot be written (a value with no JSON form)
    // or encrypted (a password longer than 32 UTF-8 bytes): nothing is ever stored in
    // the clear for a protected table.
    void updateData(const QVariantMap& values, const Columns& columns, const Password& password);
    // The row's values: every column's default for a row never given values; an empty
    // dictionary when the text does not decrypt or parse. Dates come back as
    // platform::Date, holding the stored Unix seconds exactly (QVariant::toDateTime gives
    // them to the millisecond); a date column without a stored value stays absent.
    QVariantMap getData(const Columns& columns, const Password& password) const;
    // The same, but nullopt when the stored text does not decrypt with the password or
    // is not a JSON object; for callers that must not mistake a wrong password for an
    // empty row.
    [[nodiscard]] std::optional<QVariantMap> decodeData(
        const Columns& columns, const Password& password) const;
    // The same for a row's stored text taken earlier (json()): a worker thread decodes a
    // copy without touching the row, with columns that belong to no context. With
    // `onlyColumns`, only the columns' values are read (what a sort or filter needs).
    [[nodiscard]] static std::optional<QVariantMap> decodeStoredData(const QVariant& json,
        const Columns& columns, const Password& password, bool onlyColumns = false);
    // What decoding reads of the columns, read once for decoding many rows with them:
    // their ids and which hold dates. The columns must outlive it.
    struct StoredLayout {
        Columns columns;
        QStringList keys;
        QList<bool> isDate; // by key
    };
    static StoredLayout storedLayout(const Columns& columns);
    [[nodiscard]] static std::optional<QVariantMap> decodeStoredData(const QVariant& json,
        const StoredLayout& layout, const Password& password, bool onlyColumns = false);
    // The stored text for the values; nullopt, with the reason, when there is none.
    [[nodiscard]] static std::optional<QString> encodeData(const QVariantMap& values,
        const Columns& columns, const Password& password, QString* reason = nullptr);

    // False, saving nothing, when synchronisation changed or deleted the row.
    [[nodiscard]] bool saveRows();
    [[nodiscard]] static bool deleteRows(Rows* row);

    static QByteArray toJSON();
    static QString entityName();

    // The key of a date column's reminder repeat in the values ("%@_Reminder").
    static QString reminderKey(const QString& columnId);

    static const QString RowDataException; // "RowDataException"
    static const QString RowEncryptionFailed; // message texts (looked up for translation)
    static const QString RowDecryptionFailed;
    static const QString RowNotJSON;
};
