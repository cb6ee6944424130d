// Colours arbitrary text; the first byte picks the language, so every colourer and
// the escaping fallback get their share of inputs.

#include "colouring/colourcode.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char *const languages[] = {"c", "javascript", "basic", "asm", "xml", "plain"};
    if (size == 0)
        return 0;
    const char *language = languages[data[0] % (sizeof languages / sizeof *languages)];
    const QString code =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    (void)colourCode(code, QString::fromLatin1(language));
    return 0;
}
