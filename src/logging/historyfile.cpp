#include "historyfile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace HistoryFile {

const char *const Token = "Velmora KVE4x0 History";

int check(const Header &header)
{
    if (header.token != QLatin1String(Token))
        return HeaderWrongToken;
    if (header.major != MajorVersion)
        return HeaderWrongMajor;
    if (header.minor != MinorVersion)
        return HeaderWrongMinor;
    if (header.count < 0)
        return HeaderOther;
    return HeaderNone;
}

QString checkWords(int result)
{
    switch (result) {
    case HeaderNone:
        return QStringLiteral("None");
    case HeaderWrongToken:
        return QStringLiteral("Wrong Token");
    case HeaderWrongMajor:
        return QStringLiteral("Wrong Major Version");
    case HeaderWrongMinor:
        return QStringLiteral("Wrong Minor Version");
    default:
        return QStringLiteral("Other");
    }
}

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_5_15);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
}

void writeHeader(QDataStream &out, const Header &h)
{
    // UTC times keep the header the same size whatever they hold, so it can be rewritten in place.
    out << h.token << h.major << h.minor << h.channel << h.count << h.first.toUTC() << h.last.toUTC();
}

bool readHeader(QDataStream &in, Header *h)
{
    in >> h->token >> h->major >> h->minor >> h->channel >> h->count >> h->first >> h->last;
    return in.status() == QDataStream::Ok;
}

int read(const QString &path, Header *header, QList<BasicHistoryPoint> *points)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return HeaderOther;
    QDataStream in(&file);
    prepare(in);
    Header h;
    int result = HeaderOther;
    if (readHeader(in, &h))
        result = check(h);
    else if (h.token != QLatin1String(Token))
        result = HeaderWrongToken; // too short even for the token
    if (header)
        *header = h;
    if (result != HeaderNone || !points)
        return result;
    points->clear();
    for (qint32 i = 0; i < h.count; ++i) {
        BasicHistoryPoint p;
        in >> p;
        if (in.status() != QDataStream::Ok)
            break;
        points->append(p);
    }
    return result;
}

bool writeWhole(const QString &path, int channel, const QList<BasicHistoryPoint> &points)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    prepare(out);
    Header h;
    h.channel = channel;
    h.count = points.size();
    if (!points.isEmpty()) {
        h.first = points.first().time;
        h.last = points.last().time;
    }
    writeHeader(out, h);
    for (const BasicHistoryPoint &p : points)
        out << p;
    return out.status() == QDataStream::Ok && file.commit();
}

bool Appender::open(const QString &path, int channel)
{
    close();
    QDir().mkpath(QFileInfo(path).path());
    Header existing;
    QList<BasicHistoryPoint> points;
    const bool keep = QFileInfo::exists(path) && read(path, &existing, &points) == HeaderNone
                      && existing.channel == channel;
    m_file.setFileName(path);
    if (!m_file.open(keep ? QIODevice::ReadWrite : (QIODevice::ReadWrite | QIODevice::Truncate))) {
        qDebug().noquote() << QStringLiteral("Can't open history file: ") + path;
        return false;
    }
    if (keep) {
        // Points after the counted ones (a cut-short write) are dropped, and the points kept are
        // written back as this unit writes them: a point of another form (from a newer version, or
        // damaged) takes other room, so cutting the file at the length they take here would leave
        // the next point behind a broken one.
        m_header = existing;
        m_header.count = points.size();
        QByteArray body;
        QDataStream out(&body, QIODevice::WriteOnly);
        prepare(out);
        writeHeader(out, m_header);
        for (const BasicHistoryPoint &p : points)
            out << p;
        return m_file.write(body) == body.size() && m_file.resize(body.size()) && m_file.flush();
    }
    m_header = Header();
    m_header.channel = channel;
    return writeHeaderInPlace();
}

bool Appender::append(const BasicHistoryPoint &point)
{
    if (!m_file.isOpen())
        return false;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepare(out);
    out << point;
    if (!m_file.seek(m_file.size()) || m_file.write(bytes) != bytes.size() || !m_file.flush())
        return false;
    if (m_header.count == 0)
        m_header.first = point.time;
    m_header.last = point.time;
    ++m_header.count;
    return writeHeaderInPlace();
}

void Appender::close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool Appender::writeHeaderInPlace()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepare(out);
    writeHeader(out, m_header);
    return m_file.seek(0) && m_file.write(bytes) == bytes.size() && m_file.flush();
}

}
