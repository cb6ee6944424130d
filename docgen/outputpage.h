#pragma once

#include <QList>
#include <QString>

// One produced file, held in memory until the driver writes it.
struct OutputPage {
    QString fileName; // path to write, used unchanged
    QString title;
    QString text; // the whole file content
};

using OutputPageList = QList<OutputPage>;
