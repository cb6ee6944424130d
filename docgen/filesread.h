#pragma once

#include <QStringList>

// Every file that the run has read, so that a build can learn what its pages depend
// on: sources, included sources, presented and copied files, definitions. A file is
// recorded once, under the name by which it was first read, and only when it could be
// opened.
void recordFileRead(const QString &fileName);

// The recorded names in the order in which the files were first read.
const QStringList &filesRead();

// The files that the run looked for and did not find (an include, a picture, an
// input), each once: a file that appears later may change the pages.
const QStringList &filesMissing();

// Forgets every file recorded, and the read failure: the state a new process starts in.
void forgetFilesRead();

// Whether a failure to open or read a file, as errno tells it, means that there is no
// file there that may be read: none, a folder, one that is not the run's to read. Such
// a file gives no text and the run goes on. Any other failure (too many open files,
// an I/O error, no memory...) means that text was lost, which the run must not hide.
bool meansNoFile(int error);

// Records that fileName could not be opened or read in full for error, unless error
// means no file (or is 0). The first failure is kept; the driver ends the run with it.
void recordReadFailure(const QString &fileName, int error);

struct ReadFailure {
    QString fileName;
    int error = 0; // 0 while none was recorded
};
const ReadFailure &readFailure();

// Reads the whole of fileName into bytes (Qt's resource names included). Returns 0, or
// the errno of the failure; bytes then holds what could be read.
int readWholeFile(const QString &fileName, QByteArray &bytes);

// Opens fileName for reading: a file descriptor, or -1 with error set. A folder is not
// opened (EISDIR); size is the file's size as it is opened (0 for a pipe or device).
int openForReading(const QString &fileName, qint64 &size, int &error);

// Reads what is left of fd to its end into bytes, sizeHint bytes expected. Returns 0 or
// the errno of the failure.
int readToEnd(int fd, qint64 sizeHint, QByteArray &bytes);
