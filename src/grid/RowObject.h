#pragma once

#include <QObject>
#include <QVariant>

#include <memory>

class ScreenData;

namespace platform::coredata {
class ManagedObject;
}

// A data controller's row is any object, carried in a QVariant: a store entity (a
// QObject owned by its context; rows hold it as QObject*), or a record held by
// std::shared_ptr of its own class (GridData, ResponseRow, FileInfo, Filter, Sort) or,
// for screen records, of ScreenData. An invalid QVariant is no row. Two rows are the
// same row when their QVariants compare equal: the same object, or the same record.
class RowObject {
public:
    RowObject() = delete;

    static QVariant fromObject(QObject* object);
    template<class T> static QVariant fromRecord(std::shared_ptr<T> record)
    {
        if (!record)
            return {};
        return QVariant::fromValue(std::move(record));
    }

    // The row's object when it is one (an entity); null otherwise.
    static QObject* object(const QVariant& row);
    static platform::coredata::ManagedObject* entity(const QVariant& row);
    // The row's record when it is held as std::shared_ptr<T>; null otherwise.
    template<class T> static std::shared_ptr<T> record(const QVariant& row)
    {
        if (row.metaType() != QMetaType::fromType<std::shared_ptr<T>>())
            return nullptr;
        return row.value<std::shared_ptr<T>>();
    }
    // A screen record carried by the row (held as ScreenData or a class derived from it).
    static std::shared_ptr<ScreenData> screenRecord(const QVariant& row);
};
