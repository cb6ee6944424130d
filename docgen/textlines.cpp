#include "docgen/textlines.h"

#include <QFile>

#include <algorithm>

TextLines::TextLines(const QString &fileName) {
    QFile file(fileName);
    open_ = file.open(QIODevice::ReadOnly);
    if (open_)
        text_ = QString::fromLocal8Bit(file.readAll());
}

bool TextLines::next(QString &line) {
    if (position_ >= text_.size())
        return false;
    qsizetype end = text_.indexOf(u'\n', position_);
    qsizetype nextPosition = end + 1;
    if (end < 0)
        end = nextPosition = text_.size();
    qsizetype length = end - position_;
    if (length > 0 && text_.at(end - 1) == u'\r')
        --length;
    // Copied into the caller's buffer: a reader that passes the same string for every
    // line gets no allocation per line once the buffer is as long as the longest line.
    line.resize(length);
    std::copy_n(text_.constData() + position_, length, line.data());
    position_ = nextPosition;
    return true;
}
