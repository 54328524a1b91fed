#include "messagelogger.h"

#include "unitclock.h"

#include <QDateTime>
#include <QDebug>
#include <QLocale>

namespace {
// A datagram can hold anything; its record must stay on one line.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1String("<CR>"));
    text.replace(QLatin1Char('\n'), QLatin1String("<LF>"));
    return text;
}

// Sentences arrive with their line end; the record adds its own.
QString withoutLineEnd(const QString &msg)
{
    int end = msg.size();
    while (end > 0 && (msg.at(end - 1) == QLatin1Char('\n') || msg.at(end - 1) == QLatin1Char('\r')))
        --end;
    return end == msg.size() ? msg : msg.left(end);
}
}

MessageLogger::MessageLogger(QObject *parent) : QObject(parent), m_ownWriter(new LogFileWriter(this))
{
    m_writer = m_ownWriter;
}

void MessageLogger::setWriter(LogFileWriter *writer)
{
    m_writer = writer ? writer : m_ownWriter;
}

bool MessageLogger::isPortLogging(Port port) const
{
    return int(port) >= 0 && int(port) < PortCount && m_portLogging.at(port);
}

QString MessageLogger::portFileName(Port port)
{
    switch (port) {
    case Serial_1:
        return QStringLiteral("NMEA_1.txt");
    case Serial_2:
        return QStringLiteral("NMEA_2.txt");
    case Serial_3:
        return QStringLiteral("NMEA_3.txt");
    case UDP:
        return QStringLiteral("NMEA_UDP.txt");
    case Add_Serial_1:
    case Add_Serial_2:
    case Add_Serial_3:
        return QStringLiteral("NMEA_Add_%1.txt").arg(int(port) - int(Add_Serial_1) + 1);
    }
    return QString();
}

QByteArray MessageLogger::formatLine(const QDateTime &utc, const QString &msg)
{
    return QLocale::c().toString(utc, QStringLiteral("dd-MMM-yyyy_hh:mm:ss")).toLatin1() + " (UTC) >> "
           + msg.toUtf8() + "<<\n";
}

QByteArray MessageLogger::timeText()
{
    const QDateTime now = UnitClock::instance().currentDateTimeUtc();
    const qint64 secs = now.toSecsSinceEpoch();
    // Thousands of sentences a second share one time text.
    if (secs != m_timeTextSecs) {
        m_timeTextSecs = secs;
        m_timeText = QLocale::c().toString(now, QStringLiteral("dd-MMM-yyyy_hh:mm:ss")).toLatin1() + " (UTC) >> ";
    }
    return m_timeText;
}

void MessageLogger::appendLine(const QString &fileName, const QString &msg)
{
    if (m_dirPath.isEmpty() || m_pendingBytes > MaxPendingBytes) {
        ++m_dropped;
        return;
    }
    QByteArray &lines = m_pending[fileName];
    const int before = lines.size();
    lines += timeText();
    lines += msg.toUtf8();
    lines += "<<\n";
    m_pendingBytes += lines.size() - before;
    ++m_logged;
}

void MessageLogger::logMessageToFile(Port port, QString msg)
{
    if (!isPortLogging(port))
        return;
    appendLine(portFileName(port), withoutLineEnd(msg));
}

void MessageLogger::writeToFiles()
{
    if (m_pending.isEmpty() || !m_writer)
        return;
    LogBatch batch;
    batch.directory = m_dirPath;
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        batch.files.append(qMakePair(it.key(), it.value()));
    m_pending.clear();
    m_pendingBytes = 0;
    QMetaObject::invokeMethod(m_writer, "writeBatch", Q_ARG(LogBatch, batch));
}

void MessageLogger::flushToFiles()
{
    if (m_writer)
        QMetaObject::invokeMethod(m_writer, "flushFiles");
}

void MessageLogger::setPortLogging(Port port, bool logging_on)
{
    if (int(port) < 0 || int(port) >= PortCount) {
        qDebug() << "Logging switch for an unknown port:" << int(port);
        return;
    }
    m_portLogging[port] = logging_on;
}

void MessageLogger::setDirPath(QString dir_path)
{
    if (dir_path == m_dirPath)
        return;
    // What was gathered for the old folder still goes there.
    writeToFiles();
    m_dirPath = dir_path;
}

InputErrorLogger::InputErrorLogger(QObject *parent) : MessageLogger(parent)
{
}

void InputErrorLogger::logUdpDatagramErrorToFile(NmeaOverUdpErrorType type, QString datagram)
{
    if (!m_udpNmea)
        return;
    appendLine(udpNmeaFileName(), QStringLiteral("Error %1 (%2): ").arg(int(type)).arg(udpErrorText(type)) + oneLine(datagram));
}

void InputErrorLogger::logUdpDatagramErrorToFile(BinaryOverUdpErrorType type, QString datagram)
{
    if (!m_udpBinary)
        return;
    appendLine(udpBinaryFileName(), QStringLiteral("Error %1 (%2): ").arg(int(type)).arg(udpErrorText(type)) + oneLine(datagram));
}

void InputErrorLogger::logNmeaMessageErrorToFile(NmeaErrorType type, Port port, QString msg)
{
    if (!isPortLogging(port))
        return;
    appendLine(portFileName(port), QStringLiteral("Error %1 (%2): ").arg(int(type)).arg(nmeaErrorText(type))
                                       + oneLine(withoutLineEnd(msg)));
}

void InputErrorLogger::setUdpNmeaDatagramLogging(bool logging_on)
{
    m_udpNmea = logging_on;
}

void InputErrorLogger::setUdpBinaryDatagramLogging(bool logging_on)
{
    m_udpBinary = logging_on;
}
