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

// Records every notification as one line of text, for comparison with a list.
class RecordingEvents : public SourceBrowserEventInterface {
public:
    void preprocessorLine(const QString &text, int line) override {
        log.append(QStringLiteral("pp %1 %2").arg(line).arg(text));
    }
    void markerComment(const QString &word, int line, int lineNumber) override {
        log.append(QStringLiteral("marker %1 %2 %3").arg(word).arg(line).arg(lineNumber));
    }
    void declarationStarted(int kind, const QString &name, const QString &text,
                            const QString &context, int line) override {
        log.append(QStringLiteral("start %1 %2 [%3] [%4] %5")
                       .arg(kind)
                       .arg(name, text, context)
                       .arg(line));
    }
    void declarationFinished() override { log.append(QStringLiteral("finish")); }
    void variableDeclared(int kind, const QString &name, const QString &text, int line) override {
        log.append(QStringLiteral("var %1 %2 [%3] %4").arg(kind).arg(name, text).arg(line));
    }
    void accessChanged(int access, int line) override {
        log.append(QStringLiteral("access %1 %2").arg(access).arg(line));
    }

    QStringList log;
};

// A parser over a string that records its status and error messages.
class TextParser : public SourceBrowserCParser {
public:
    explicit TextParser(SourceBrowserRoot *root, SourceBrowserEventInterface *events = nullptr)
        : SourceBrowserCParser(root, events) {}

    void parse(const QString &text, const QString &fileName = QStringLiteral("test.h"),
               const QStringList &markerWords = QStringList()) {
        // A trailing line end does not make one more (empty) line.
        m_lines = TextLines(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text);
        parseFile(fileName, markerWords);
    }
    bool getLine(QString &line) override { return m_lines.getLine(line); }
    void statusMessage(const QString &text) override { status.append(text); }
    void errorMessage(const QString &fileName, int line, const QString &message) override {
        errors.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
    }

    QStringList status;
    QStringList errors; // "file:line: message"

private:
    TextLines m_lines{QString()};
};

#endif
