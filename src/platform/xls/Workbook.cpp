#include "platform/xls/Workbook.h"

#include "platform/xls/CompoundFile.h"
#include "platform/xls/PropertySet.h"
#include "platform/xls/RecordWriter.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <array>

namespace platform::xls {

namespace {
constexpr quint16 CodePageRecord = 0x0042;
constexpr quint16 Window1Record = 0x003D;
constexpr quint16 FontRecord = 0x0031;
constexpr quint16 FormatRecord = 0x041E;
constexpr quint16 XfRecord = 0x00E0;
constexpr quint16 StyleRecord = 0x0293;
constexpr quint16 BoundSheetRecord = 0x0085;

constexpr quint16 Utf16CodePage = 1200;
constexpr int MaxSheetName = 31;
// Readers skip font index 4: the fifth font record has index 5.
constexpr quint16 DefaultFonts = 4;
constexpr quint16 FirstUserFont = 5;
constexpr quint16 FirstCustomFormat = 164;
constexpr quint16 StyleFormats = 15;
constexpr quint16 DefaultCellFormat = 15;
// More cell formats than this and readers give up.
constexpr int MaxFormatRecords = 4000;
// A stream of this size or less may be taken for one of the mini stream's (some readers
// count the cutoff itself in), so the workbook stream is always longer.
constexpr qsizetype MiniStreamCutoff = 4096;

// The built-in style formats: Normal, then outline levels that readers expect.
std::array<char, 20> styleFormat(bool normal)
{
    std::array<char, 20> out {};
    char* p = out.data();
    qToLittleEndian<quint16>(0xFFF5, p + 4); // locked, a style, no parent
    p[6] = 0x20; // bottom aligned
    p[9] = normal ? 0 : char(0xF4); // outline styles leave most groups to Normal
    qToLittleEndian<quint16>(0x20C0, p + 18); // automatic fill colours
    return out;
}

void writeFont(RecordWriter& out, const Font& font)
{
    out.begin(FontRecord);
    out.u16(font.height());
    out.u16(quint16((font.italic() ? 0x02 : 0) | (font.strikeout() ? 0x08 : 0)
        | (font.outline() ? 0x10 : 0) | (font.shadow() ? 0x20 : 0)));
    out.u16(font.colorIndex());
    out.u16(font.weight());
    out.u16(quint16(font.scriptStyle()));
    out.u8(quint8(font.underlineStyle()));
    out.u8(font.family());
    out.u8(font.charset());
    out.u8(0);
    out.shortString(font.name());
    out.end();
}
} // namespace

Workbook::Workbook()
{
    m_fonts.push_back(std::make_unique<Font>());
    xformat();
}

Workbook::~Workbook() = default;

Worksheet* Workbook::sheet(const QString& name)
{
    m_sheets.push_back(std::make_unique<Worksheet>(this, name.left(MaxSheetName)));
    return m_sheets.back().get();
}

Font* Workbook::font(const QString& name)
{
    auto font = std::make_unique<Font>(*defaultFont());
    font->setName(name);
    m_fonts.push_back(std::move(font));
    return m_fonts.back().get();
}

Format* Workbook::format(const QString& text)
{
    m_numberFormats.push_back(std::make_unique<Format>(text));
    return m_numberFormats.back().get();
}

ExtendedFormat* Workbook::xformat(Font* font)
{
    auto format = std::make_unique<ExtendedFormat>(this, font ? font : defaultFont());
    format->m_id = quint32(m_formats.size());
    m_formats.push_back(std::move(format));
    return m_formats.back().get();
}

ExtendedFormat* Workbook::duplicate(const ExtendedFormat& format)
{
    auto copy = std::make_unique<ExtendedFormat>(format);
    copy->m_workbook = this;
    copy->m_id = quint32(m_formats.size());
    m_formats.push_back(std::move(copy));
    return m_formats.back().get();
}

ExtendedFormat* Workbook::shared(const ExtendedFormat& format)
{
    // A shared format changed since through its pointer no longer answers for its old
    // settings; a new one takes its place.
    auto it = m_sharedFormats.find(format);
    if (it != m_sharedFormats.end() && *m_formats[*it] == format)
        return m_formats[*it].get();
    ExtendedFormat* made = duplicate(format);
    m_sharedFormats.insert(format, made->m_id);
    return made;
}

Font* Workbook::shared(const Font& font)
{
    auto it = m_sharedFonts.find(font);
    if (it != m_sharedFonts.end() && **it == font)
        return *it;
    m_fonts.push_back(std::make_unique<Font>(font));
    m_sharedFonts.insert(font, m_fonts.back().get());
    return m_fonts.back().get();
}

void Workbook::setActiveSheet(const Worksheet* sheet)
{
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].get() == sheet)
            m_activeSheet = i;
    }
}

bool Workbook::property(Property property, const QString& value)
{
    switch (property) {
    case Property::Title:
    case Property::Subject:
    case Property::Author:
    case Property::Keywords:
    case Property::Comments:
    case Property::LastAuthor:
    case Property::Application:
    case Property::Category:
    case Property::Manager:
    case Property::Company:
        m_properties[property] = value;
        return true;
    }
    return false;
}

void Workbook::windPosition(quint16 x, quint16 y)
{
    m_windowX = x;
    m_windowY = y;
}

void Workbook::windSize(quint16 width, quint16 height)
{
    m_windowWidth = width;
    m_windowHeight = height;
}

void Workbook::firstTab(quint16 tab)
{
    m_firstTab = tab;
}

void Workbook::tabBarWidth(quint16 width)
{
    m_tabBarWidth = qMin<quint16>(width, 1000);
}

int Workbook::fail(int status, const QString& message)
{
    m_lastError = message;
    return status;
}

QByteArray Workbook::workbookStream(QString* error) const
{
    // Which formats the cells use, and the record each becomes: equal formats
    // (fonts, number formats) share one record.
    std::vector<bool> used(m_formats.size(), false);
    used[0] = true;
    quint32 textCells = 0;
    for (const auto& sheet : m_sheets)
        sheet->collectFormats(used, textCells);

    const Font defaultFontValue = *defaultFont();
    QHash<Font, quint16> fontIndex { { defaultFontValue, 0 } };
    std::vector<const Font*> fonts;
    QHash<QString, quint16> formatIndex;
    std::vector<const QString*> customFormats;
    QHash<QByteArray, quint16> recordIndex;
    std::vector<std::array<char, 20>> records;
    std::vector<quint16> xfRecords(m_formats.size(), DefaultCellFormat);
    for (size_t id = 0; id < m_formats.size(); ++id) {
        if (!used[id])
            continue;
        const ExtendedFormat& format = *m_formats[id];
        const Font& font = *format.font();
        auto fontIt = fontIndex.constFind(font);
        if (fontIt == fontIndex.constEnd()) {
            fontIt = fontIndex.insert(font, quint16(FirstUserFont + fonts.size()));
            fonts.push_back(&font);
        }
        quint16 numberFormat = quint16(format.builtinFormat());
        if (const Format* custom = format.format()) {
            auto formatIt = formatIndex.constFind(custom->text());
            if (formatIt == formatIndex.constEnd()) {
                formatIt = formatIndex.insert(
                    custom->text(), quint16(FirstCustomFormat + customFormats.size()));
                customFormats.push_back(&custom->text());
            }
            numberFormat = *formatIt;
        }
        const auto record = format.record(*fontIt, numberFormat);
        const QByteArray key(record.data(), qsizetype(record.size()));
        auto recordIt = recordIndex.constFind(key);
        if (recordIt == recordIndex.constEnd()) {
            recordIt = recordIndex.insert(key, quint16(DefaultCellFormat + records.size()));
            records.push_back(record);
        }
        xfRecords[id] = *recordIt;
    }
    if (StyleFormats + records.size() > size_t(MaxFormatRecords)) {
        *error = QStringLiteral("The workbook has %1 different cell formats; at most %2 can be "
                                "written.")
                     .arg(records.size())
                     .arg(MaxFormatRecords - StyleFormats);
        return {};
    }

    RecordWriter out(qsizetype(textCells) * 14 + 1024 * 1024);
    out.bof(RecordWriter::GlobalsStream);

    out.begin(CodePageRecord);
    out.u16(Utf16CodePage);
    out.end();

    out.begin(Window1Record);
    out.u16(m_windowX);
    out.u16(m_windowY);
    out.u16(m_windowWidth);
    out.u16(m_windowHeight);
    out.u16(0x0038); // scroll bars and sheet tabs shown
    out.u16(quint16(m_activeSheet));
    out.u16(qMin<quint16>(m_firstTab, quint16(m_sheets.size() - 1)));
    out.u16(1); // one sheet selected
    out.u16(m_tabBarWidth);
    out.end();

    for (quint16 i = 0; i < DefaultFonts; ++i)
        writeFont(out, defaultFontValue);
    for (const Font* font : fonts)
        writeFont(out, *font);

    for (size_t i = 0; i < customFormats.size(); ++i) {
        out.begin(FormatRecord);
        out.u16(quint16(FirstCustomFormat + i));
        out.longString(*customFormats[i]);
        out.end();
    }

    for (quint16 i = 0; i < StyleFormats; ++i) {
        const auto style = styleFormat(i == 0);
        out.begin(XfRecord);
        out.bytes(style.data(), qsizetype(style.size()));
        out.end();
    }
    for (const auto& record : records) {
        out.begin(XfRecord);
        out.bytes(record.data(), qsizetype(record.size()));
        out.end();
    }

    out.begin(StyleRecord);
    out.u16(0x8000); // built-in style on format 0
    out.u8(0); // Normal
    out.u8(0xFF);
    out.end();

    std::vector<qsizetype> sheetOffsets;
    for (const auto& sheet : m_sheets) {
        out.begin(BoundSheetRecord);
        sheetOffsets.push_back(out.size());
        out.u32(0);
        out.u8(0); // visible
        out.u8(0); // worksheet
        out.shortString(sheet->name());
        out.end();
    }

    m_strings.write(out, textCells);
    out.eof();

    for (size_t i = 0; i < m_sheets.size(); ++i) {
        out.patchU32(sheetOffsets[i], quint32(out.size()));
        m_sheets[i]->write(out, xfRecords, i == m_activeSheet);
    }
    if (out.size() <= MiniStreamCutoff)
        out.padTo(MiniStreamCutoff + 4);
    return out.take();
}

int Workbook::dump(const QString& path)
{
    return dump(path, false);
}

int Workbook::dumpTemporary(const QString& path)
{
    return dump(path, true);
}

int Workbook::dump(const QString& path, bool temporary)
{
    m_lastError.clear();
    if (m_sheets.empty())
        return fail(InvalidWorkbook, QStringLiteral("A workbook needs at least one sheet."));
    QString error;
    QByteArray stream = workbookStream(&error);
    if (stream.isEmpty())
        return fail(InvalidWorkbook, error);

    CompoundFile file;
    file.addStream(QStringLiteral("Workbook"), std::move(stream));
    PropertySet summary = PropertySet::summaryInformation();
    PropertySet documentSummary = PropertySet::documentSummaryInformation();
    for (const auto& [property, value] : m_properties) {
        switch (property) {
        case Property::Title:
            summary.set(2, value);
            break;
        case Property::Subject:
            summary.set(3, value);
            break;
        case Property::Author:
            summary.set(4, value);
            break;
        case Property::Keywords:
            summary.set(5, value);
            break;
        case Property::Comments:
            summary.set(6, value);
            break;
        case Property::LastAuthor:
            summary.set(8, value);
            break;
        case Property::Application:
            summary.set(18, value);
            break;
        case Property::Category:
            documentSummary.set(2, value);
            break;
        case Property::Manager:
            documentSummary.set(14, value);
            break;
        case Property::Company:
            documentSummary.set(15, value);
            break;
        }
    }
    if (!summary.isEmpty())
        file.addStream(QStringLiteral("\x05SummaryInformation"), summary.stream());
    if (!documentSummary.isEmpty())
        file.addStream(QStringLiteral("\x05"
                                      "DocumentSummaryInformation"),
            documentSummary.stream());

    const auto fileError = [&path](const QString& reason) {
        return QStringLiteral("The workbook cannot be written to \"%1\": %2").arg(path, reason);
    };
    if (temporary) {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(FileError, fileError(out.errorString()));
        bool written = file.write(out) && out.flush();
        const QString reason = out.errorString();
        out.close();
        written = written && out.error() == QFileDevice::NoError;
        if (!written) {
            out.remove();
            return fail(FileError, fileError(reason));
        }
        return Success;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(FileError, fileError(out.errorString()));
    if (!file.write(out)) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return fail(FileError, fileError(reason));
    }
    if (!out.commit())
        return fail(FileError, fileError(out.errorString()));
    return Success;
}

} // namespace platform::xls
