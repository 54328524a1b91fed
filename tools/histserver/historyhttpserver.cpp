#include "historyhttpserver.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

HistoryHttpServer::HistoryHttpServer(const QString &rootDirectory, QObject *parent)
    : QObject(parent), m_root(rootDirectory), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &HistoryHttpServer::newConnection);
}

bool HistoryHttpServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 HistoryHttpServer::port() const
{
    return m_server->serverPort();
}

QString HistoryHttpServer::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

void HistoryHttpServer::newConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void HistoryHttpServer::readRequest(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffer.size() > MaxRequestBytes)
            reply(socket, 431, "Request Header Fields Too Large", QByteArray());
        return;
    }
    const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    // Only plain names: no folders, so nothing outside the history folder can be asked for.
    static const QRegularExpression plainName(QStringLiteral("^/[A-Za-z0-9_.-]+$"));
    if (parts.size() != 3 || (parts.at(0) != "GET" && parts.at(0) != "HEAD")) {
        reply(socket, 405, "Method Not Allowed", QByteArray());
        emit requestRefused(QString::fromLatin1(requestLine), 405);
        return;
    }
    const QString target = QString::fromLatin1(parts.at(1));
    QFile file(m_root + target);
    if (!plainName.match(target).hasMatch() || target.startsWith(QLatin1String("/.")) || !file.open(QIODevice::ReadOnly)) {
        reply(socket, 404, "Not Found", QByteArray());
        emit requestRefused(QString::fromLatin1(requestLine), 404);
        return;
    }
    const QByteArray body = file.readAll();
    ++m_served;
    reply(socket, 200, "OK", parts.at(0) == "HEAD" ? QByteArray() : body);
    emit fileServed(target.mid(1), body.size());
}

void HistoryHttpServer::reply(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &body)
{
    if (status != 200)
        ++m_refused;
    QByteArray response = "HTTP/1.0 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    response += "Content-Type: application/octet-stream\r\n";
    response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += body;
    m_pending.remove(socket);
    socket->write(response);
    socket->disconnectFromHost();
}
