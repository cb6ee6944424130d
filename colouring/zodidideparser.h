#pragma once

#include <QString>
#include <QStringList>

// Base of every language colourer. A colourer turns one line at a time into a marked
// buffer (see MarkedLineWriter) and carries whatever must survive the end of a line,
// such as an open block comment, in lineState.
class ZodiDideParser {
public:
    ZodiDideParser() = default;
    ZodiDideParser(const ZodiDideParser &) = delete;
    ZodiDideParser &operator=(const ZodiDideParser &) = delete;

    // Colours the 0-terminated line at input into output and returns the position just
    // past the terminating 0 written there. output must hold five characters per input
    // character plus three. A colourer that counts braces adjusts *braceDepth. A null
    // input yields an empty buffer.
    virtual QChar *colourLine(const QChar *input, QChar *output, int *braceDepth) = 0;

    // The bracket pairs of the language, each bracket preceded by a backslash.
    virtual QString bracketCharacters() const;

    virtual ~ZodiDideParser();

    void setLineState(int state) { m_lineState = state; }
    int lineState() const { return m_lineState; }

protected:
    int m_lineState = 0;
    QStringList keywords;
    QStringList secondaryKeywords;
    QStringList controlWords;
    QString blockCommentStart;
    QString blockCommentEnd;
    QStringList lineCommentStarts;
};
