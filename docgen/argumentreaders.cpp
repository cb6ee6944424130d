#include "docgen/argumentreaders.h"

#include "common/charclass.h"
#include "common/findeither.h"

namespace {

// Letters, digits and the underscore: the characters of an unbraced word argument.
bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c.unicode() == '_';
}

bool atEnd(MarkupCursor cursor) {
    return cursor->isNull();
}

// The first of a or b from cursor on, or end.
MarkupCursor findEither(MarkupCursor cursor, MarkupCursor end, char16_t a, char16_t b) {
    if (cursor >= end)
        return cursor;
    return reinterpret_cast<MarkupCursor>(::findEither(
        reinterpret_cast<const char16_t *>(cursor), reinterpret_cast<const char16_t *>(end), a, b));
}

// The cursor stands on "{": collect up to "}" or a line end, consuming the closer.
QStringView readBraced(MarkupCursor &cursor, MarkupCursor end) {
    const QChar *start = ++cursor;
    cursor = findEither(cursor, end, u'}', u'\n');
    const QStringView result(start, cursor - start);
    if (cursor != end)
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

QString readBracedOrWord(MarkupCursor &cursor, MarkupCursor end) {
    return readBracedOrWordView(cursor, end).toString();
}

QStringView readBracedOrWordView(MarkupCursor &cursor, MarkupCursor end) {
    if (*cursor == u'{')
        return readBraced(cursor, end);
    skipSpaces(cursor);
    const QChar *start = cursor;
    if (isWordChar(*cursor)) {
        while (isWordChar(*cursor))
            ++cursor;
    } else {
        while (!atEnd(cursor) && !charclass::isSpace(*cursor) && *cursor != u'\\')
            ++cursor;
    }
    return QStringView(start, cursor - start);
}

QString readBracedOrLine(MarkupCursor &cursor, MarkupCursor end) {
    if (*cursor == u'{')
        return readBraced(cursor, end).toString();
    skipSpaces(cursor);
    const QChar *start = cursor;
    cursor = findEither(cursor, end, u'\\', u'\n');
    QString result(start, int(cursor - start));
    if (*cursor == u'\n')
        ++cursor;
    return result;
}
