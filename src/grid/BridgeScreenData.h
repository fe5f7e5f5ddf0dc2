#pragma once

#include "grid/ScreenData.h"
#include "utilities/data/OrderedDictionary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

class QObject;

// A screen record with the fields of a screen fed by the desktop server. Only the
// remote file browser's record sets any of them; the others leave them empty, so their
// readers take their fallback paths.
class BridgeScreenData : public ScreenData {
public:
    BridgeScreenData();
    ~BridgeScreenData() override;

    // Type name of the server's service that supplies the rows.
    QString brigeType;
    // Method called on that service.
    QString bridgeMethod;
    // Hook, no argument, returning the request's method parameters (a QVariantList).
    QByteArray determinBridgeParameters;
    // Key or column whose value in the parent's selected row becomes the screen title.
    QString titleField;
    // Spare.
    QString bridgeEntity;
    // Columns whose values identify a row; the first gives a grid item's text.
    QStringList keyFields;
    // Fixed parameters, used when there is no determinBridgeParameters hook.
    OrderedDictionary bridgeParameters;
    // Hook, no argument, returning the child screen id (QString) for the tapped row.
    QByteArray determineChildScreen;
    // Hook taking the sender (QObject*) of a toolbar action.
    QByteArray toolbarMethod;
    // Hook, no argument, called when a row is chosen instead of opening a child.
    QByteArray selectMethod;

    // Calls the hook on the target (the screen's data controller): no argument, or the
    // sender. False, calling nothing, for an empty hook. A hook the target lacks, or
    // whose signature does not fit, raises NSInvalidArgumentException.
    static bool invoke(QObject* target, const QByteArray& hook);
    static bool invoke(QObject* target, const QByteArray& hook, QObject* sender);
    // Calls a hook that answers a text; nullopt for an empty hook.
    static std::optional<QString> invokeForText(QObject* target, const QByteArray& hook);
    // Calls a hook that answers the method parameters; nullopt for an empty hook.
    static std::optional<QVariantList> invokeForParameters(QObject* target, const QByteArray& hook);
};
