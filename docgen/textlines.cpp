#include "docgen/textlines.h"

#include "common/findeither.h"
#include "common/systemencoding.h"
#include "docgen/filesread.h"

#include <QStringDecoder>

#include <unistd.h>

TextLines::TextLines(const QString &fileName) {
    QByteArray bytes;
    if (fileName.isEmpty() || fileName.startsWith(u':')) {
        // One of the program's own resources; or no name, which Qt reports.
        error_ = readWholeFile(fileName, bytes);
        open_ = error_ == 0;
    } else {
        // Read with the system's calls, so that a failure's reason is known; read, not
        // mapped: a file that another process truncates while it is mapped would kill
        // the run with a bus error instead of giving fewer lines.
        qint64 size;
        const int fd = openForReading(fileName, size, error_);
        open_ = fd >= 0;
        if (!open_)
            return;
        error_ = readToEnd(fd, size, bytes);
        ::close(fd);
    }
    if (!systemEncodingIsUtf8()) {
        text_ = QString::fromLocal8Bit(bytes);
        return;
    }
    // Decoded straight into room for a character per byte, the most UTF-8 can need.
    text_ = QString(bytes.size(), Qt::Uninitialized);
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    const QChar *end = decoder.appendToBuffer(text_.data(), bytes);
    text_.truncate(end - text_.constData());
}

bool TextLines::next(QStringView &line) {
    const qsizetype size = text_.size();
    if (position_ >= size)
        return false;
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text_.constData());
    const char16_t *const textEnd = begin + size;
    const char16_t *at = findEither(begin + position_, textEnd, u'\n', sawNul_ ? u'\n' : u'\0');
    while (at != textEnd && *at == u'\0') {
        sawNul_ = true;
        at = findEither(at + 1, textEnd, u'\n', u'\n');
    }
    qsizetype end = at - begin;
    const qsizetype nextPosition = end < size ? end + 1 : end;
    if (end > position_ && begin[end - 1] == u'\r')
        --end;
    line = QStringView(begin + position_, end - position_);
    position_ = nextPosition;
    return true;
}
