#pragma once
// A tiny HTTP server on 127.0.0.1 for the web panes' tests, so no test needs the outside network.
// It runs in the test's own event loop: answer one page for one path (404 for anything else) and
// record every path asked for.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

class LocalHttpServer {
public:
    LocalHttpServer(QByteArray path, QByteArray html) : m_path(std::move(path)), m_html(std::move(html))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                Serve(socket);
        });
    }

    bool Listening() const { return m_server.isListening(); }
    // "http://127.0.0.1:<port>"
    QString Origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    // The paths of the requests seen so far, in order.
    const QStringList& Requests() const { return m_requests; }

private:
    void Serve(QTcpSocket* socket)
    {
        auto request = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n"))
                return;
            // "GET /path HTTP/1.1"
            const QByteArray path = request->left(request->indexOf("\r\n")).split(' ').value(1);
            m_requests << QString::fromLatin1(path);
            const bool found = path == m_path || path.startsWith(m_path + '?');
            const QByteArray body = found ? m_html : QByteArray("not here");
            socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n")
                + QByteArray("Content-Type: text/html; charset=utf-8\r\nContent-Length: ")
                + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QByteArray m_path;
    QByteArray m_html;
    QStringList m_requests;
};
