#pragma once

#include <QtGlobal>

// The options a workbook's fonts and formats take. Where the file format has a code for
// an option, the enumerator's value is that code, so a caller's integer passes straight
// through to the record.
namespace platform::xls {

// The last row and column a BIFF8 sheet can address, and the longest cell text.
constexpr int MaxRow = 65535;
constexpr int MaxColumn = 255;
constexpr int MaxTextLength = 32767;

enum class HAlign : quint8 {
    General = 0,
    Left = 1,
    Center = 2,
    Right = 3,
    Fill = 4,
    Justify = 5,
    CenterAcross = 6,
    Distributed = 7,
};

enum class VAlign : quint8 {
    Top = 0,
    Center = 1,
    Bottom = 2,
    Justify = 3,
    Distributed = 4,
};

enum class TextOrientation : quint8 {
    Horizontal = 0,
    Stacked = 1, // letters one below the other
    Upwards = 2, // turned 90 degrees counter-clockwise
    Downwards = 3, // turned 90 degrees clockwise
};

enum class BorderSide : quint8 {
    Top = 0,
    Bottom = 1,
    Left = 2,
    Right = 3,
};

enum class BorderStyle : quint8 {
    None = 0,
    Thin = 1,
    Medium = 2,
    Dashed = 3,
    Dotted = 4,
    Thick = 5,
    Double = 6,
    Hair = 7,
    MediumDashed = 8,
    DashDot = 9,
    MediumDashDot = 10,
    DashDotDot = 11,
    MediumDashDotDot = 12,
    SlantedDashDot = 13,
};

enum class FillPattern : quint8 {
    None = 0,
    Solid = 1,
    Gray50 = 2,
    Gray75 = 3,
    Gray25 = 4,
    HorizontalStripe = 5,
    VerticalStripe = 6,
    ReverseDiagonalStripe = 7,
    DiagonalStripe = 8,
    DiagonalCrosshatch = 9,
    ThickDiagonalCrosshatch = 10,
    ThinHorizontalStripe = 11,
    ThinVerticalStripe = 12,
    ThinReverseDiagonalStripe = 13,
    ThinDiagonalStripe = 14,
    ThinHorizontalCrosshatch = 15,
    ThinDiagonalCrosshatch = 16,
    Gray12 = 17,
    Gray6 = 18,
};

// Indices into the workbook's default colour palette.
enum class ColorName : quint8 {
    Black = 8,
    White = 9,
    Red = 10,
    BrightGreen = 11,
    Blue = 12,
    Yellow = 13,
    Pink = 14,
    Turquoise = 15,
    DarkRed = 16,
    Green = 17,
    DarkBlue = 18,
    DarkYellow = 19,
    Violet = 20,
    Teal = 21,
    Gray25 = 22,
    Gray50 = 23,
    Periwinkle = 24,
    Plum = 25,
    Ivory = 26,
    LightTurquoise = 27,
    DarkPurple = 28,
    Coral = 29,
    OceanBlue = 30,
    IceBlue = 31,
    SkyBlue = 40,
    LightGreen = 42,
    LightYellow = 43,
    PaleBlue = 44,
    Rose = 45,
    Lavender = 46,
    Tan = 47,
    LightBlue = 48,
    Aqua = 49,
    Lime = 50,
    Gold = 51,
    LightOrange = 52,
    Orange = 53,
    BlueGray = 54,
    Gray40 = 55,
    DarkTeal = 56,
    SeaGreen = 57,
    DarkGreen = 58,
    OliveGreen = 59,
    Brown = 60,
    Indigo = 62,
    Gray80 = 63,
    Automatic = 64, // the system's window text (foreground) colour
};

// The font's weight; 0 is bold.
enum class Boldness : quint8 {
    Bold = 0,
    Half = 1,
    Normal = 2,
    Double = 3,
};

enum class Underline : quint8 {
    None = 0x00,
    Single = 0x01,
    Double = 0x02,
    SingleAccounting = 0x21,
    DoubleAccounting = 0x22,
};

enum class Script : quint8 {
    None = 0,
    Superscript = 1,
    Subscript = 2,
};

// The number formats every reader knows by index.
enum class NumberFormat : quint16 {
    General = 0,
    Integer = 1, // 0
    Decimal2 = 2, // 0.00
    Thousands = 3, // #,##0
    Thousands2 = 4, // #,##0.00
    Currency = 5, // "$"#,##0_);("$"#,##0)
    CurrencyRed = 6, // "$"#,##0_);[Red]("$"#,##0)
    Currency2 = 7, // "$"#,##0.00_);("$"#,##0.00)
    Currency2Red = 8, // "$"#,##0.00_);[Red]("$"#,##0.00)
    Percent = 9, // 0%
    Percent2 = 10, // 0.00%
    Scientific = 11, // 0.00E+00
    Fraction = 12, // # ?/?
    Fraction2 = 13, // # ??/??
    Date = 14, // the reader's short date
    DayMonthYear = 15, // d-mmm-yy
    DayMonth = 16, // d-mmm
    MonthYear = 17, // mmm-yy
    Time12Minutes = 18, // h:mm AM/PM
    Time12Seconds = 19, // h:mm:ss AM/PM
    TimeMinutes = 20, // h:mm
    TimeSeconds = 21, // h:mm:ss
    DateTime = 22, // the reader's short date and h:mm
    Accounting = 37, // #,##0_);(#,##0)
    AccountingRed = 38, // #,##0_);[Red](#,##0)
    Accounting2 = 39, // #,##0.00_);(#,##0.00)
    Accounting2Red = 40, // #,##0.00_);[Red](#,##0.00)
    MinutesSeconds = 45, // mm:ss
    Duration = 46, // [h]:mm:ss
    MinutesSeconds0 = 47, // mm:ss.0
    Engineering = 48, // ##0.0E+0
    Text = 49, // @
};

// Document properties; the first group goes to the summary information, the second to
// the document summary information.
enum class Property : int {
    Title = 1,
    Subject = 2,
    Author = 3,
    Keywords = 4,
    Comments = 5,
    LastAuthor = 6,
    Application = 7,
    Category = 8,
    Manager = 9,
    Company = 10,
};

} // namespace platform::xls
