#include "reports/ReportRows.h"

#include "reports/ReportProtocol.h"

ReportRows::ReportRows(quint64 count, Reader reader)
    : m_count(count)
    , m_reader(std::move(reader))
{
}

ReportRows::ReportRows(quint64 count, Reader reader, TextsReader textsReader)
    : m_count(count)
    , m_reader(std::move(reader))
    , m_textsReader(std::move(textsReader))
{
}

std::shared_ptr<const ReportRows> ReportRows::copyOf(ReportProtocol& source)
{
    const quint64 count = source.reportRowsCount();
    QList<QVariantMap> raw;
    QList<QVariantMap> formatted;
    raw.reserve(qsizetype(count));
    formatted.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        raw.append(source.reportRow(i));
        formatted.append(source.reportRowFormatted(i));
    }
    return std::make_shared<const ReportRows>(count,
        [raw = std::move(raw), formatted = std::move(formatted)](
            quint64 index, bool wantFormatted) -> std::optional<QVariantMap> {
            const auto& rows = wantFormatted ? formatted : raw;
            if (index >= quint64(rows.size()))
                return std::nullopt;
            return rows.at(qsizetype(index));
        });
}

std::optional<QVariantMap> ReportRows::row(quint64 index) const
{
    if (index >= m_count || !m_reader)
        return std::nullopt;
    return m_reader(index, false);
}

std::optional<QVariantMap> ReportRows::rowFormatted(quint64 index) const
{
    if (index >= m_count || !m_reader)
        return std::nullopt;
    return m_reader(index, true);
}

std::optional<QStringList> ReportRows::rowTexts(quint64 index, const QStringList& keys) const
{
    if (index >= m_count)
        return std::nullopt;
    if (m_textsReader)
        return m_textsReader(index, keys);
    const auto row = rowFormatted(index);
    if (!row)
        return std::nullopt;
    QStringList texts;
    texts.reserve(keys.size());
    for (const QString& key : keys)
        texts.append(row->value(key).toString());
    return texts;
}
