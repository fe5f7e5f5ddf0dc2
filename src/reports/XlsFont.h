#pragma once

#include "platform/xls/Font.h"

#include <QString>

// A font of a workbook (owned by the workbook). Enumerated options are the writer's
// own codes passed as integers: bold style 0 is bold, 2 regular.
class XlsFont {
public:
    explicit XlsFont(platform::xls::Font* font);

    platform::xls::Font* font() const { return aFont; }

    void setName(const QString& name);
    QString name() const;
    // Twentieths of a point.
    void setHeight(quint16 height);
    quint16 height() const;
    void setBoldStyle(int style);
    int boldStyle() const;
    void setUnderlineStyle(int style);
    int underlineStyle() const;
    void SetScriptStyle(int style);
    int scriptStyle() const;
    void setColorName(int color);
    void setColorIndex(quint8 color);
    quint16 colorIndex() const;
    void setItalic(bool on);
    bool italic() const;
    void setStrikeout(bool on);
    bool strikeOut() const;
    void setOutline(bool on);
    bool outline() const;
    void setShadow(bool on);
    bool shadow() const;
    void setFamily(quint8 family);
    quint8 family() const;
    void setCharset(quint8 charset);
    quint8 charset() const;

private:
    platform::xls::Font* aFont;
};
