#pragma once

#include <QString>

#include "docgen/outputpage.h"

struct CodeLinks;

#include <QByteArray>

// The whole HTML page around a body. style fills the title element's style attribute.
QString pageTemplate(const QString &title, const QString &body, const QString &style);

// The file of a page as it is written, encoded as the system's 8-bit text (UTF-8), into
// bytes: a templated page is encoded piece by piece, without forming its whole text
// first, in the room that bytes has. A modern page gets the modern template and is
// encoded in UTF-8.
void pageBytes(const OutputPage &page, QByteArray &bytes);

// Appends the grouped API summary table of the entries registered for the current
// input to out, with groups in the program-wide group order. With words, what the table
// shows is added to its prose, a line for each row. With links, the names that a brief
// holds link to their pages.
void appendSummaryTable(QString &out, PageWords *words = nullptr, const CodeLinks *links = nullptr);
