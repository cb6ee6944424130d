#include "driver/interrupt.h"
#include "driver/run.h"

#include <QCoreApplication>

#include <cstdlib>
#include <new>

int main(int argc, char **argv) {
    // Set before any thread starts, so that every thread is covered.
    installStopHandlers();
    try {
        // The string, file and directory services need an application object; the run
        // reads the untouched argument vector itself and starts no event loop.
        int appArgc = argc;
        QCoreApplication app(appArgc, argv);
        std::exit(runQuillgen(argc, argv));
    } catch (const std::bad_alloc &) {
        // Whatever the run built is left as it is: the pages being written are finished.
        exitOutOfMemory();
    }
}
