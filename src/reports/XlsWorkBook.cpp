#include "reports/XlsWorkBook.h"

#include "platform/Error.h"
#include "platform/xls/Workbook.h"

using namespace platform::xls;

const QString XlsWorkBook::ErrorDomain = QStringLiteral("XlsWorkBookErrorDomain");

namespace {
constexpr int MaxSheetName = 31;
const QString ForbiddenInSheetNames = QStringLiteral("[]:*?/\\");

// Cuts a text to a length without leaving half of a surrogate pair.
QString cut(const QString& text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

QString trimApostrophes(QString name)
{
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name;
}
} // namespace

XlsWorkBook::XlsWorkBook()
    : aBook(std::make_unique<Workbook>())
{
    m_workSheets.reserve(3);
}

XlsWorkBook::~XlsWorkBook() = default;

QString XlsWorkBook::sheetName(const QString& name) const
{
    QString clean = name;
    for (QChar& c : clean) {
        if (ForbiddenInSheetNames.contains(c))
            c = QLatin1Char('_');
    }
    clean = trimApostrophes(cut(trimApostrophes(clean), MaxSheetName));
    if (clean.isEmpty())
        clean = QStringLiteral("Sheet%1").arg(m_workSheets.size() + 1);

    const auto taken = [this](const QString& candidate) {
        return m_sheetNames.contains(candidate, Qt::CaseInsensitive);
    };
    QString unique = clean;
    for (int n = 2; taken(unique); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        unique = trimApostrophes(cut(clean, MaxSheetName - suffix.size())) + suffix;
    }
    return unique;
}

std::shared_ptr<XlsWorkSheet> XlsWorkBook::workSheetWithName(const QString& name)
{
    const QString clean = sheetName(name);
    m_sheetNames.append(clean);
    m_workSheets.append(std::make_shared<XlsWorkSheet>(aBook->sheet(clean)));
    return m_workSheets.back();
}

std::shared_ptr<XlsWorkSheet> XlsWorkBook::workSheetByOffset(quint64 offset) const
{
    if (offset >= quint64(m_workSheets.size()))
        return nullptr;
    return m_workSheets.at(qsizetype(offset));
}

XlsFont XlsWorkBook::font(const QString& name)
{
    return XlsFont(aBook->font(name));
}

XlsFormat XlsWorkBook::format(const QString& format)
{
    return XlsFormat(aBook->format(format));
}

XlsExtendedFormat XlsWorkBook::extendedFormat()
{
    return extendedFormat(nullptr);
}

XlsExtendedFormat XlsWorkBook::extendedFormat(const XlsFont* font)
{
    return XlsExtendedFormat(aBook->xformat(font ? font->font() : nullptr));
}

bool XlsWorkBook::property(int property, const QString& value)
{
    return aBook->property(Property(property), value);
}

void XlsWorkBook::windPosition(quint16 x, quint16 y)
{
    aBook->windPosition(x, y);
}

void XlsWorkBook::windSize(quint16 width, quint16 height)
{
    aBook->windSize(width, height);
}

void XlsWorkBook::firstTab(quint16 tab)
{
    aBook->firstTab(tab);
}

void XlsWorkBook::tabBarWidth(quint16 width)
{
    aBook->tabBarWidth(width);
}

int XlsWorkBook::writeFile(const QString& path, platform::Error* error)
{
    const int status = aBook->dump(path);
    if (status != Workbook::Success && error)
        *error = platform::Error::withDescription(ErrorDomain, status, aBook->lastError());
    return status;
}

int XlsWorkBook::writeTemporaryFile(const QString& path, platform::Error* error)
{
    const int status = aBook->dumpTemporary(path);
    if (status != Workbook::Success && error)
        *error = platform::Error::withDescription(ErrorDomain, status, aBook->lastError());
    return status;
}
