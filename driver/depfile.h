#pragma once

#include <QByteArray>
#include <QStringList>

// A dependency file in the syntax that make and ninja read: one rule whose targets are
// the pages and whose prerequisites are the files that were read, one name a line.
// Names are made absolute, so the file means the same from any working directory, and
// spaces, "#" and "$" are escaped as both tools expect.
QByteArray dependencyRule(const QStringList &targets, const QStringList &prerequisites);
