#pragma once

#include "model/Filter.h"

#include <QDateTime>
#include <QVariant>

// A filter of a local table: the filter record plus its own id and the value the user
// entered, kept in the form that suits the column's type.
class FilterExtended : public Filter {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "numericValue")
    Q_PROPERTY(QString id READ id WRITE setId)
    Q_PROPERTY(QString textValue READ textValue WRITE setTextValue)
    Q_PROPERTY(QVariant numericValue READ numericValue WRITE setNumericValue)
    Q_PROPERTY(QDateTime dateValue READ dateValue WRITE setDateValue)
    Q_PROPERTY(bool yesnoValue READ yesnoValue WRITE setYesnoValue)

public:
    // Gets a new id.
    Q_INVOKABLE explicit FilterExtended(QObject* parent = nullptr);
    ~FilterExtended() override;

    QString id() const { return m_id; }
    void setId(const QString& value) { m_id = value; }
    QString textValue() const { return m_textValue; }
    void setTextValue(const QString& value) { m_textValue = value; }
    QVariant numericValue() const { return m_numericValue; }
    void setNumericValue(const QVariant& value) { m_numericValue = value; }
    QDateTime dateValue() const { return m_dateValue; }
    void setDateValue(const QDateTime& value) { m_dateValue = value; }
    bool yesnoValue() const { return m_yesnoValue; }
    void setYesnoValue(bool value) { m_yesnoValue = value; }

    // "AND" when the joiner is the localized "And", else "OR".
    QString AndOrEnglish() const;
    // The value for a column of that type: the text for text types, the number for
    // number types, the date for date types (its day for "Date", its time of day for
    // "Time"), the flag for "Yes/No"; an invalid QVariant for any other type.
    QVariant getValueForType(const QString& type) const;

    static const QString AndEnglish; // "AND"
    static const QString OrEnglish; // "OR"

private:
    QString m_id;
    QString m_textValue;
    QVariant m_numericValue;
    QDateTime m_dateValue;
    bool m_yesnoValue = false;
};
