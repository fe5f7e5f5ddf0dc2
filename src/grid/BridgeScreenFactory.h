#pragma once

#include <QString>

#include <memory>

class BridgeScreenData;
class Parent;

// The records of the five file-browser screens; for any other id a bare record holding
// the id and the parent screen's application. The application's screen factory hands it
// every id it does not know.
class BridgeScreenFactory {
public:
    BridgeScreenFactory() = delete;

    // Never null.
    static std::shared_ptr<BridgeScreenData> GetScreen(
        const QString& screenId, const std::shared_ptr<Parent>& parent);

    static const QString RemoteFileBrowser; // "SCREEN_REMOTE_FILE_BROWSER"
    static const QString FileBrowser; // "SCREEN_FILE_BROWSER"
    static const QString GeneralLocalFileBrowser; // "SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID"
    static const QString CloudFileBrowser; // "SCREEN_CLOUD_FILE_BROWSER_ID"
    static const QString GeneralCloudFileBrowser; // "SCREEN_GENERAL_CLOUD_FILE_BROWSER_ID"
};
