#include "CommaLocale.h"
#include "utilities/text/FormatLocale.h"

#include "common/TestSupport.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kLocaleName = "de_DE.UTF-8";

bool cFormatsWithComma()
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    return std::string(text) == "0,5";
}

} // namespace

CommaLocale::CommaLocale()
{
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (!std::setlocale(LC_ALL, kLocaleName) && m_folder.isValid()) {
        int exitCode = -1;
        testsupport::runTool("localedef",
            { "-i", "de_DE", "-f", "UTF-8", QDir(m_folder.path()).filePath(kLocaleName) }, {},
            &exitCode);
        qputenv("LOCPATH", m_folder.path().toLocal8Bit());
        std::setlocale(LC_ALL, kLocaleName);
    }
    m_cLibraryComma = cFormatsWithComma();
}

CommaLocale::~CommaLocale()
{
    std::setlocale(LC_ALL, "C");
    qunsetenv("LOCPATH");
    FormatLocale::setDefault(QLocale::c());
}
