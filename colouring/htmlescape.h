#pragma once

#include <QLatin1String>
#include <QString>

// The entity that stands for c in HTML text, or an empty string when c stands for itself.
inline QLatin1String xmlEntity(QChar c) {
    switch (c.unicode()) {
    case '&':
        return QLatin1String("&amp;");
    case '>':
        return QLatin1String("&gt;");
    case '<':
        return QLatin1String("&lt;");
    case '"':
        return QLatin1String("&quot;");
    case '\'':
        return QLatin1String("&apos;");
    case 0x00B7:
        return QLatin1String("&middot;");
    default:
        return QLatin1String();
    }
}

// The longest entity xmlEntity() gives.
constexpr qsizetype MaxXmlEntityLength = 8;

// Escapes the characters that HTML gives a meaning to. The ampersand goes first so that
// the entities written for the later characters are not escaped again.
QString escapeXml(const QString &text);

// Appends escapeXml(text) to out without building an intermediate string.
void appendEscapedXml(QString &out, QStringView text);

// For output sized once and written through a pointer: the size of escapeXml(text), and
// escapeXml(text) written at out, returning where it ends.
qsizetype escapedXmlSize(QStringView text);
QChar *copyEscapedXml(QChar *out, QStringView text);
