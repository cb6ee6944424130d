#include "docgen/referencesections.h"

#include "docgen/interpreter.h"

void beginEntityComment(MarkupInterpreter &in) {
    in.entityKey = QStringLiteral("Untitled");
}

void registerEntity(MarkupInterpreter &in) {
    Q_UNUSED(in);
}

void addReferenceCommands(CommandTable &table) {
    Q_UNUSED(table);
}
