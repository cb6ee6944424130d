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
    // A buffer the caller keeps for itself is refilled in place, so a reader that passes
    // the same string for every line allocates nothing once it is long enough; one that
    // shares its lines with others gets a new string, which refilling would copy anyway.
    if (line.isDetached()) {
        line.resize(length);
        std::copy_n(text_.constData() + position_, length, line.data());
    } else {
        line = text_.mid(position_, length);
    }
    position_ = nextPosition;
    return true;
}
