#include "driver/run.h"

#include <QCoreApplication>

#include <cstdlib>

int main(int argc, char **argv) {
    // The string, file and directory services need an application object; the run
    // reads the untouched argument vector itself and starts no event loop.
    int appArgc = argc;
    QCoreApplication app(appArgc, argv);
    std::exit(runQuillgen(argc, argv));
}
