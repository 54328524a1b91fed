#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

// Layout of the sentence datagrams exchanged on the ship network: the six-byte header
// "UdPbC" + NUL, then one or more sentences, each behind its own tag block
// "\g:i-n-G,s:SRC[,d:DST]*,n:LINE[,t:TEXT]*hh\".
constexpr int MAX_UDP_SIZE = 1460;

// Kind of a batch of sentences for the network: 0 and 2 leave as ordinary traffic, 1 as
// network administration traffic on its own group and line counter.
enum MessageType {
    MessageTypeOrdinary = 0,
    MessageTypeNetworkAdministration = 1,
    MessageTypeInternal = 2
};

namespace udpdatagram {

constexpr int HeaderLength = 6;        // "UdPbC" and one NUL
constexpr int MaxTagBodyLength = 80;   // a received tag body must be shorter than 81 characters
constexpr int MaxLineNumber = 999;
constexpr int MaxGroupId = 99;
extern const char HeaderToken[];       // "UdPbC"
extern const char FactoryDefaultSfi[]; // "VM1111"

// Exclusive-or of every byte in [begin, end).
quint8 checksum(const char *begin, const char *end);
inline quint8 checksum(const QByteArray &text) { return checksum(text.constData(), text.constData() + text.size()); }

// Two upper-case hexadecimal digits.
void appendHex(QByteArray &out, quint8 value);

// Value of one hexadecimal digit, -1 for anything else (either case accepted).
int hexValue(char c);

// The empty datagram: header token and NUL, with room reserved for a full datagram.
QByteArray newDatagram();

// Tag-block body (without the backslashes and checksum) in the fixed field order.
// A text tag that is empty or "noTag" is left out; several destinations become repeated d: fields.
QByteArray tagBody(int index, int count, int groupId, const QByteArray &sourceSfi,
                   const QByteArrayList &destinations, int lineNumber, const QByteArray &textTag);

// The same, appended to out (no allocation when out has room).
void appendTagBody(QByteArray &out, int index, int count, int groupId, const QByteArray &sourceSfi,
                   const QByteArrayList &destinations, int lineNumber, const QByteArray &textTag);
void appendNumber(QByteArray &out, int value);

// "\" + body + "*hh" + "\" + sentence.
QByteArray taggedSentence(const QByteArray &body, const QByteArray &sentence);
void appendTaggedSentence(QByteArray &out, const QByteArray &body, const QString &sentence);

QByteArrayList toLatin1(const QStringList &list);

} // namespace udpdatagram
