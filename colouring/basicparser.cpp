#include "colouring/basicparser.h"

#include "colouring/markedlinewriter.h"
#include "common/charclass.h"

#include <QLatin1String>

namespace {

bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c == QLatin1Char('$') || c == QLatin1Char('%') ||
           c == QLatin1Char('_');
}

} // namespace

ZodiDideCoreBASICParser::ZodiDideCoreBASICParser() {
    static const char *const words[] = {
        "ELSE",      "LIST",     "PRINT",    "WRITE",     "GOTO",      "GOSUB",     "RETURN",
        "IF",        "EACH",     "FOR",      "WHILE",     "REPEAT",    "CASE",      "WHEN",
        "OTHERWISE", "ENDCASE",  "DEFPROC",  "DEFFN",     "NEXT",      "WEND",      "UNTIL",
        "ENDPROC",   "ENDFN",    "EXIT",     "END",       "ENDIF",     "TRY",       "THROW",
        "STOP",      "CALL",     "REM",      "NEW",       "LET",       "RUN",       "MAT",
        "CORE",      "INSTALL",  "REPORT",   "ERROR",     "RECYCLE",   "CONTINUE",  "READ",
        "DATA",      "RESTORE",  "DUMP",     "RANDOMIZE", "SORT",      "REVERSE",   "SHUFFLE",
        "CLS",       "VDU",      "VERSION",  "DIM",       "PAUSE",     "WAIT",      "SYSTEM",
        "TIMER",     "USING",    "INPUT",    "OUTPUT",    "ANALOG",    "DIGITAL",   "MOD",
        "AND",       "OR",       "XOR",      "EQV",       "IMP",       "MAX",       "MIN",
        "CNJ",       "ARG",      "RE",       "IM",        "NOT",       "SGN",       "ABS",
        "INV",       "RND",      "SQR",      "EXP",       "LOG",       "LOG2",      "LOG10",
        "FIX",       "FLT",      "INT",      "CINT",      "STR",       "VAL",       "INF",
        "NAN",       "LEN",      "HIGH",     "TYP",       "ZER",       "IDN",       "CON",
        "COL",       "ROW",      "TRN",      "DET",       "GEN",       "SAMPLE",    "SUM",
        "PI",        "CMPLX",    "QUAT",     "MERGE",     "CLONE",     "LEFT",      "MID",
        "RIGHT",     "INNER",    "REDUCE",   "SELECT",    "PICK",      "IFF",       "TO",
        "IN",        "ON",       "OFF",      "THEN",      "STEP",      "AS",        "UCASE",
        "LCASE",     "LTRIM",    "RTRIM",    "TRIM",      "TRUTH",     "SPC",       "ASC",
        "CHR",       "UTF",      "HEX",      "SHA1$",     "MORSE$",    "PHONETIC$", "ROMAN$",
        "NUMBER$",   "SPOKEN$",  "URI$",     "BASE64$",   "SPLIT",     "JOIN",      "MATCH",
        "MKI",       "MKF",      "CVI",      "CVU",       "EXPAND",    "SUBST$",    "INSERT$",
        "DELETE$",   "STRING$",  "REPEAT$",  "PAPER",     "INK",       "TAB",       "INSTR",
        "CENTER",    "TIME$",    "DATE$",    "JUSTIFY$",  "$NUL",      "$BEL",      "$BS",
        "$TAB",      "$NL",      "$LF",      "$VT",       "$FF",       "$CR",       "$EOF",
        "$ESC",      "$CRLF",    "$CSI",     "$OFF",      "$ON",       "$WS",       "$BLACK",
        "$RED",      "$GREEN",   "$YELLOW",  "$BLUE",     "$MAGENTA",  "$CYAN",     "$WHITE",
        "$BOLD",     "$REGULAR", "$BLINK",   "$STEADY",   "$NEGATIVE", "$POSITIVE", "$UP",
        "$DOWN",     "$RIGHT",   "$LEFT",    "$BOOT",     "$RUN",      "$NET",      "$WORK",
        "%NUL",      "%BEL",     "%BS",      "%TAB",      "%LF",       "%VT",       "%FF",
        "%CR",       "%EOF",     "%ESC",     "%WIDTH",    "%HEIGT",    "CIS",       "SIN",
        "COS",       "TAN",      "ASN",      "ACS",       "ATN",       "DEG",       "RAD",
        "SINH",      "COSH",     "TANH",     "ASNH",      "ACSH",      "ATNH",      "CEIL",
        "ATN2",      "DOT",      "CROSS",    "ROT",       "%E",        "%PI",       "%I",
        "%TRUE",     "%FALSE",   "TRUE",     "FALSE",     "NET",       "MAIL",      "DNS",
        "IP$",       "SOCKET",   "HELP",     "WEB",       "EXAMPLE",   "GFX",       "RED",
        "GREEN",     "BLUE",     "COLOR$",   "RGB",       "CLG",       "ORIGIN",    "SCALE",
        "ANGLE",     "MOVE",     "LINE",     "PLOT",      "FILL",      "RECTANGLE", "CIRCLE",
        "FONT",      "COLOR",    "DRAW",     "CONTRAST",  "BACKLIGHT", "FORWARD",   "BACK",
        "TURTLE",    "%BLACK",   "%RED",     "%GREEN",    "%BLUE",     "%YELLOW",   "%CYAN",
        "%MAGENTA",  "%WHITE",   "%COLOR",   "CATALOG",   "DIR",       "CHDIR",     "MKDIR",
        "RMDIR",     "KILL",     "LOAD",     "CHAIN",     "SAVE",      "NAME",      "MORE",
        "OPEN",      "CLOSE",    "FLUSH",    "EOF",       "EXT",       "PTR",       "GET$",
        "GET",       "%OUT",     "%IN",      "EDIT",      "DEBUG",     "RENUMBER",  "DELETE",
        "AUTO",      "CHECK",    "CRUNCH",   "PIN",       "I2C",       "SPI",       "CREDITS",
        "REBOOT",    "BYE",      "FIRMWARE", "WATCHDOG",
    };
    for (const char *word : words)
        keywords_.insert(QLatin1String(word));
}

QChar *ZodiDideCoreBASICParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output, MarkedLineWriter::NoStyle);
    const QChar *p = input;
    while (charclass::isSpace(*p))
        out.put(*p++);
    if (charclass::isDigit(*p)) {
        out.marker(StyleDisassembly);
        while (charclass::isDigit(*p))
            out.put(*p++);
    }
    while (!p->isNull()) {
        const QChar c = *p;
        if (c == QLatin1Char('"')) {
            out.copyAs(StyleLiteral, p, 1);
            while (!p->isNull()) {
                const QChar s = *p;
                out.put(*p++);
                if (s == QLatin1Char('"'))
                    break;
            }
        } else if (c == QLatin1Char('\'')) {
            out.emit(StyleComment);
            while (!p->isNull())
                out.put(*p++);
        } else if (c == QLatin1Char('.')) {
            // A member or a fraction: it keeps whatever style precedes it.
            out.put(*p++);
            while (isWordChar(*p))
                out.put(*p++);
        } else if (charclass::isDigit(c)) {
            out.emit(StyleLiteral);
            while (charclass::isAlnum(*p))
                out.put(*p++);
        } else if (isWordChar(c)) {
            const QChar *end = p;
            while (isWordChar(*end))
                ++end;
            // Keywords are ASCII, so an ASCII upper-casing is all the lookup needs.
            const QString upper = QStringView(p, end - p).toString().toUpper();
            if (upper == QLatin1String("REM")) {
                out.emit(StyleComment);
                while (!p->isNull())
                    out.put(*p++);
                break;
            }
            out.emit(keywords_.contains(upper) ? StyleKeyword : StyleText);
            while (p != end)
                out.put(*p++);
        } else if (charclass::isPunct(c)) {
            out.copyAs(StyleOperator, p, 1);
        } else if (charclass::isSpace(c)) {
            out.put(*p++);
        } else {
            out.copyAs(StyleText, p, 1);
        }
    }
    return out.finish();
}
