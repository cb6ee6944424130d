#pragma once

#include <QByteArray>
#include <QString>

// Writes one page's bytes to fileName. Returns an empty string on success, otherwise
// the error message ("cannot open ..." or "cannot write ...").
//
// A regular file that already holds exactly these bytes is left as it is, so that a
// rerun keeps the modification times of the pages it did not change. A page that has
// no file yet is created in place, and removed again when its write fails. Otherwise
// the bytes go to a temporary file in the page's folder that is then renamed over the
// old page: a reader sees the old page or the new one, never a part of either, and a
// failed write leaves the old page in place.
// When changed is given, it tells whether the file now holds other bytes than before
// (a new file included).
QByteArray writePage(const QString &fileName, const QByteArray &bytes, bool *changed = nullptr);
