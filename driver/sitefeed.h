#pragma once

#include "docgen/outputpage.h"

#include <QString>

#include <functional>

class Site;

// What the run gives the reader's site (search, contents and index pages) besides the
// words of the pages, which the site takes as they are made.

// Whether QUILLGEN_SITE asks for the site: set, and neither empty nor "0".
bool siteRequested();

// What the site needs of one input once its pages are made: its contents entry and, for
// a header, its documented declarations. They are gathered now, while the entry table
// is still this input's, and handed to the site by the returned job. outputDirectory
// is where the input's pages went: the -o folder for a header, for a manual the
// folder of QUILLGEN_MANUAL_OUTPUT or empty for the working directory.
std::function<void(Site &)> collectForSite(const QString &input, const QString &outputDirectory,
                                           const OutputPageList &pages);

// A file of share/quillgen: installed beside the program, or the one in the sources for
// a program run from its build folder; empty when neither exists.
QString shareFilePath(const char *name);

// The stylesheet that the pages link (shareFilePath).
QString stylesheetPath();
