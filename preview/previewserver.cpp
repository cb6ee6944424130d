#include "preview/previewserver.h"

#include "preview/previewpaths.h"
#include "preview/requestguard.h"
#include "preview/servedfiles.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QUrl>
#include <QWebSocket>

#include <algorithm>
#include <vector>

namespace {

using Status = QHttpServerResponder::StatusCode;

// Accepts connections for the server with a guard on each, and refuses those beyond
// the limit at once.
class GuardedTcpServer : public QTcpServer {
public:
    explicit GuardedTcpServer(QObject *parent) : QTcpServer(parent) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        // The sockets that went are gone from the list: a socket handed to the WebSocket
        // server loses every connection to its signals, so it is counted by pointer.
        open_.erase(std::remove(open_.begin(), open_.end(), nullptr), open_.end());
        if (open_.size() >= PreviewServer::maximumConnections) {
            socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                          "Connection: close\r\n\r\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            return;
        }
        open_.emplace_back(socket);
        new RequestGuard(socket);
        addPendingConnection(socket);
    }

private:
    std::vector<QPointer<QTcpSocket>> open_;
};

// Writes a whole answer; a HEAD request gets the same head without the body.
void answer(QHttpServerResponder &responder, Status status, const QByteArray &type,
            const QByteArray &body, bool head,
            std::initializer_list<std::pair<QByteArray, QByteArray>> more = {}) {
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    for (const auto &header : more)
        responder.writeHeader(header.first, header.second);
    responder.writeBody(head ? QByteArray() : body);
}

void answerText(QHttpServerResponder &responder, Status status, const QByteArray &text, bool head,
                std::initializer_list<std::pair<QByteArray, QByteArray>> more = {}) {
    answer(responder, status, "text/plain; charset=utf-8", text + '\n', head, more);
}

} // namespace

PreviewServer::PreviewServer(const QString &root, const QByteArray &liveScript)
    : root_(root), liveScript_(liveScript) {
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &PreviewServer::takeSockets);
}

quint16 PreviewServer::listen(const QHostAddress &address, quint16 port, QString &error) {
    auto *server = new GuardedTcpServer(this);
    if (!server->listen(address, port)) {
        error = server->errorString();
        delete server;
        return 0;
    }
    bind(server);
    loopback_ = address.isLoopback();
    port_ = server->serverPort();
    return port_;
}

bool PreviewServer::hostAllowed(const QByteArray &host) const {
    if (!loopback_)
        return true;
    const QByteArray port = ':' + QByteArray::number(port_);
    for (const char *name : {"127.0.0.1", "localhost", "[::1]"}) {
        const QByteArray allowed(name);
        if (host == allowed || host == allowed + port)
            return true;
    }
    return false;
}

bool PreviewServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    const QByteArray host = request.value("Host").toLower();
    if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        // The live-reload socket: the server module shakes hands when the answer is
        // true, and answers "not found" otherwise.
        return request.url().path() == QLatin1String(liveSocketPath) && hostAllowed(host);
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto method = request.method();
    const bool head = method == QHttpServerRequest::Method::Head;
    if (method != QHttpServerRequest::Method::Get && !head) {
        answerText(responder, Status::MethodNotAllowed, "method not allowed", false,
                   {{"Allow", "GET, HEAD"}});
        return true;
    }
    if (!hostAllowed(host)) {
        answerText(responder, Status::Forbidden, "forbidden host", head);
        return true;
    }
    const QString path = request.url().path();
    if (path == QLatin1String("/") && !firstPage_.isEmpty()) {
        answerText(responder, Status::Found, "found", head,
                   {{"Location", QUrl(firstPage_).toEncoded()}});
        return true;
    }
    if (path == QLatin1String(liveScriptPath)) {
        answer(responder, Status::Ok, "text/javascript", liveScript_, head);
        return true;
    }
    const ServedFile served = findServedFile(root_, path);
    QFile file(served.fileName);
    if (served.status != 200 || !file.open(QIODevice::ReadOnly)) {
        answerText(responder, Status::NotFound, "not found", head);
        return true;
    }
    const QByteArray bytes = file.readAll();
    if (isPageName(served.fileName))
        answer(responder, Status::Ok, contentType(served.fileName), withLiveScript(bytes, render_),
               head);
    else
        answer(responder, Status::Ok, contentType(served.fileName), bytes, head);
    return true;
}

void PreviewServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    answerText(responder, Status::NotFound, "not found", false);
}

void PreviewServer::takeSockets() {
    while (hasPendingWebSocketConnections()) {
        QWebSocket *socket = nextPendingWebSocketConnection().release();
        socket->setParent(this);
        // handleRequest let through only the socket's path on this machine; the page
        // that opens it must be one of this server's too.
        const QUrl url = socket->requestUrl();
        const QUrl origin(socket->origin());
        const bool ours = socket->origin().isEmpty() ||
                          (origin.host() == url.host() && origin.port() == url.port());
        if (!ours || sockets_.size() >= maximumSockets) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            socket->deleteLater();
            continue;
        }
        // The pages only listen; whatever they send is small or refused.
        socket->setMaxAllowedIncomingFrameSize(1024);
        socket->setMaxAllowedIncomingMessageSize(1024);
        sockets_.append(socket);
        connect(socket, &QWebSocket::disconnected, this, [this, socket] {
            sockets_.removeOne(socket);
            socket->deleteLater();
        });
        if (!lastMessage_.isEmpty())
            socket->sendTextMessage(QString::fromUtf8(lastMessage_));
    }
}

void PreviewServer::announce(int render, const QByteArray &message) {
    render_ = render;
    lastMessage_ = message;
    const QString text = QString::fromUtf8(message);
    for (QWebSocket *socket : std::as_const(sockets_))
        socket->sendTextMessage(text);
}
