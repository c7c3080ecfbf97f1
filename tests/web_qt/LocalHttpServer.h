#pragma once
// A tiny HTTP server on 127.0.0.1 for the web panes' tests, so no test needs the outside network.
// It runs in the test's own event loop, answers every request with one page and records the paths
// asked for.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

class LocalHttpServer {
public:
    explicit LocalHttpServer(QByteArray html) : m_html(std::move(html))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                    request->append(socket->readAll());
                    if (!request->contains("\r\n\r\n"))
                        return;
                    // "GET /path HTTP/1.1"
                    m_requests << QString::fromLatin1(request->left(request->indexOf("\r\n")).split(' ').value(1));
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                        + QByteArray::number(m_html.size()) + "\r\nConnection: close\r\n\r\n" + m_html);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    bool Listening() const { return m_server.isListening(); }
    // "http://127.0.0.1:<port>"
    QString Origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    // The paths of the requests seen so far, in order.
    const QStringList& Requests() const { return m_requests; }

private:
    QTcpServer m_server;
    QByteArray m_html;
    QStringList m_requests;
};
