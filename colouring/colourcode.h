#pragma once

#include "colouring/codelinks.h"

#include <QString>

class ZodiDideParser;

// Returns the HTML for a code sample: every line coloured by the colourer of the named
// language, or the escaped text alone when no colourer exists for that name.
QString colourCode(const QString &code, const QString &language);

// Appends colourCode(code, language) to out without building the HTML apart first. With
// links, C code links the names they hold; the text and the spans stay as they are.
void appendColouredCode(QString &out, QStringView code, const QString &language,
                        const CodeLinks *links = nullptr);

// Appends text escaped as HTML, with the names that links holds linked as in code.
void appendLinkedText(QString &out, QStringView text, const CodeLinks &links);

// The language name used for a file with this suffix when no language is given.
QString languageForSuffix(const QString &suffix);

// A new colourer for a language name (compared with exact case), or null.
ZodiDideParser *createColourer(const QString &language);

// The program-wide colourer for a language, created on first request and kept until the
// program ends, or null when the language has none. colourCode uses the same objects, so
// their line state carries from one sample to the next.
ZodiDideParser *cachedColourer(const QString &language);
