#include "docgen/lineorigins.h"

#include <algorithm>

void LineOrigins::clear() {
    segments_.clear();
    files_.clear();
    fileIndex_.clear();
}

void LineOrigins::start(const QString &file, int line) {
    // Header comments start one after another from the same file: keep its entry.
    segments_.clear();
    if (files_.size() != 1 || files_.front() != file)
        clear();
    map(0, file, line);
}

void LineOrigins::map(int textLine, const QString &file, int line) {
    if (!segments_.empty()) {
        const Segment &last = segments_.back();
        if (textLine - last.textLine == line - last.line && files_.at(last.file) == file)
            return;
    }
    auto known = fileIndex_.constFind(file);
    if (known == fileIndex_.constEnd()) {
        known = fileIndex_.insert(file, int(files_.size()));
        files_.append(file);
    }
    segments_.push_back(Segment{textLine, known.value(), line});
}

std::vector<LineOrigins::Segment>::const_iterator LineOrigins::segmentAfter(int textLine) const {
    return std::upper_bound(
        segments_.begin(), segments_.end(), textLine,
        [](int wanted, const Segment &segment) { return wanted < segment.textLine; });
}

LineOrigins::Origin LineOrigins::find(int textLine) const {
    // The last segment that starts at or before textLine.
    const auto after = segmentAfter(textLine);
    if (after == segments_.begin())
        return Origin();
    const Segment &segment = *(after - 1);
    return Origin{files_.at(segment.file), segment.line + (textLine - segment.textLine)};
}

std::vector<LineOrigins::Origin> LineOrigins::otherFiles(int from, int to) const {
    std::vector<Origin> found;
    std::vector<bool> seen(size_t(files_.size()), false);
    auto segment = segmentAfter(from);
    if (segment != segments_.begin())
        seen[size_t((segment - 1)->file)] = true;
    for (; segment != segments_.end() && segment->textLine <= to; ++segment) {
        if (!seen[size_t(segment->file)]) {
            seen[size_t(segment->file)] = true;
            found.push_back(Origin{files_.at(segment->file), segment->line});
        }
    }
    return found;
}
