#include "docgen/runstate.h"

#include "docgen/diagnostics.h"
#include "docgen/filesread.h"
#include "docgen/interfacetables.h"
#include "docgen/programtables.h"
#include "docgen/propertyregistryfile.h"

void resetRunState() {
    diagnostics() = Diagnostics();
    forgetFilesRead();
    programTables() = ProgramTables();
    interfaceTables().clear();
    unloadPropertyRegistry();
}
