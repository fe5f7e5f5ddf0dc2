#pragma once

#include <QByteArray>
#include <QList>

namespace platform::coredata {
class ManagedObject;
}

// Writes managed objects in the JSON record form straight from their values: the same
// text the indented QJsonDocument of their dictionaries gives (members in key order,
// four spaces per level), without building a dictionary, a JSON object and a document
// for every record first. A backup writes a hundred thousand rows through it.
class JSONRecordWriter {
public:
    JSONRecordWriter() = delete;

    // Pretty-printed UTF-8 JSON of the objects' records; a null QByteArray when a value
    // has no JSON form (a number that is not finite, or a kind JSON does not know).
    static QByteArray write(const QList<platform::coredata::ManagedObject*>& objects);
};
