#pragma once

// Puts back everything that a run keeps from one input to the next (the warnings and
// the pages they judge, the files read, the tables of groups and entries, the menu
// definitions and the property registry) as a new process has it, so that a program
// that runs again and again in one process makes the pages a new process would.
void resetRunState();
