#include "docgen/textlines.h"

#include "common/findeither.h"

#include <QFile>

TextLines::TextLines(const QString &fileName) {
    QFile file(fileName);
    open_ = file.open(QIODevice::ReadOnly);
    if (!open_)
        return;
    // A regular file is decoded straight from its mapping: reading it first into a
    // buffer of its own would cost a copy and as much fresh memory again as the file,
    // which for a manual of megabytes is a good part of the time before its first page.
    // What cannot be mapped (an empty file, a pipe) is read.
    const qint64 size = file.size();
    if (size > 0) {
        if (const uchar *mapped = file.map(0, size)) {
            text_ = QString::fromLocal8Bit(reinterpret_cast<const char *>(mapped), qsizetype(size));
            file.unmap(const_cast<uchar *>(mapped));
            return;
        }
    }
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
