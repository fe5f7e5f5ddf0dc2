#include "model/DetachedColumns.h"

#include "model/TemplateColumn.h"
#include "utilities/store/KivoLibContext.h"

namespace {

// The value with a text of its own.
QVariant ownCopy(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString();
    return QString(text.constData(), text.size());
}

} // namespace

DetachedColumns::DetachedColumns(const QList<TemplateColumn*>& columns)
    : DetachedColumns(KivoLib::currentModel(), columns)
{
}

DetachedColumns::DetachedColumns(
    std::shared_ptr<const platform::coredata::ManagedObjectModel> model,
    const QList<TemplateColumn*>& columns)
    : m_model(std::move(model))
{
    for (TemplateColumn* column : columns) {
        if (!column)
            continue;
        auto* copy = new TemplateColumn(&column->entity());
        const QList<QVariant> values = column->values();
        for (qsizetype i = 0; i < values.size(); ++i)
            copy->setValue(int(i), ownCopy(values.at(i)));
        // No thread owns it: it may be read and deleted from whichever thread holds the
        // copies last.
        copy->moveToThread(nullptr);
        m_columns.append(copy);
    }
}

DetachedColumns::~DetachedColumns()
{
    qDeleteAll(m_columns);
}

std::unique_ptr<DetachedColumns> DetachedColumns::copy() const
{
    return std::unique_ptr<DetachedColumns>(new DetachedColumns(m_model, m_columns));
}
