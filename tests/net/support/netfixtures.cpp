#include "netfixtures.h"

#include <QList>
#include <QNetworkInterface>
#include <QPair>

namespace netfixtures {

namespace {
QByteArray hex(quint8 v) { return QByteArray::number(v, 16).toUpper().rightJustified(2, '0'); }
quint8 xorOf(const QByteArray &b)
{
    quint8 s = 0;
    for (char c : b)
        s ^= quint8(c);
    return s;
}
} // namespace

QString sentence(const QString &body)
{
    return QLatin1Char('$') + body + QLatin1Char('*') + QString::fromLatin1(hex(xorOf(body.toLatin1())))
        + QStringLiteral("\r\n");
}

QByteArray tagChecksum(const QByteArray &body) { return hex(xorOf(body)); }

QByteArray datagram(const QList<QPair<QByteArray, QString>> &tagged)
{
    QByteArray d("UdPbC", 5);
    d.append('\0');
    for (const auto &t : tagged)
        d.append('\\').append(t.first).append('*').append(tagChecksum(t.first)).append('\\').append(t.second.toLatin1());
    return d;
}

bool onlyLoopback()
{
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    return all.size() == 1 && all.first().humanReadableName() == QLatin1String("lo");
}

} // namespace netfixtures
