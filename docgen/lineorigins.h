#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// Where each line of a text handed to the interpreter came from. The preprocessor
// joins the lines of a manual and of the sources it includes into one text; warnings
// about that text name the file and line the writer edits. Only the points where the
// numbering jumps are kept (a dropped line, an include), so the table stays small and
// the text itself is never copied.
class LineOrigins {
public:
    struct Origin {
        QString file; // empty when nothing was recorded
        int line = 0; // one-based; 0 when unknown
    };

    void clear();
    // Starts a text that comes from file from line `line` on, in one piece.
    void start(const QString &file, int line);
    // Line textLine (zero-based) of the text is line `line` (one-based) of file. Lines
    // that follow on from the previous call need not be recorded.
    void map(int textLine, const QString &file, int line);
    Origin find(int textLine) const;
    // The files other than the one of line `from` that lines from to `to` (zero-based)
    // came from, each once, with the first of its lines there, in the order of the text.
    std::vector<Origin> otherFiles(int from, int to) const;

private:
    struct Segment {
        int textLine;
        int file; // index into files_
        int line;
    };
    // The first segment that starts after textLine.
    std::vector<Segment>::const_iterator segmentAfter(int textLine) const;

    std::vector<Segment> segments_;
    QStringList files_;
    QHash<QString, int> fileIndex_;
};
