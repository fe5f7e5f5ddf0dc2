#pragma once

#include "platform/ui/Application.h"
#include "utilities/shell/Preferences.h"
#include "utilities/shell/ScreenRecord.h"
#include "utilities/shell/StyleObject.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace platform::coredata {
class ManagedObjectContext;
class ManagedObjectModel;
class PersistentStoreCoordinator;
} // namespace platform::coredata
namespace platform::ui {
class ViewController;
}

// The base of the application's delegate: what every part of the system reaches through
// the one application-wide delegate (settings, style, store stack, sandbox folders,
// palette colours, the visible screen, the product's web addresses). It has no launch
// logic; the application's delegate derives from it and fills it at start-up. Making a
// delegate registers it as the application's.
class KivoAppDelegate : public QObject, public platform::ui::ApplicationDelegate {
    Q_OBJECT
public:
    explicit KivoAppDelegate(QObject* parent = nullptr);
    ~KivoAppDelegate() override;

    // The application's delegate. Never null: before the application has made its own,
    // a base delegate stands in (tests and tools that use the foundation alone).
    static KivoAppDelegate* ApplicationDelegate();

    // A new, empty temporary folder for one job; an empty address when none can be made.
    static QUrl URLForTemporaryFolder();
    // Addresses of the product's web site: "main/%@" pages and "process/%@" services.
    static QString getUrl(const QString& page);
    static QString getSecureUrl(const QString& page);
    // The tutorial video's page on the product's web site.
    static QString getVideoUrl();
    static QString getProcessUrl(const QString& path);
    static QString getProcessSecureUrl(const QString& path);

    // Fields.
    Preferences* currentPreferences() const { return m_preferences.get(); }
    void setCurrentPreferences(std::shared_ptr<Preferences> preferences);
    StyleObject* currentStyle() const { return m_style.get(); }
    const std::shared_ptr<StyleObject>& currentStyleShared() const { return m_style; }
    void setCurrentStyle(std::shared_ptr<StyleObject> style);
    // The store stack: the installed StoreStack's, or none.
    virtual platform::coredata::ManagedObjectContext* managedObjectContext() const;
    virtual std::shared_ptr<const platform::coredata::ManagedObjectModel>
    managedObjectModel() const;
    virtual std::shared_ptr<platform::coredata::PersistentStoreCoordinator>
    persistentStoreCoordinator() const;
    QString urlBridge() const { return m_urlBridge; }
    void setUrlBridge(const QString& url) { m_urlBridge = url; }
    QString urlBridgeMatrix() const { return m_urlBridgeMatrix; }
    void setUrlBridgeMatrix(const QString& url) { m_urlBridgeMatrix = url; }
    QVariantList videoLinks() const { return m_videoLinks; }
    void setVideoLinks(const QVariantList& links) { m_videoLinks = links; }

    // Drops the context's unsaved changes (when it has any).
    virtual void rollbackContext();
    // Saves the context when it has changes; a failed save is shown as an error and
    // answers false. No context, or no changes, answers true.
    [[nodiscard]] virtual bool saveContext();
    // The screen on top of the window's navigation stack, or what it presents.
    virtual platform::ui::ViewController* currentViewController() const;
    // The record of a screen id from the installed screen factory (ScreenServices);
    // null while none is installed.
    virtual std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent);
    // Library/"Private Documents", made when missing. Raises when a file of that name is
    // in the way, or when the folder cannot be made.
    virtual QUrl applicationHiddenDocumentsDirectory();
    virtual QUrl applicationDocumentsDirectory();
    // Palette colours (QVariant holding the style layer's colour; invalid for none).
    virtual QVariant barColor() const;
    virtual QVariant imageColor() const;
    // Whether the cloud documents store can be used and is switched on (the application
    // asks its store manager; the base has none).
    virtual bool cloudAvailable() const;
    virtual bool cloudEnabled() const;
    virtual QVariant tilesColor() const;
    // Writes the version and product name into the settings for the settings screen.
    void setVestionInSettings();
    virtual void showShareMenu(QObject* dataController);

    // Texts and keys written once.
    static const QString WebSiteHost;
    static const QString PrivateDocumentsFolder; // "Private Documents"
    static const QString VersionKey; // "version"
    static const QString ProductKey; // "product"

private:
    std::shared_ptr<Preferences> m_preferences;
    std::shared_ptr<StyleObject> m_style;
    QString m_urlBridge;
    QString m_urlBridgeMatrix;
    QVariantList m_videoLinks;
};
