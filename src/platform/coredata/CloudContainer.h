#pragma once

#include "platform/Error.h"

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

namespace platform::coredata {

// The cloud account of this machine: a folder that every machine of the account shares
// (a network share, a synchronised folder). It is $KIVOTAB_CLOUD when set, else the folder
// the user defaults name under FolderDefaultsKey, else "cloud" in the application home.
//
// The account's identity token is a value kept in the folder itself, so every machine
// that shares the folder reads the same one. A folder that is missing, or holds no token,
// is signed out: no container exists. Looking at the token never makes one (an unmounted
// share leaves an empty folder behind, which is not a new account); signing in does.
// Each application's container is a folder inside it, named by the container identifier.
namespace CloudContainer {

extern const QString FolderEnvironmentVariable; // "KIVOTAB_CLOUD"
extern const QString FolderDefaultsKey; // "CloudFolder"
extern const QString IdentityTokenFileName; // "IdentityToken"
// Posted (no object) when the token changes: a sign-in, a sign-out or another account.
extern const QString UbiquityIdentityDidChangeNotification;

// The configured folder, whether or not it exists.
QString rootPath();
// The token of the signed-in account (a text), or an invalid QVariant when signed out.
QVariant ubiquityIdentityToken();
// Signs this machine in to the folder: one without a token is given one, written whole;
// when machines sign in at once, the first one's token stands. The token, or an invalid
// QVariant when the folder is missing or cannot take one.
QVariant signIn();
// The container's folder for the identifier, the application's own for an empty one; an
// empty URL when signed out. It is made by what is first written into it (makeFolder).
QUrl URLForUbiquityContainerIdentifier(const QString& identifier);
// Whether the cloud folder is there and holds this account's token (an invalid one never).
bool holdsToken(const QVariant& token);
// Makes the folder and those between it and the cloud folder inside the account's folder
// held open (see AccountFolder), never the cloud folder itself: nothing is made in a folder
// that lacks the token (an empty mount point, another account's folder in the place).
// Elsewhere, as QDir::mkpath. True when the folder is there with the account's folder in place.
bool makeFolder(const QString& path, const QVariant& token);
// The same for the account whose token the cloud folder holds now.
bool makeFolder(const QString& path);
// Writes the file whole, aside and then renamed into place, inside the account's folder held
// open, and only while that folder is at the cloud folder's path and `stillWanted` (asked
// just before the rename) agrees. False, with the reason, when the folder was away or another
// account's, or the file could not be written; the file is then nowhere but (when the folder
// changed hands after the rename) in the account's own folder. Outside the cloud folder the
// token is not looked at.
bool writeFile(const QString& path, const QByteArray& bytes, const QVariant& token,
    QString* problem = nullptr, const std::function<bool()>& stillWanted = {});
// Removes the file from inside the account's folder held open (see AccountFolder): a folder
// that has taken its place loses nothing. False when the folder is away or another
// account's, or the file could not be removed. Elsewhere, as QFile::remove.
bool removeFile(const QString& path, const QVariant& token);
QString defaultContainerIdentifier();

// Whether the item lies inside the cloud folder.
bool isUbiquitousItemAtURL(const QUrl& url);
// Drops this machine's copy of a cloud item and keeps the cloud's. The folder is the
// cloud's copy itself; what this machine keeps of it are the local stores built from its
// content, so the eviction is remembered and those stores are rebuilt when next opened.
bool evictUbiquitousItemAtURL(const QUrl& url, Error* error = nullptr);
// The Unix time of the latest eviction of the path or a folder that holds it; 0 for none.
double lastEvictionOfPath(const QString& path);

// How often folders are looked at again where the system tells of no change (milliseconds).
int pollInterval();
void setPollInterval(int milliseconds);

// Looks at the folder and its token at every poll interval and posts the change
// notification when either changes.
void startMonitoringIdentity();
// Looks as the monitor's next poll would, now, on the calling thread (which then hears the
// notification first): one who found the account changed before the monitor did has it
// compare what comes next with that, so that an account that goes and comes back between
// two polls is told coming back too. Nothing while the monitor is not running.
void lookAtIdentity();
// Runs inside writeFile once the token was found in place, before the file is begun (tests:
// the cloud folder changing hands as a file is written).
using WriteHook = std::function<void(const QString& path)>;
void setWriteHook(WriteHook hook);
// Stops the monitor, restores the poll interval and drops the write hook (tests).
void reset();

} // namespace CloudContainer

} // namespace platform::coredata
