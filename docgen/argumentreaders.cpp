#include "docgen/argumentreaders.h"

#include "common/charclass.h"

namespace {

// Letters, digits and the underscore: the characters of an unbraced word argument.
bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c.unicode() == '_';
}

bool atEnd(MarkupCursor cursor) {
    return cursor->isNull();
}

// The cursor stands on "{": collect up to "}" or a line end, consuming the closer.
QString readBraced(MarkupCursor &cursor) {
    const QChar *start = ++cursor;
    while (!atEnd(cursor) && *cursor != u'}' && *cursor != u'\n')
        ++cursor;
    QString result(start, int(cursor - start));
    if (!atEnd(cursor))
        ++cursor;
    return result;
}

} // namespace

void skipSpaces(MarkupCursor &cursor) {
    while (*cursor == u' ')
        ++cursor;
}

void skipToBlockText(MarkupCursor &cursor) {
    skipSpaces(cursor);
    if (*cursor == u'\n' || *cursor == u'\r')
        ++cursor;
}

QString readBracedOrWord(MarkupCursor &cursor) {
    if (*cursor == u'{')
        return readBraced(cursor);
    skipSpaces(cursor);
    const QChar *start = cursor;
    if (isWordChar(*cursor)) {
        while (isWordChar(*cursor))
            ++cursor;
    } else {
        while (!atEnd(cursor) && !charclass::isSpace(*cursor) && *cursor != u'\\')
            ++cursor;
    }
    return QString(start, int(cursor - start));
}

QString readBracedOrLine(MarkupCursor &cursor) {
    if (*cursor == u'{')
        return readBraced(cursor);
    skipSpaces(cursor);
    const QChar *start = cursor;
    while (!atEnd(cursor) && *cursor != u'\\' && *cursor != u'\n')
        ++cursor;
    QString result(start, int(cursor - start));
    if (*cursor == u'\n')
        ++cursor;
    return result;
}
