#pragma once

#include <QString>

namespace platform {

// The application's folders. Everything lives under one home folder: $KIVOTAB_HOME
// when set, else the desktop's data location for the application. Each accessor makes
// its folder when it is missing.
namespace Folders {

QString home();
QString documents(); // <home>/Documents
QString library(); // <home>/Library
QString applicationSupport(); // <home>/Library/Application Support
QString preferences(); // <home>/Library/Preferences
QString tmp(); // <home>/tmp

// The folder of the application's bundled resources ($KIVOTAB_RESOURCES overrides it).
QString resources();
// The resources the build makes (the user guide), beside the bundled ones.
QString builtResources();
// The path of a bundled or built resource "name.type", or an empty text when there is none.
QString resourcePath(const QString& name, const QString& type);

} // namespace Folders

} // namespace platform
