#pragma once

#include <QString>

// Whether the system's 8-bit encoding, which Qt reads and writes files and file names
// in, is UTF-8, as it is on every Unix that Qt 6 runs on. Where it is, text can be
// decoded a run at a time and names encoded by the faster UTF-8 conversion, with the
// same result. Asked once.
inline bool systemEncodingIsUtf8() {
    static const bool utf8 = QString::fromLocal8Bit("\xc3\xa9\xf0\x9f\x98\x80") ==
                             QString::fromUtf8("\xc3\xa9\xf0\x9f\x98\x80");
    return utf8;
}
