#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

// A small web server for the history files, as the junction box offers them: answers GET for a
// plain file name in its folder and nothing else. It listens on the loopback address only.
class HistoryHttpServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxRequestBytes = 8192;

    explicit HistoryHttpServer(const QString &rootDirectory, QObject *parent = nullptr);

    // Port 0 picks a free one. False when the port cannot be had.
    bool listen(quint16 port = 0);
    quint16 port() const;
    // "127.0.0.1:<port>", the form the history download takes as the junction box's address.
    QString address() const;
    int requestsServed() const { return m_served; }
    int requestsRefused() const { return m_refused; }

signals:
    void fileServed(QString name, qint64 bytes);
    void requestRefused(QString request_line, int status);

private:
    void newConnection();
    void readRequest(QTcpSocket *socket);
    void reply(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &body);

    QString m_root;
    QTcpServer *m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
    int m_served = 0;
    int m_refused = 0;
};
