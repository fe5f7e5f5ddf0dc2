#pragma once

#include "platform/xls/ExtendedFormat.h"
#include "platform/xls/Font.h"
#include "platform/xls/Format.h"
#include "platform/xls/Options.h"
#include "platform/xls/SharedStringTable.h"
#include "platform/xls/Worksheet.h"

#include <QHash>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace platform::xls {

// A BIFF8 workbook (the .xls format) built in memory and written in one go. The
// workbook owns its sheets, fonts, number formats and cell formats; the pointers it
// hands out stay valid as long as it lives.
class Workbook {
public:
    // Results of dump().
    static constexpr int Success = 0;
    static constexpr int InvalidWorkbook = 1;
    static constexpr int FileError = 2;

    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A new sheet at the end. The name is cut to the 31 characters a sheet name holds.
    Worksheet* sheet(const QString& name);
    const std::vector<std::unique_ptr<Worksheet>>& sheets() const { return m_sheets; }

    // A new font of the default look with that name.
    Font* font(const QString& name);
    // A new custom number format.
    Format* format(const QString& text);
    // A new cell format of the default settings, with the given font (the default
    // font when null).
    ExtendedFormat* xformat(Font* font = nullptr);

    // Sets a document property; false for an unknown property.
    bool property(Property property, const QString& value);

    // The application window in twips, the first tab shown, and the tab bar's share of
    // the window's width in thousandths.
    void windPosition(quint16 x, quint16 y);
    void windSize(quint16 width, quint16 height);
    void firstTab(quint16 tab);
    void tabBarWidth(quint16 width);

    // Writes the file through a temporary file renamed into place, so a failure leaves
    // nothing behind, not even an old file changed. Returns Success or the failure,
    // described by lastError().
    int dump(const QString& path);
    // The same for a file that is read back and removed at once: written in place, without
    // waiting for the disk; a failure removes what was written.
    int dumpTemporary(const QString& path);
    const QString& lastError() const { return m_lastError; }

    // The format cells get when none is given, and the font of new formats.
    ExtendedFormat* defaultFormat() const { return m_formats.front().get(); }
    Font* defaultFont() const { return m_fonts.front().get(); }

    // For sheets and cells.
    SharedStringTable& strings() { return m_strings; }
    ExtendedFormat* formatById(quint32 id) const { return m_formats[id].get(); }
    // A format (font) of the workbook equal to the given one, made when there is none:
    // what copy-on-write setters give a cell, so equal formats are one object.
    ExtendedFormat* shared(const ExtendedFormat& format);
    Font* shared(const Font& font);
    ExtendedFormat* duplicate(const ExtendedFormat& format);
    void setActiveSheet(const Worksheet* sheet);

private:
    QByteArray workbookStream(QString* error) const;
    int dump(const QString& path, bool temporary);
    int fail(int status, const QString& message);

    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    std::vector<std::unique_ptr<Font>> m_fonts;
    std::vector<std::unique_ptr<Format>> m_numberFormats;
    std::vector<std::unique_ptr<ExtendedFormat>> m_formats;
    QHash<ExtendedFormat, quint32> m_sharedFormats;
    QHash<Font, Font*> m_sharedFonts;
    SharedStringTable m_strings;
    std::map<Property, QString> m_properties;
    size_t m_activeSheet = 0;
    quint16 m_windowX = 0;
    quint16 m_windowY = 0;
    quint16 m_windowWidth = 19200;
    quint16 m_windowHeight = 11520;
    quint16 m_firstTab = 0;
    quint16 m_tabBarWidth = 600;
    QString m_lastError;
};

} // namespace platform::xls
