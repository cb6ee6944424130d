#pragma once

struct MarkupInterpreter;

// Sets the interpreter's entity key and group from its entity ("Untitled" without
// one) and files a new group in the program-wide group list.
void beginEntityComment(MarkupInterpreter &in);

// Registers the documented entity for the summary table of the header's index page.
void registerEntity(MarkupInterpreter &in);
