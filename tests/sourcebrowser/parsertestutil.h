#ifndef TESTS_SOURCEBROWSER_PARSERTESTUTIL_H
#define TESTS_SOURCEBROWSER_PARSERTESTUTIL_H

#include "sourcebrowser/cparser.h"

#include <QStringList>

#include <ostream>

// Lets test failures show texts readably.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toUtf8().constData() << '"';
}

// Serves lines from a string.
class TextLines : public SourceBrowserLineIterator {
public:
    explicit TextLines(const QString &text) : m_lines(text.split(QLatin1Char('\n'))) {}
    bool getLine(QString &line) override {
        if (m_next >= m_lines.size())
            return false;
        line = m_lines.at(m_next++);
        return true;
    }

private:
    QStringList m_lines;
    qsizetype m_next = 0;
};

// A parser over a string that records its error messages.
class TextParser : public SourceBrowserCParser {
public:
    explicit TextParser(SourceBrowserRoot *root) : SourceBrowserCParser(root) {}

    void parse(const QString &text, const QString &fileName = QStringLiteral("test.h")) {
        // A trailing line end does not make one more (empty) line.
        m_lines = TextLines(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text);
        parseFile(fileName);
    }
    bool getLine(QString &line) override { return m_lines.getLine(line); }
    void errorMessage(const QString &fileName, int line, const QString &message) override {
        errors.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
    }

    QStringList errors; // "file:line: message"

private:
    TextLines m_lines{QString()};
};

#endif
