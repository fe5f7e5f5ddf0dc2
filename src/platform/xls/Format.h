#pragma once

#include <QString>

namespace platform::xls {

// A custom number format such as "0.000" or "yyyy-mm-dd". Its index in the file is given
// when the workbook is written; equal format texts share one index.
class Format {
public:
    explicit Format(const QString& text);

    const QString& text() const { return m_text; }

private:
    QString m_text;
};

} // namespace platform::xls
