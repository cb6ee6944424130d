#include "site/textout.h"

void TextOut::putEscaped(QStringView text) {
    qsizetype plain = 0; // where the characters not yet written start
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const char *entity = u == '&'   ? "&amp;"
                             : u == '<' ? "&lt;"
                             : u == '>' ? "&gt;"
                             : u == '"' ? "&quot;"
                                        : nullptr;
        if (!entity)
            continue;
        putText(text.mid(plain, i - plain));
        bytes_.append(entity);
        plain = i + 1;
    }
    putText(text.mid(plain));
}

void TextOut::putJs(QStringView text) {
    static const char hex[] = "0123456789abcdef";
    bytes_.append('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            bytes_.append('\\');
            bytes_.append(char(u));
        } else if (u >= 0x20 && u < 0x7f && u != '<' && u != '>') {
            bytes_.append(char(u));
        } else {
            const char escape[] = {
                '\\',       'u', hex[(u >> 12) & 15], hex[(u >> 8) & 15], hex[(u >> 4) & 15],
                hex[u & 15]};
            bytes_.append(escape, 6);
        }
    }
    bytes_.append('"');
}

void TextOut::putJson(QStringView text) {
    static const char hex[] = "0123456789abcdef";
    bytes_.append('"');
    qsizetype plain = 0; // where the characters not yet written start
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u != '"' && u != '\\' && u >= 0x20)
            continue;
        putText(text.mid(plain, i - plain));
        const char escape[] = {'\\', 'u', '0', '0', hex[(u >> 4) & 15], hex[u & 15]};
        if (u >= 0x20)
            bytes_.append("\\").append(char(u));
        else
            bytes_.append(escape, 6);
        plain = i + 1;
    }
    putText(text.mid(plain));
    bytes_.append('"');
}
