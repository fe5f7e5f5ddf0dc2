#pragma once

#include "forms/FormSection.h"

// A section whose rows come from a collection in the data: a loading row until the
// first bind, then one row per item, or one row with emptyMessage for an empty
// collection.
class FormDynamicDataSection : public FormSection {
    Q_OBJECT
    Q_PROPERTY(QString emptyMessage READ emptyMessage WRITE setEmptyMessage)

public:
    Q_INVOKABLE FormDynamicDataSection();

    QString emptyMessage() const { return m_emptyMessage; }
    void setEmptyMessage(const QString& message) { m_emptyMessage = message; }
    // Nothing sets it; kept for the cells.
    bool loading() const { return m_loading; }

    void bindToObject(const QVariant& data) override;

private:
    QString m_emptyMessage = QStringLiteral("Empty");
    bool m_loading = false;
};
