#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Fills the object placeholders of a format text: "%@" takes the next argument and
// "%N$@" the N-th (so a translation may move them); "%%" is a percent sign. Any other
// text is copied as it stands. Missing arguments leave the placeholder empty.
QString formatObjects(const QString& format, const QStringList& arguments);

} // namespace platform
