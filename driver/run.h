#pragma once

#include "driver/commandline.h"

#include <QString>
#include <QStringList>

// The whole program: reads the command line, then turns every input file into pages
// and writes them. Returns the exit status.
int runQuillgen(int argc, char **argv);

// What one run of runAgain did.
struct RunReport {
    int status = 0; // the exit status the program would end with
    QString error;  // what ended the run, when it was an error (status 1)
    // Whether the run got past the variables to its files: an error before that (an
    // unknown value) is one that running again cannot mend.
    bool started = false;
    QStringList warnings; // as printed: "FILE:LINE: warning: MESSAGE [category]"
    QStringList pages;    // the pages written, in order
    QStringList changed;  // the files written whose bytes changed (pages, scripts, images)
    QStringList read;     // the files the pages were made from
    QStringList missing;  // the files looked for and not found
};

// Runs the program once more in this process, with line and the environment as they
// stand: the same output and messages as a new process, starting from the state one
// has, but it returns where the program would exit. Not for two threads at once.
RunReport runAgain(const CommandLine &line);
