#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace netfixtures {

// A complete sentence "$<body>*hh\r\n" with its correct checksum.
QString sentence(const QString &body);
// A datagram built by hand: header, then each (tag body, sentence) with the correct tag checksum.
QByteArray datagram(const QList<QPair<QByteArray, QString>> &tagged);
// True inside the test's private network namespace: loopback is the only interface.
bool onlyLoopback();

} // namespace netfixtures
