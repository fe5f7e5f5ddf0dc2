#pragma once

#include <QObject>
#include <QVariant>

#include <memory>

class ScreenData;

namespace platform::coredata {
class ManagedObject;
}

// A data controller's row is any object, carried in a QVariant: a store entity (a
// QObject owned by its context), or a record held by std::shared_ptr of its own class
// (GridData, ResponseRow, FileInfo, Filter, Sort) or, for screen records, of ScreenData.
// An invalid QVariant is no row. Two rows are the same row when their QVariants compare
// equal: the same object, or the same record.
//
// An entity is held through a guarded pointer: its context deletes it when the store it
// came from goes (a switch to or from the cloud, a folder gone), and every holder of the
// row (a screen's rows, its selection, a parent link, a form) then finds no object in it.
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

    // The row's object when it is one (an entity) and still there; null otherwise.
    static QObject* object(const QVariant& row);
    static platform::coredata::ManagedObject* entity(const QVariant& row);
    // A row that held an object which is gone with its store.
    static bool isGone(const QVariant& row);
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
