#pragma once

#include <QList>
#include <QString>

namespace testsupport {

// Gives each encrypted entry of the archive, made with the password `madeWith`, new
// header bytes, so that a reader opening it with `openedWith` finds the one-byte password
// check passed for the entries whose place in `passes` is true and failed for the others
// (entries past the list pass). Each entry is enciphered again under `madeWith`: the
// archive stays whole and readable with it. This makes, every time, the archive that one
// wrong password in 256 makes by chance. False when the archive cannot be read or written
// or an entry is not encrypted with `madeWith`.
bool setPasswordChecks(const QString& path, const QString& madeWith, const QString& openedWith,
    const QList<bool>& passes);

} // namespace testsupport
