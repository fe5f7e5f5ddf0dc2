#pragma once

#include "model/ModelRegistry.h"

#include <QByteArray>

#include <optional>

class TemplateColumn;

// A user's table in a database, made from a table definition (Template). A table may be
// protected by a password: its rows are then stored encrypted, and the password itself is
// never stored, only a check phrase encrypted with it.
class UserTemplate : public platform::coredata::ManagedObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "ctimestamp,isprotected,mtimestamp,order")
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant database_id READ database_id WRITE setDatabase_id)
    Q_PROPERTY(QVariant descr READ descr WRITE setDescr)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant isprotected READ isprotected WRITE setIsprotected)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant name READ name WRITE setName)
    Q_PROPERTY(QVariant template_id READ template_id WRITE setTemplate_id)
    Q_PROPERTY(QVariant order READ order WRITE setOrder)
    Q_PROPERTY(QVariant protectioncheck READ protectioncheck WRITE setProtectioncheck)

public:
    using ManagedObject::ManagedObject;

    KIVO_ATTRIBUTE(ctimestamp, setCtimestamp)
    KIVO_ATTRIBUTE(database_id, setDatabase_id)
    KIVO_ATTRIBUTE(descr, setDescr)
    KIVO_ATTRIBUTE(id, setId)
    KIVO_ATTRIBUTE(isprotected, setIsprotected)
    KIVO_ATTRIBUTE(mtimestamp, setMtimestamp)
    KIVO_ATTRIBUTE(name, setName)
    KIVO_ATTRIBUTE(template_id, setTemplate_id)
    KIVO_ATTRIBUTE(order, setOrder)
    KIVO_ATTRIBUTE(protectioncheck, setProtectioncheck)

    static QList<UserTemplate*> getUserTemplatesAll();
    // The database's tables by ascending order; empty when none.
    static QList<UserTemplate*> getUserTemplates(const QString& databaseId);
    static bool isTemplateUsed(const QString& templateId);
    static bool isDatabaseUsed(const QString& databaseId);
    // A new table of the database, not yet in the store, ordered after the last one.
    // template_id and protectioncheck are left for the caller.
    [[nodiscard]] static UserTemplate* add(const QString& databaseId);
    // False, saving nothing, when synchronisation changed or deleted the table.
    [[nodiscard]] bool saveUserTemplate();
    // Deletes the table alone (its rows stay) and commits.
    [[nodiscard]] static bool deleteUserTemplate(UserTemplate* userTemplate);

    // The text in a password-protected container, as Base64 text; nullopt when it
    // cannot be made.
    [[nodiscard]] static std::optional<QString> encryptString(
        const QString& text, const QString& password);
    // The plain text; nullopt (never an error) for a wrong password or a damaged text.
    [[nodiscard]] static std::optional<QString> decryptString(
        const QString& text, const QString& password);

    // The table protection check. The phrase is encrypted with the password into
    // protectioncheck; a password is right exactly when that decrypts to the phrase.
    static const QString ProtectionCheckPhrase;
    bool isPasswordValid(const QString& password) const;
    // Sets protectioncheck anew from the password and saves the table.
    [[nodiscard]] bool setProtectionCheck(const QString& password);
    // Protects the table with the password: marks it, sets the check and stores every
    // row encrypted, in one commit. Unprotects it when `password` is nullopt, which needs
    // the current password in `currentPassword`. Refuses, changing nothing, when the
    // current password is wrong, when a row does not decrypt with it, or when a row cannot
    // be encrypted with the new one; `message` then says why.
    // A row already in the new form (in the clear, or encrypted with the new password) is
    // taken as it is. The change reads what the store holds, and no other machine's change
    // lands between its reads and its commit. Rows keep their times.
    [[nodiscard]] bool changeProtection(const std::optional<QString>& currentPassword,
        const std::optional<QString>& password, const QList<TemplateColumn*>& columns,
        QString* message = nullptr);

    // Re-stores the rows left in the other form than the table's (in the clear in a protected
    // table, encrypted in an unprotected one), as a machine that had not yet heard of a
    // protection change made elsewhere writes them, in the table's form, with the password
    // this machine holds. Rows are encrypted only when the password opens the table, and
    // taken out of encryption only when it reads them; the others stay as they are. Each
    // row keeps its times, so a later edit of it on another machine still wins. How many
    // rows were re-stored; nullopt when the commit failed (they are then left as stored).
    std::optional<int> restoreRowsInItsForm(
        const QString& password, const QList<TemplateColumn*>& columns);

    static QByteArray toJSON();
    static QString entityName();
};
