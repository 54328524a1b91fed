#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkInterface>
#include <QPair>
#include <QString>

namespace netfixtures {

inline QByteArray checksum(const QByteArray &b)
{
    quint8 s = 0;
    for (char c : b)
        s ^= quint8(c);
    return QByteArray::number(s, 16).toUpper().rightJustified(2, '0');
}

// A complete sentence "$<body>*hh\r\n" with its correct checksum.
inline QString sentence(const QString &body)
{
    return QLatin1Char('$') + body + QLatin1Char('*') + QString::fromLatin1(checksum(body.toLatin1())) + "\r\n";
}

// A datagram built by hand: header, then each (tag body, sentence) with the correct tag checksum.
inline QByteArray datagram(const QList<QPair<QByteArray, QString>> &tagged)
{
    QByteArray d("UdPbC\0", 6);
    for (const auto &t : tagged)
        d.append('\\').append(t.first).append('*').append(checksum(t.first)).append('\\').append(t.second.toLatin1());
    return d;
}

// True inside the test's private network namespace: loopback is the only interface.
inline bool onlyLoopback()
{
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    return all.size() == 1 && all.first().humanReadableName() == QLatin1String("lo");
}

} // namespace netfixtures
