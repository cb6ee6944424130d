#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for.
struct CommandLine {
    QStringList inputs;      // in command-line order
    QString outputDirectory; // the last "-o" value
    bool verbose = false;
};

// Steps to the next argument: the vector starts at the program name, so the first
// call returns the first real argument. Throws HException "argument expected" when
// none is left.
const char *readNextArgument(int &argc, char **&argv);

// Reads options and inputs in any order; "-o" and "-v" are exact, anything else
// (even a word beginning with "-") is an input. Arguments are taken one byte per
// character.
CommandLine parseCommandLine(int argc, char **argv);
