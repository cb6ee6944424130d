#pragma once

#include <QString>

// Creates a directory and every missing parent; true when it exists afterwards.
bool makePath(const QString &directory);

// Deletes a file; true on success.
bool removeFile(const QString &fileName);

// Normalises an input path: "." and empty segments go (a leading "/" stays), ".."
// takes back the segment before it where there is one.
QString cleanPath(const QString &path);

// The absolute form of path (relative to the working directory), cleaned: the one
// spelling of a file that names may be compared by.
QString absoluteCleanPath(const QString &path);
