#pragma once

#include <QObject>
#include <QString>

// One filter condition as the screens keep it and the desktop bridge receives it: the
// column (its id for local tables), the condition label as shown, the joiner to the
// filters before it ("And" or "Or", localized), and texts for the server.
class Filter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString AndOr READ AndOr WRITE setAndOr)
    Q_PROPERTY(QString Header READ Header WRITE setHeader)
    Q_PROPERTY(QString Operator READ Operator WRITE setOperator)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString SQL READ SQL WRITE setSQL)
    Q_PROPERTY(QString Column READ Column WRITE setColumn)

public:
    Q_INVOKABLE explicit Filter(QObject* parent = nullptr);
    ~Filter() override;

    QString AndOr() const { return m_AndOr; }
    void setAndOr(const QString& value) { m_AndOr = value; }
    QString Header() const { return m_Header; }
    void setHeader(const QString& value) { m_Header = value; }
    QString Operator() const { return m_Operator; }
    void setOperator(const QString& value) { m_Operator = value; }
    QString Value() const { return m_Value; }
    void setValue(const QString& value) { m_Value = value; }
    QString SQL() const { return m_SQL; }
    void setSQL(const QString& value) { m_SQL = value; }
    QString Column() const { return m_Column; }
    void setColumn(const QString& value) { m_Column = value; }

private:
    QString m_AndOr;
    QString m_Header;
    QString m_Operator;
    QString m_Value;
    QString m_SQL;
    QString m_Column;
};
