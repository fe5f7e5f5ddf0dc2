#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace platform::xls {

// A property set stream with one section of text properties, such as the summary
// information that file browsers show (title, author, ...).
class PropertySet {
public:
    // The section's format id, in the order its bytes are stored.
    explicit PropertySet(QByteArray formatId);

    static PropertySet summaryInformation();
    static PropertySet documentSummaryInformation();

    void set(quint32 id, const QString& value);
    bool isEmpty() const { return m_values.empty(); }

    // The stream's bytes; texts are stored as UTF-16 under code page 1200.
    QByteArray stream() const;

private:
    QByteArray m_formatId;
    std::map<quint32, QString> m_values;
};

} // namespace platform::xls
