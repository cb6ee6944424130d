#pragma once

// The whole program: reads the command line, then turns every input file into pages
// and writes them. Returns the exit status.
int runQuillgen(int argc, char **argv);
