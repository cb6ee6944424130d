#include "parsertestutil.h"

TextLines::TextLines(const QString &text) : m_lines(text.split(QLatin1Char('\n'))) {}

bool TextLines::getLine(QString &line) {
    if (m_next >= m_lines.size())
        return false;
    line = m_lines.at(m_next++);
    return true;
}

void RecordingEvents::preprocessorLine(const QString &text, int line) {
    log.append(QStringLiteral("pp %1 %2").arg(line).arg(text));
}

void RecordingEvents::markerComment(const QString &word, int line, int lineNumber) {
    log.append(QStringLiteral("marker %1 %2 %3").arg(word).arg(line).arg(lineNumber));
}

void RecordingEvents::declarationStarted(int kind, const QString &name, const QString &text,
                                         const QString &context, int line) {
    log.append(
        QStringLiteral("start %1 %2 [%3] [%4] %5").arg(kind).arg(name, text, context).arg(line));
}

void RecordingEvents::declarationFinished() {
    log.append(QStringLiteral("finish"));
}

void RecordingEvents::variableDeclared(int kind, const QString &name, const QString &text,
                                       int line) {
    log.append(QStringLiteral("var %1 %2 [%3] %4").arg(kind).arg(name, text).arg(line));
}

void RecordingEvents::accessChanged(int access, int line) {
    log.append(QStringLiteral("access %1 %2").arg(access).arg(line));
}

void TextParser::parse(const QString &text, const QString &fileName,
                       const QStringList &markerWords) {
    // A trailing line end does not make one more (empty) line.
    m_lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        m_lines.removeLast();
    m_next = 0;
    parseFile(fileName, markerWords);
}

bool TextParser::getLine(QString &line) {
    if (m_next >= m_lines.size())
        return false;
    line = m_lines.at(m_next++);
    return true;
}

void TextParser::errorMessage(const QString &fileName, int line, const QString &message) {
    errors.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
}
