#pragma once

#include "docgen/pagewords.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

// One produced file, held in memory until the driver writes it.
struct OutputPage {
    QString fileName; // path to write, used unchanged
    QString title;
    QString text; // the whole file content, or the body of a templated page
    // The file is the page template around text, with title: pageBytes()
    // (pagetemplate.h) gives it whole. Made where it is written, the page is
    // not copied whole on the thread that makes the pages.
    bool templated = false;
    // What a reader sees of the page, when the maker was asked for it (wordsWanted).
    PageWords words{};
    // A modern page (QUILLGEN_PAGES=modern, templated only): an HTML5 page written in
    // UTF-8, with navigation (its header and pager) before its main part, and lead (a
    // heading, or what stands under the heading that text starts with) in that part.
    bool modern = false;
    QString navigation{};
    QString lead{};
    qsizetype leadAt = 0; // where in text lead goes: after the heading text starts with
};

// The files of one input in the order they were made. A caller that writes pages while
// later ones are still being made sets onAppend: it sees each file as it is appended
// and may take its text.
class OutputPageList : public QList<OutputPage> {
public:
    using QList<OutputPage>::QList;
    using QList<OutputPage>::append;
    void append(OutputPage &&page) {
        QList<OutputPage>::append(std::move(page));
        if (onAppend)
            onAppend(last());
    }

    std::function<void(OutputPage &)> onAppend;
};
