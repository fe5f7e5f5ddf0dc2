#pragma once

#include <QString>
#include <QUrl>

// Opens the address a Link value holds. A value without a scheme is taken as a web
// address ("http://" in front); one with a scheme stays as it is, whatever its case.
// Only web addresses (http, https) are opened, in the desktop's browser.
class LinkOpener {
public:
    LinkOpener() = delete;

    // The address of the value; invalid for an empty value.
    static QUrl linkAddress(const QString& value);
    // Whether the address is one this opens.
    static bool isOpenable(const QUrl& address);
    // Opens the value's address; false, opening nothing, when it is not a web address or
    // the desktop could not open it.
    static bool openLink(const QString& value);
};
