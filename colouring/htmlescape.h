#pragma once

#include <QString>

// Escapes the characters that HTML gives a meaning to. The ampersand goes first so that
// the entities written for the later characters are not escaped again.
QString escapeXml(const QString &text);

// Appends escapeXml(text) to out without building an intermediate string.
void appendEscapedXml(QString &out, QStringView text);
