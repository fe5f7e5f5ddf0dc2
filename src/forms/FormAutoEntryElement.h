#pragma once

#include "forms/FormEntryElement.h"
#include "style/Color.h"

#include <QStringList>

// A text row that offers, as the user types, the rest of the first value of its list
// that begins with the typed text; leaving the field accepts the offer.
class FormAutoEntryElement : public FormEntryElement {
    Q_OBJECT
    Q_PROPERTY(QStringList autoCompleteValues READ autoCompleteValues WRITE setAutoCompleteValues)
    Q_PROPERTY(QString lastAutoComplete READ lastAutoComplete WRITE setLastAutoComplete)

public:
    Q_INVOKABLE FormAutoEntryElement();
    static std::shared_ptr<FormAutoEntryElement> initWithTitle(
        const QString& title, const QString& value, const QString& placeholder = {});

    QStringList autoCompleteValues() const { return m_autoCompleteValues; }
    void setAutoCompleteValues(const QStringList& values) { m_autoCompleteValues = values; }
    // The whole value of the last completion offered (or the typed text when none was).
    QString lastAutoComplete() const { return m_lastAutoComplete; }
    void setLastAutoComplete(const QString& text) { m_lastAutoComplete = text; }
    // Colour of the offered rest; unset for the field's own grey.
    std::optional<Color> autoCompleteColor;

    // The rest of the first value that begins with the prefix (ignoring case), which is
    // remembered whole in lastAutoComplete. With no match, or an empty prefix, nothing is
    // offered and the prefix itself is remembered.
    QString completionForPrefix(const QString& prefix);

    // The auto-completing entry cell.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // A disabled row ignores taps.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    // The same rule over any list; `full` receives what is remembered.
    static QString completion(const QStringList& values, const QString& prefix, QString* full);

private:
    QStringList m_autoCompleteValues;
    QString m_lastAutoComplete;
};
