#include "docgen/textlines.h"

#include "common/findeither.h"

#include <QFile>

TextLines::TextLines(const QString &fileName) {
    QFile file(fileName);
    open_ = file.open(QIODevice::ReadOnly);
    // Read, not mapped: a file that another process truncates while it is mapped would
    // kill the run with a bus error instead of giving fewer lines.
    if (open_)
        text_ = QString::fromLocal8Bit(file.readAll());
}

bool TextLines::next(QStringView &line) {
    if (position_ >= text_.size())
        return false;
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text_.constData());
    const char16_t *const textEnd = begin + text_.size();
    qsizetype end = findEither(begin + position_, textEnd, u'\n', u'\n') - begin;
    const qsizetype nextPosition = end < text_.size() ? end + 1 : end;
    if (end > position_ && text_.at(end - 1) == u'\r')
        --end;
    line = QStringView(begin + position_, end - position_);
    position_ = nextPosition;
    return true;
}
