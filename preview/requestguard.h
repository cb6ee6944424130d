#pragma once

#include <QByteArray>
#include <QObject>

class QTcpSocket;
class QTimer;

// Screens what a client sends before the HTTP server reads it, so that a hostile or
// broken client gets an answer and costs bounded memory and time: the server module
// closes a malformed request without a word and takes a request head of any size.
// Only request heads are allowed on a connection (the preview takes no bodies), so
// the bytes are heads one after the other; the guard finds where each ends and:
//   - answers 400 to a request line that is not "METHOD target HTTP/1.x",
//   - 414 to a request line, 431 to a head, longer than the limits,
//   - 413 to a head that announces a body,
//   - 408 to a head that is not whole within the time limit, and closes a connection
//     that sends nothing for as long (after its last request, or from the start).
// The answer ends the connection; the server never sees that request. A head that
// asks for a WebSocket ends the screening: what follows is the socket's.
//
// Made for each connection before the server connects to it, so that it reads each
// piece of data first.
class RequestGuard : public QObject {
public:
    static constexpr qsizetype maximumLine = 8 * 1024;
    static constexpr qsizetype maximumHead = 16 * 1024;
    static constexpr int headMilliseconds = 10'000;

    explicit RequestGuard(QTcpSocket *socket);

private:
    void screen();
    // Checks the whole head in head_ (lower: the same in lower case); returns the
    // status to refuse it with, or 0.
    int judge(const QByteArray &lower) const;
    void refuse(int status);

    QTcpSocket *socket_;
    QTimer *deadline_;
    QByteArray head_; // the head being read, up to its blank line
    bool passive_ = false;
};
