#pragma once

#include <QString>

// The whole HTML page around a body. style fills the title element's style attribute.
QString pageTemplate(const QString &title, const QString &body, const QString &style);

// The grouped API summary table of the entries registered for the current input,
// with groups in the program-wide group order.
QString writeSummaryTable();
