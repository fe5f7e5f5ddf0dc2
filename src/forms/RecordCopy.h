#pragma once

#include <QObject>

#include <memory>

// A detached copy of a record a form edits, so that what is typed reaches the record
// only once its data controller has accepted it.
namespace RecordCopy {

// Every writable property the class and its ancestors declare (QObject's own aside),
// from one record into another of the same class.
void copyProperties(const QObject& from, QObject& to);

template<class T> std::shared_ptr<T> copy(const T& record)
{
    auto made = std::make_shared<T>();
    copyProperties(record, *made);
    return made;
}

} // namespace RecordCopy
