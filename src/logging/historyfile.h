#pragma once

#include "historypoint.h"

#include <QDataStream>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

// The history file: a header (token, version 3.1, channel, number of points, time of the first and
// the last point) followed by the points, all in the Qt data stream format. Points are appended
// and the header's count and last time are rewritten in place after each one, so a file cut short
// at any moment still reads back as every point before the cut.
namespace HistoryFile {

extern const char *const Token;
constexpr qint32 MajorVersion = 3;
constexpr qint32 MinorVersion = 1;

struct Header
{
    QString token = QString::fromLatin1(Token);
    qint32 major = MajorVersion;
    qint32 minor = MinorVersion;
    qint32 channel = 0;
    qint32 count = 0;
    QDateTime first;
    QDateTime last;
};

enum Check { HeaderNone = 0, HeaderWrongToken = 1, HeaderWrongMajor = 2, HeaderWrongMinor = 3, HeaderOther = 4 };

// Token first, then the major version, then the minor one.
int check(const Header &header);
// "None", "Wrong Token", "Wrong Major Version", "Wrong Minor Version", and "Other" for anything else.
QString checkWords(int result);

void prepare(QDataStream &stream);
void writeHeader(QDataStream &out, const Header &header);
bool readHeader(QDataStream &in, Header *header);

// Reads a whole file. Returns the check result (HeaderOther also for a missing file); the points
// are filled only for a good header.
int read(const QString &path, Header *header, QList<BasicHistoryPoint> *points);
// Writes a complete file atomically.
bool writeWhole(const QString &path, int channel, const QList<BasicHistoryPoint> &points);

// Keeps a history file open and appends points to it.
class Appender
{
public:
    // Continues a good existing file of the channel or starts a new one.
    bool open(const QString &path, int channel);
    bool append(const BasicHistoryPoint &point);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    qint32 count() const { return m_header.count; }

private:
    bool writeHeaderInPlace();
    QFile m_file;
    Header m_header;
};

}
