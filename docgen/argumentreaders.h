#pragma once

#include <QString>
#include <QStringView>

// A position in a markup text. Texts are read from QString storage, which always ends
// with a NUL character, so the end of the text (or an embedded NUL) is where the
// cursor points at a null character.
using MarkupCursor = const QChar *;

// The readers below take the end of the text as well: the first NUL character at or
// after the cursor, where a reader stops. Known, it lets them look for the end of an
// argument several characters at a time.

// Reads "{...}" (up to "}", a line end or the end; braces do not nest), or else,
// after spaces, a run of letters, digits and "_", or else the characters up to white
// space or a backslash.
QString readBracedOrWord(MarkupCursor &cursor, MarkupCursor end);
// The same as a view into the text, for a reader that only copies it on.
QStringView readBracedOrWordView(MarkupCursor &cursor, MarkupCursor end);

// Reads "{...}" as readBracedOrWord does, or else, after spaces, the rest of the line
// up to a backslash; a line end is consumed, a backslash is left for the reader.
QString readBracedOrLine(MarkupCursor &cursor, MarkupCursor end);

// Skips the space characters (not tabs or line ends) at the cursor.
void skipSpaces(MarkupCursor &cursor);

// Skips the spaces after a code block's command and the line end after them, if any:
// where the block's text starts.
void skipToBlockText(MarkupCursor &cursor);
