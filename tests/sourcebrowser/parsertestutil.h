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
    explicit TextLines(const QString &text) : lines_(text.split(QLatin1Char('\n'))) {}
    bool getLine(QStringView &line) override {
        if (next_ >= lines_.size())
            return false;
        line = lines_.at(next_++);
        return true;
    }

private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// A parser over a string that records its error messages.
class TextParser : public SourceBrowserCParser {
public:
    explicit TextParser(SourceBrowserRoot *root) : SourceBrowserCParser(root) {}

    void parse(const QString &text, const QString &fileName = QStringLiteral("test.h")) {
        // A trailing line end does not make one more (empty) line.
        lines_ = TextLines(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text);
        parseFile(fileName);
    }
    bool getLine(QStringView &line) override { return lines_.getLine(line); }
    void errorMessage(const QString &fileName, int line, const QString &message) override {
        errors.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
    }

    QStringList errors; // "file:line: message"

private:
    TextLines lines_{QString()};
};

#endif
