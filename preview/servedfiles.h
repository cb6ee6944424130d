#pragma once

#include <QByteArray>
#include <QString>

// Which file of the served folder a request's path names. Plain functions over paths
// and bytes; the server answers with what they give.

// The file to send for a path, or the status that says why there is none.
struct ServedFile {
    int status = 404; // 200 when path names a file to send
    QString fileName; // absolute, with status 200
};

// Finds the file that urlPath (decoded, starting with '/') names under root, the
// served folder's canonical path. Only regular files under root are served: a path
// with a ".." or an empty segment, a segment that starts with '.' (hidden files and
// the folders of tools), a NUL or a backslash names none, and neither does one that
// leaves root through a symbolic link once resolved.
ServedFile findServedFile(const QString &root, const QString &urlPath);

// The Content-Type of a file by its suffix; pages without a charset, as a browser
// reads them from disk.
QByteArray contentType(const QString &fileName);

// Whether a file of this name is a page, which gets the live-reload script.
bool isPageName(const QString &fileName);

// The page's bytes with the script tag that loads the live-reload script put before
// its last "</body>" (in any case), or at its end when it has none. The tag tells the
// script the number of the render the page comes from.
QByteArray withLiveScript(const QByteArray &page, int render);
