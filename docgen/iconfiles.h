#pragma once

#include <QByteArray>
#include <QStringView>

#include <cstddef>

// The PNG files of the built-in icons, as the "icon" command writes them: drawn once by
// the build (icons/iconfiles.cpp) and embedded, sorted by name.
struct IconFile {
    const char *name;
    const unsigned char *data;
    size_t size;
};
extern const IconFile iconFiles[];
extern const size_t iconFileCount;

// The file of the icon name (case-sensitive), its bytes in place; empty for a name
// not in the table.
QByteArray iconFile(QStringView name);
