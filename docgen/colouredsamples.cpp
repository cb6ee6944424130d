#include "docgen/colouredsamples.h"

#include "common/findeither.h"
#include "docgen/argumentreaders.h"

#include <QStringView>

namespace {

constexpr char codeCommand[] = "\\code{";
constexpr char endCode[] = "\\endcode";

// Finds the next sample from scan on, as the code command reads it: its language in
// braces, then the text from the next line up to "\endcode" (or the end). A sample's
// text holds no command, so scan moves on past its end. False when there is none.
bool nextSample(MarkupCursor &scan, MarkupCursor end, const QChar *&start, const QChar *&sampleEnd,
                QString &language) {
    const char16_t *const textEnd = reinterpret_cast<const char16_t *>(end);
    const MarkupCursor command = reinterpret_cast<MarkupCursor>(
        findText(reinterpret_cast<const char16_t *>(scan), textEnd, codeCommand));
    if (command == end) {
        scan = end;
        return false;
    }
    MarkupCursor cursor = command + sizeof codeCommand - 2; // at the brace
    language = readBracedOrWord(cursor, end);
    skipToBlockText(cursor);
    start = cursor;
    sampleEnd = reinterpret_cast<MarkupCursor>(
        findText(reinterpret_cast<const char16_t *>(cursor), textEnd, endCode));
    scan = sampleEnd == end ? end : sampleEnd + sizeof endCode - 1;
    return true;
}

} // namespace

std::vector<ColouredSample> colourSamples(const QString &text) {
    std::vector<ColouredSample> samples;
    MarkupCursor scan = text.constData();
    const MarkupCursor end = scan + text.size();
    const QChar *start;
    const QChar *sampleEnd;
    QString language;
    while (nextSample(scan, end, start, sampleEnd, language)) {
        ColouredAhead coloured = colourAhead(QStringView(start, sampleEnd), language);
        samples.push_back(ColouredSample{start - text.constData(), sampleEnd - text.constData(),
                                         std::move(language), std::move(coloured)});
    }
    return samples;
}

bool ColouredSamples::take(const QChar *start, const QChar *end, const QString &language,
                           QString &out) {
    const qsizetype from = start - text_;
    // Samples the code command has gone past were no samples of its own.
    while (next_ < samples_.size() && samples_[next_].start < from)
        ++next_;
    if (next_ == samples_.size())
        return false;
    const ColouredSample &sample = samples_[next_];
    if (sample.start != from || sample.end != end - text_ || sample.language != language)
        return false;
    ++next_;
    return appendColouredAhead(out, sample.coloured, language);
}
