#pragma once

#include <QList>

#include <memory>

class TemplateColumn;

namespace platform::coredata {
class ManagedObjectModel;
} // namespace platform::coredata

// Copies of a table's columns that belong to no context and no thread, so worker threads
// read them while the screen's own columns go on changing. They keep the model that
// describes them. Their texts are copies of their own: threads that each read their own
// copy share no reference counts (which would make them wait on one another).
class DetachedColumns {
public:
    explicit DetachedColumns(const QList<TemplateColumn*>& columns);
    ~DetachedColumns();
    DetachedColumns(const DetachedColumns&) = delete;
    DetachedColumns& operator=(const DetachedColumns&) = delete;

    const QList<TemplateColumn*>& columns() const { return m_columns; }
    // Another copy, for another thread; may be made on any thread.
    [[nodiscard]] std::unique_ptr<DetachedColumns> copy() const;

private:
    DetachedColumns(std::shared_ptr<const platform::coredata::ManagedObjectModel> model,
        const QList<TemplateColumn*>& columns);

    std::shared_ptr<const platform::coredata::ManagedObjectModel> m_model;
    QList<TemplateColumn*> m_columns;
};
