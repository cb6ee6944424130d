#include "docgen/docgen.h"

// The words of a page are gathered from the text that the interpreter and the header
// pipeline put on it. Running text of the markup may hold tags and entities of its own,
// written into the page as they stand: they are read as a browser shows them.

namespace {

void separate(QString &words) {
    if (!words.isEmpty() && !words.back().isSpace())
        words += u'\n';
}

} // namespace

void DocGen::takeWords(WordsPart part, QStringView text, bool markup) {
    QString &words = part == WordsPart::Prose     ? pageWords.prose
                     : part == WordsPart::Heading ? pageWords.headings
                                                  : pageWords.code;
    if (markup)
        readertext::append(words, text, wordsState_);
    else
        words += text;
}

void DocGen::separateWords() {
    separate(pageWords.prose);
    separate(pageWords.headings);
    separate(pageWords.code);
}
