#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace platform::coredata {
class EntityDescription;
}

// Reads an entity file in the JSON record form straight into attribute values: a JSON
// array of objects, each naming the entity in "ManageObjectName", with one member per
// attribute. Any JSON whitespace and member order is accepted; members that are no
// attributes are ignored; a missing or null member leaves the attribute unset.
//
// It checks as it goes, and refuses the whole file at the first fault: text that is not
// JSON, a top level that is no array, an element that is no object or names another
// entity, or a value of a kind the attribute cannot hold. A restore reads a hundred
// thousand rows through it without building a JSON document first.
class JSONRecordReader {
public:
    JSONRecordReader() = delete;

    struct Failure {
        // Syntax: the text is not JSON. Records: JSON, but not records of the entity.
        enum class Kind { Syntax, Records };
        Kind kind;
        QString detail; // "unterminated string at byte 12", "record 3 is no Rows", ...
    };

    // How a text value of a text attribute comes: always as a QString, or as its UTF-8
    // bytes (a QByteArray, valid UTF-8) that the store writes as they are. A text holding a
    // lone surrogate, which no UTF-8 holds, comes as a QString either way.
    enum class Texts { Strings, AsBytes };

    // One list of values per record, in the entity's attribute order, each already of
    // its attribute's type (or null); the failure instead when the file is refused. Big
    // files are read in parts on several threads.
    static std::optional<std::vector<QList<QVariant>>> read(const QByteArray& data,
        const platform::coredata::EntityDescription& entity, Failure* failure = nullptr);

    // Reads a big file in parts, each on a thread of its own from when its bytes are in
    // place: a file can be read while it is still being unpacked into its buffer. One
    // thread fills the buffer and tells written() and end(); another may take the
    // records, part by part in the file's order, with next() while it fills.
    class InParts {
    public:
        // For a file of `size` bytes at `data`, filled from its start; at most about
        // `parts` parts. The buffer must stay where it is until this is destroyed.
        InParts(const char* data, qsizetype size,
            const platform::coredata::EntityDescription& entity, int parts,
            Texts texts = Texts::Strings);
        // Waits for the parts under way.
        ~InParts();
        InParts(const InParts&) = delete;
        InParts& operator=(const InParts&) = delete;

        const char* data() const { return m_data; }
        qsizetype size() const { return m_size; }
        // The first `written` bytes are in place.
        void written(qsizetype written);
        // Every byte is in place when `complete`; otherwise the buffer was not filled, no
        // more parts are read, and this waits for those under way: the buffer may go then.
        void end(bool complete);
        enum class Next {
            Records, // the next part's records
            End, // every record was given
            Refused, // the next part was refused: readRest() tells the rest
            Unfilled, // end(false) came before the next part was read
        };
        // Waits until the next part is read, or the end.
        Next next(std::vector<QList<QVariant>>& records);
        // The bytes whose records next() gave.
        qsizetype given() const;
        // After next() answered Refused, once every byte is in place: the records from
        // the refused part's start to the file's end, read on the calling thread; nullopt,
        // and why, when they are not records.
        std::optional<std::vector<QList<QVariant>>> readRest(Failure* failure = nullptr);
        // Once every byte is in place: the records as read() gives them, or nullopt when
        // a part was refused.
        std::optional<std::vector<QList<QVariant>>> finish();

    private:
        struct Part;
        void start(const char* from, const char* until, bool last);
        const char* m_data;
        qsizetype m_size;
        const platform::coredata::EntityDescription& m_entity;
        Texts m_texts;
        qsizetype m_partSize;
        std::vector<std::unique_ptr<Part>> m_parts;
        // Guards the part list, each part's end and the fields below.
        struct Sync;
        std::unique_ptr<Sync> m_sync;
        bool m_ended = false;
        bool m_complete = false;
        size_t m_taken = 0;
    };
};
