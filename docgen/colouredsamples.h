#pragma once

#include "colouring/colourcode.h"

#include <QString>

#include <vector>

// A code sample of a text coloured before the text is read: where it stands in the
// text, its language, and its HTML as colourAhead gives it.
struct ColouredSample {
    qsizetype start;
    qsizetype end;
    QString language;
    ColouredAhead coloured;
};

// The "\code{language}" samples of text, found where the code command finds them and
// coloured from the colourer's first state (see colourAhead): a declaration's comment
// has its samples coloured where it is prepared, before its page is made.
std::vector<ColouredSample> colourSamples(const QString &text);

// Hands the code command the samples of a text that colourSamples coloured, in the
// order of the text. The code command colours a sample itself when this has none that
// starts and ends where its own does with its language, or when the colourer is in
// another state.
class ColouredSamples {
public:
    // text and samples must outlive this object.
    ColouredSamples(const QString &text, const std::vector<ColouredSample> &samples)
        : text_(text.constData()), samples_(samples) {}

    // Appends the sample [start, end) of language, coloured before, to out and returns
    // true; returns false, appending nothing, when it cannot.
    bool take(const QChar *start, const QChar *end, const QString &language, QString &out);

private:
    const QChar *text_;
    const std::vector<ColouredSample> &samples_;
    size_t next_ = 0; // samples before it are behind the code command
};
