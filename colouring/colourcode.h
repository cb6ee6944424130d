#pragma once

#include <QString>

class ZodiDideParser;

// Returns the HTML for a code sample: every line coloured by the colourer of the named
// language, or the escaped text alone when no colourer exists for that name.
QString colourCode(const QString &code, const QString &language);

// Appends colourCode(code, language) to out without building the HTML apart first.
void appendColouredCode(QString &out, QStringView code, const QString &language);

// The language name used for a file with this suffix when no language is given.
QString languageForSuffix(const QString &suffix);

// A new colourer for a language name (compared with exact case), or null.
ZodiDideParser *createColourer(const QString &language);

// The program-wide colourer for a language, created on first request and kept until the
// program ends, or null when the language has none. colourCode uses the same objects, so
// their line state carries from one sample to the next.
ZodiDideParser *cachedColourer(const QString &language);

// Code coloured ahead of its turn, on any thread, by a colourer of that thread's own
// that starts in the first line state: the HTML that appendColouredCode gives while the
// program-wide colourer is in that state, and the state the code leaves it in.
struct ColouredAhead {
    // Held as made: what is coloured ahead waits for a few hundred pages at most, and
    // a compact form would be widened again on the thread that makes the pages.
    QString html;
    int endState = 0;
};
ColouredAhead colourAhead(QStringView code, const QString &language);

// Appends code coloured ahead and moves the program-wide colourer on as colouring it
// would have, when that colourer is in the first line state; returns false and appends
// nothing when it is not (the code must then be coloured in its turn).
bool appendColouredAhead(QString &out, const ColouredAhead &coloured, const QString &language);
