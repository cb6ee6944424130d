#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>

class QWebSocket;

// The preview's HTTP server: the files of one folder, read as they are asked for, with
// the live-reload script put into every page it sends, and the WebSocket over which
// that script hears of each render.
class PreviewServer : public QAbstractHttpServer {
public:
    // root: the served folder, canonical. liveScript: the script's text.
    PreviewServer(const QString &root, const QByteArray &liveScript);

    // Listens on address and port (0: any free port). Returns the port, or 0 with
    // error set.
    quint16 listen(const QHostAddress &address, quint16 port, QString &error);

    // Where "/" sends the browser: the URL path of the run's first page.
    void setFirstPage(const QString &urlPath) { firstPage_ = urlPath; }

    // Sends the message about render (numbered from 1) to every open page, and to each
    // page that connects later; the pages sent from now on say that they come after it.
    void announce(int render, const QByteArray &message);

    static constexpr int maximumConnections = 256;
    static constexpr int maximumSockets = 64;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    // Whether the Host a request names is this server on a loopback address, when it
    // listens on one: a page of another site that a name resolved to 127.0.0.1 for
    // must not read the files.
    bool hostAllowed(const QByteArray &host) const;
    void takeSockets();

    QString root_;
    QByteArray liveScript_;
    QString firstPage_;
    QByteArray lastMessage_;
    int render_ = 0;
    bool loopback_ = true;
    quint16 port_ = 0;
    QList<QWebSocket *> sockets_;
};
