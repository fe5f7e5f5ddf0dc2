#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class FormElement;
class FormRootElement;
class FormSection;

// What binding can change in a form, kept so that a binding that fails half-way can be
// undone: the sections of the root and of every nested root, the rows of every section,
// and the values of the properties the bind strings name. The rows and sections are held,
// so nothing a binding drops is lost before the snapshot is.
class FormBindingSnapshot {
public:
    explicit FormBindingSnapshot(FormRootElement* root);

    // Puts the sections, rows and bound values back as they were taken.
    void restore();

private:
    void takeRoot(FormRootElement* root);
    void takeSection(FormSection* section);
    void takeBoundValues(QObject* object, const QString& bind);

    struct Sections {
        FormRootElement* root;
        bool hadSections;
        QList<std::shared_ptr<FormSection>> sections;
    };
    struct Rows {
        FormSection* section;
        QList<std::shared_ptr<FormElement>> elements;
    };
    struct Value {
        QObject* object;
        QString property;
        QVariant value;
    };
    QList<Sections> m_sections;
    QList<Rows> m_rows;
    QList<Value> m_values;
};
