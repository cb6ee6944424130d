#include "docgen/interpreter.h"

void addInterfaceCommands(CommandTable &table) {
    Q_UNUSED(table);
}
