#include "grid/UserTableRows.h"

#include "grid/RowObject.h"
#include "platform/coredata/ManagedObjectContext.h"

UserTableRows::UserTableRows()
    : m_cache(CacheSize)
{
}

UserTableRows::UserTableRows(QString userTemplateId, Rows::Columns columns, Rows::Password password)
    : m_userTemplateId(std::move(userTemplateId))
    , m_columns(std::move(columns))
    , m_password(std::move(password))
    , m_cache(CacheSize)
{
}

void UserTableRows::setTable(QString userTemplateId, Rows::Columns columns, Rows::Password password)
{
    m_userTemplateId = std::move(userTemplateId);
    m_columns = std::move(columns);
    m_password = std::move(password);
    m_cache.clear();
}

QVariantList UserTableRows::fetch()
{
    m_cache.clear();
    QVariantList rows;
    const QList<Rows*> faults = Rows::getRowFaults(m_userTemplateId);
    rows.reserve(faults.size());
    for (Rows* row : faults)
        rows.append(RowObject::fromObject(row));
    return rows;
}

QVariantMap UserTableRows::values(Rows* row)
{
    if (!row)
        return {};
    if (const QVariantMap* kept = m_cache.object(row))
        return *kept;
    const QVariantMap decoded = decode(row);
    m_cache.insert(row, new QVariantMap(decoded));
    // The decoded values are kept here; the store object need not hold its text as well.
    if (platform::coredata::ManagedObjectContext* context = row->managedObjectContext())
        context->refreshObject(row, true);
    return decoded;
}

QVariantMap UserTableRows::decode(Rows* row) const
{
    return row ? row->getData(m_columns, m_password) : QVariantMap();
}

void UserTableRows::invalidate(const Rows* row)
{
    m_cache.remove(row);
}

void UserTableRows::clear()
{
    m_cache.clear();
}
