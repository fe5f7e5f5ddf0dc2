#pragma once

#include <QtGlobal>

// Text encodings of byte streams, numbered as the platform numbers its string encodings,
// since the number is what callers pass and get back. Zero stands for "not known yet".
enum class StringEncoding : quint64 {
    Unknown = 0,
    UTF8 = 4,
    UTF16 = 10, // with a byte-order mark, in the machine's order
    MacOSRoman = 30,
    ISO2022KR = 0x80000840,
    UTF32 = 0x8c000100, // with a byte-order mark, in the machine's order
    UTF16BigEndian = 0x90000100,
    UTF16LittleEndian = 0x94000100,
    UTF32BigEndian = 0x98000100,
    UTF32LittleEndian = 0x9c000100,
};
