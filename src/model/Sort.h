#pragma once

#include <QObject>
#include <QString>

// One sort key: the column (its id for local tables), the direction, and the header the
// user sees.
class Sort : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Header READ Header WRITE setHeader)
    Q_PROPERTY(bool Ascending READ Ascending WRITE setAscending)
    Q_PROPERTY(QString Column READ Column WRITE setColumn)

public:
    Q_INVOKABLE explicit Sort(QObject* parent = nullptr);
    ~Sort() override;

    QString Header() const { return m_Header; }
    void setHeader(const QString& value) { m_Header = value; }
    bool Ascending() const { return m_Ascending; }
    void setAscending(bool value) { m_Ascending = value; }
    QString Column() const { return m_Column; }
    void setColumn(const QString& value) { m_Column = value; }

private:
    QString m_Header;
    bool m_Ascending = false;
    QString m_Column;
};
