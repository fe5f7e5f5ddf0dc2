#pragma once

#include <QString>

namespace platform {

// The process's local time zone as the C library sees it.
//
// While TZ is unset, the C library checks the system zone file again (a file-system call)
// at every local-time conversion, and Qt converts through it for every local QDateTime it
// makes or reads: reading a table of dated rows then spends most of its time there.
namespace LocalTimeZone {

// The zone database name the system zone file links to ("Europe/Berlin"), or an empty
// text when it is no link into the zone database the C library reads.
QString systemZoneName();

// When TZ is unset, names the system zone in TZ so that conversions stay in memory. Qt,
// ICU and the C library read the same zone from the name as from the file, so no date
// changes; only a change of the system zone while the application runs is no longer
// followed. Call at start-up, before any other thread runs.
void pin();

} // namespace LocalTimeZone

} // namespace platform
