#include "docgen/interpreter.h"

void addInlineCommands(CommandTable &table) {
    Q_UNUSED(table);
}
