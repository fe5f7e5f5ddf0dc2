#pragma once

#include <QString>
#include <QVariant>

// The one place where a template reads a key from a value. Dictionaries and objects that
// answer keys are read by subscript; lists and strings answer their own keys ("count",
// "length"), never mapped over their items; QObjects answer their properties.
class MustacheKeyAccess {
public:
    MustacheKeyAccess() = delete;

    static QVariant valueForMustacheKey(const QString& key, const QVariant& object);
    static bool
    objectIsFoundationCollectionWhoseImplementationOfValueForKeyReturnsAnotherCollection(
        const QVariant& object);
    // A missing key never raises here, so there is nothing to shield against; kept so
    // callers written for the shield still build.
    static void preventNSUndefinedKeyExceptionAttack();
};
