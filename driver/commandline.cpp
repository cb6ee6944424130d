#include "driver/commandline.h"

#include "driver/hexception.h"

#include <cstring>

const char *readNextArgument(int &argc, char **&argv) {
    if (argc <= 1)
        throw HException("argument expected");
    ++argv;
    --argc;
    return *argv;
}

CommandLine parseCommandLine(int argc, char **argv) {
    CommandLine line;
    while (argc > 1) {
        const char *argument = readNextArgument(argc, argv);
        if (std::strcmp(argument, "-o") == 0)
            line.outputDirectory = QString::fromLatin1(readNextArgument(argc, argv));
        else if (std::strcmp(argument, "-v") == 0)
            line.verbose = true;
        else
            line.inputs.append(QString::fromLatin1(argument));
    }
    return line;
}
