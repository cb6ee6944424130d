#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// Warnings about mistakes in the inputs, switched on by QUILLGEN_WARNINGS. Each is one
// line on standard error in the form compilers use, so that editors and CI annotate it:
//   FILE:LINE: warning: MESSAGE [category]
// Off (the default) nothing is recorded or printed and every hook costs one test.
//
// Besides printing, it keeps what the run needs to judge across inputs: the pages
// claimed so far (a later page of the same name replaces the earlier) and the links
// and images to look for once the last page is written.
class Diagnostics {
public:
    // Reads the comma-separated words of QUILLGEN_WARNINGS. Returns the first word it
    // does not know, or an empty string.
    QString configure(const QString &words);

    bool enabled() const { return enabled_; }
    // "error": the run exits with status 2 when any warning was given.
    bool failsRun() const { return failsRun_; }
    // "undocumented": declarations without a documentation comment are reported too.
    bool reportsUndocumented() const { return undocumented_; }

    // Records one warning; a line of 0 or less leaves the line out.
    void warn(const QString &file, int line, const QString &message, const char *category);
    // Prints the warnings recorded since the last flush, ordered by file (in the order
    // the files were first named) and line: the stages of an input find mistakes in
    // different orders, the writer reads them in the order of the text.
    void flush();
    int count() const { return count_; }
    // Makes flush also append each warning it prints, without its newline, to lines
    // (for a program that shows them elsewhere too); null stops that.
    void keepPrinted(QStringList *lines) { printed_ = lines; }

    // Called before each input of the run.
    void beginInput() { ++input_; }
    // Claims a page file, named as the page is written, for the current input. Returns
    // whether an earlier claim exists, and whether that came from an earlier input.
    enum Claim { Fresh, ClaimedBefore, ClaimedByEarlierInput };
    Claim claimPage(const QString &fileName);
    void pageWritten(const QString &fileName);
    // A file that a link or image of a page expects (relative to the working directory
    // or absolute); looked for at the end of the run.
    // target is the path as written, what names it ("image", "link target"); a note,
    // when given, ends the warning.
    void expectFile(const QString &file, int line, const QString &path, const QString &target,
                    const char *what, const char *category, const QString &note = QString());
    // Warns for every expected file that was neither written in the run nor exists.
    void checkExpectedFiles();

private:
    struct Pending {
        int fileRank;
        int line;
        QByteArray text;
    };
    struct Expected {
        QString file;
        int line;
        QString path;
        QString target;
        const char *what;
        const char *category;
        QString note;
    };

    bool enabled_ = false;
    bool failsRun_ = false;
    bool undocumented_ = false;
    int count_ = 0;
    int input_ = 0;
    std::vector<Pending> pending_;
    QHash<QString, int> fileRanks_;    // of the files named by pending_
    QHash<QString, int> claimedPages_; // page file -> input that claimed it
    QSet<QString> writtenPages_;       // page files, named as they were written
    std::vector<Expected> expected_;
    QStringList *printed_ = nullptr;
};

// The run's one set of diagnostics.
Diagnostics &diagnostics();
