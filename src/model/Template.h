#pragma once

#include "model/ModelRegistry.h"

#include <QByteArray>
#include <QVariantList>

// A table definition: its typed columns (TemplateColumn) describe the fields of every
// user table made from it. System definitions come from the bundled defaults.
class Template : public platform::coredata::ManagedObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "ctimestamp,isprotected,issystem,mtimestamp,tilescolumns")
    Q_PROPERTY(QVariant category READ category WRITE setCategory)
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant descr READ descr WRITE setDescr)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant image READ image WRITE setImage)
    Q_PROPERTY(QVariant isprotected READ isprotected WRITE setIsprotected)
    Q_PROPERTY(QVariant issystem READ issystem WRITE setIssystem)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant name READ name WRITE setName)
    Q_PROPERTY(QVariant tilescolumns READ tilescolumns WRITE setTilescolumns)

public:
    using ManagedObject::ManagedObject;

    KIVO_ATTRIBUTE(category, setCategory)
    KIVO_ATTRIBUTE(ctimestamp, setCtimestamp)
    KIVO_ATTRIBUTE(descr, setDescr)
    KIVO_ATTRIBUTE(id, setId)
    KIVO_ATTRIBUTE(image, setImage)
    KIVO_ATTRIBUTE(isprotected, setIsprotected)
    KIVO_ATTRIBUTE(issystem, setIssystem)
    KIVO_ATTRIBUTE(mtimestamp, setMtimestamp)
    KIVO_ATTRIBUTE(name, setName)
    KIVO_ATTRIBUTE(tilescolumns, setTilescolumns)

    static quint64 getTemplatesCount();
    static QList<Template*> getTemplates();
    static QList<Template*> getTemplatesAll();
    // The definition with the id when exactly one has it, else null.
    static Template* getTemplate(const QString& templateId);
    // A new definition, not yet in the store; two tiles per row on a tablet, else one.
    [[nodiscard]] static Template* add();
    // False, saving nothing, when synchronisation changed or deleted the definition.
    [[nodiscard]] bool saveTemplate();
    // Deletes the definition alone (its columns and tables stay) and commits.
    [[nodiscard]] static bool deleteTemplate(Template* definition);
    // The distinct categories over all definitions.
    static QVariantList getCategories();

    static QByteArray toJSON();
    static QString entityName();
};
