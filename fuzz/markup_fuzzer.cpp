// Runs arbitrary bytes through the manual pipeline: the line preprocessor (variant
// sections, "@def", includes, which may name the input itself) and the markup
// interpreter with every command it knows, into pages held in memory and their bytes as
// written. Every other input is read with warnings on, so that their bookkeeping is
// fuzzed too, and one in two makes modern pages, with their navigation.

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/outputpage.h"
#include "docgen/pagetemplate.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Includes and copied files are found relative to the working directory, so the
// fuzzer works inside a scratch directory of its own.
const QString &scratch() {
    static QTemporaryDir dir;
    static const QString path = [] {
        if (!dir.isValid() || !QDir::setCurrent(dir.path()))
            std::abort();
        return dir.path();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString &directory = scratch();
    {
        QFile file(QStringLiteral("fuzz.dg"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // A fresh set of diagnostics per input keeps the claimed pages from piling up; its
    // warnings are recorded but never printed.
    Diagnostics &diagnostics = ::diagnostics();
    diagnostics = Diagnostics();
    if (size > 0 && (data[0] & 1))
        diagnostics.configure(QStringLiteral("1"));
    OutputPageList pages;
    {
        DocGen docGen;
        docGen.modernPages = size > 0 && (data[0] & 2);
        docGen.processFile(1, QStringLiteral("fuzz.dg"), directory, pages, QString(),
                           QStringList());
    }
    QByteArray bytes;
    for (const OutputPage &page : pages)
        pageBytes(page, bytes);
    diagnostics.checkExpectedFiles();
    return 0;
}
