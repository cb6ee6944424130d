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
    explicit TextLines(const QString &text);
    bool getLine(QString &line) override;

private:
    QStringList m_lines;
    qsizetype m_next = 0;
};

// Records every notification as one line of text, for comparison with a list.
class RecordingEvents : public SourceBrowserEventInterface {
public:
    void preprocessorLine(const QString &text, int line) override;
    void markerComment(const QString &word, int line, int lineNumber) override;
    void declarationStarted(int kind, const QString &name, const QString &text,
                            const QString &context, int line) override;
    void declarationFinished() override;
    void variableDeclared(int kind, const QString &name, const QString &text, int line) override;
    void accessChanged(int access, int line) override;

    QStringList log;
};

// A parser over a string that records its status and error messages.
class TextParser : public SourceBrowserCParser {
public:
    explicit TextParser(SourceBrowserRoot *root, SourceBrowserEventInterface *events = nullptr)
        : SourceBrowserCParser(root, events) {}

    void parse(const QString &text, const QString &fileName = QStringLiteral("test.h"),
               const QStringList &markerWords = QStringList());
    bool getLine(QString &line) override;
    void statusMessage(const QString &text) override { status.append(text); }
    void errorMessage(const QString &fileName, int line, const QString &message) override;

    QStringList status;
    QStringList errors; // "file:line: message"

private:
    QStringList m_lines;
    qsizetype m_next = 0;
};

#endif
