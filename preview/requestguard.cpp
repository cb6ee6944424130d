#include "preview/requestguard.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

RequestGuard::RequestGuard(QTcpSocket *socket)
    : QObject(socket), socket_(socket), deadline_(new QTimer(this)) {
    deadline_->setSingleShot(true);
    deadline_->setInterval(headMilliseconds);
    // A head cut short is told so; a connection that sends nothing is closed.
    connect(deadline_, &QTimer::timeout, this, [this] {
        if (!head_.isEmpty())
            return refuse(408);
        passive_ = true;
        disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
        socket_->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::readyRead, this, &RequestGuard::screen);
    deadline_->start();
}

void RequestGuard::screen() {
    if (passive_)
        return;
    // The server reads every piece of data as it comes, inside a transaction of its
    // own: what is left to peek at is what came since.
    const QByteArray data = socket_->peek(socket_->bytesAvailable());
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype before = head_.size();
        head_.append(data.constData() + start,
                     std::min(data.size() - start, maximumHead + 1 - before));
        // The blank line may begin in what came before.
        const qsizetype end = head_.indexOf("\r\n\r\n", std::max<qsizetype>(0, before - 3));
        if (end < 0) {
            const qsizetype lineEnd = head_.indexOf("\r\n");
            if ((lineEnd < 0 && head_.size() > maximumLine) || lineEnd > maximumLine)
                return refuse(414);
            if (head_.size() > maximumHead)
                return refuse(431);
            return; // all of data is in head_
        }
        start += end + 4 - before;
        head_.truncate(end + 4);
        const QByteArray lower = head_.toLower();
        if (const int status = judge(lower))
            return refuse(status);
        head_.clear();
        if (lower.contains("\nupgrade:")) {
            passive_ = true;
            deadline_->stop();
            return;
        }
        // The next head, or the end of an idle connection, within the limit.
        deadline_->start();
    }
}

int RequestGuard::judge(const QByteArray &lower) const {
    const qsizetype lineEnd = head_.indexOf("\r\n");
    if (lineEnd > maximumLine)
        return 414;
    static const QRegularExpression requestLine(
        QStringLiteral("\\A[A-Z]{1,16} [^ \\x00-\\x1f\\x7f]+ HTTP/1\\.[01]\\z"));
    if (!requestLine.match(QString::fromLatin1(head_.constData(), lineEnd)).hasMatch())
        return 400;
    // Header names in any case; a body of no bytes is no body.
    if (lower.contains("\ntransfer-encoding:"))
        return 413;
    for (qsizetype length = lower.indexOf("\ncontent-length:"); length >= 0;
         length = lower.indexOf("\ncontent-length:", length + 1)) {
        const qsizetype valueEnd = lower.indexOf("\r\n", length + 1);
        if (lower.mid(length + 16, valueEnd - length - 16).trimmed() != "0")
            return 413;
    }
    return 0;
}

void RequestGuard::refuse(int status) {
    passive_ = true;
    deadline_->stop();
    const char *reason = "Bad Request";
    switch (status) {
    case 408:
        reason = "Request Timeout";
        break;
    case 413:
        reason = "Content Too Large";
        break;
    case 414:
        reason = "URI Too Long";
        break;
    case 431:
        reason = "Request Header Fields Too Large";
        break;
    default:
        break;
    }
    const QByteArray body = QByteArray(reason).toLower() + '\n';
    // The server must not read this request, nor anything after it.
    disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
    socket_->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                   "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                   QByteArray::number(body.size()) +
                   "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body);
    socket_->disconnectFromHost();
}
