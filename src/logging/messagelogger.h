#pragma once

#include "logfilewriter.h"
#include "errorlogger.h"
#include "nmeagroupinfo.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

// Records the sentences of the ports whose logging is on, one file per port, each as one line:
// "dd-MMM-yyyy_hh:mm:ss (UTC) >> <sentence><<". Lines wait in memory until writeToFiles() hands
// them to the file writer; without a folder (no logging device) they are dropped and counted.
class MessageLogger : public QObject
{
    Q_OBJECT
public:
    static constexpr int PortCount = 7;
    // Lines gathered between two writes; more than a log file can take is never needed.
    static constexpr int MaxPendingBytes = 1024 * 1024;

    explicit MessageLogger(QObject *parent = nullptr);

    // Writes through a writer of another thread; without one the logger writes itself.
    void setWriter(LogFileWriter *writer);
    QString dirPath() const { return m_dirPath; }
    bool isPortLogging(Port port) const;
    qint64 linesDropped() const { return m_dropped; }
    qint64 linesLogged() const { return m_logged; }
    int pendingBytes() const { return m_pendingBytes; }

    // "NMEA_1.txt" .. "NMEA_3.txt", "NMEA_UDP.txt", and "NMEA_Add_1.txt" .. for the added lines.
    static QString portFileName(Port port);
    // The line for a message at a given time, line end included.
    static QByteArray formatLine(const QDateTime &utc, const QString &msg);

public slots:
    void logMessageToFile(Port port, QString msg);
    void writeToFiles();
    void flushToFiles();
    void setPortLogging(Port port, bool logging_on);
    void setDirPath(QString dir_path);

protected:
    void appendLine(const QString &fileName, const QString &msg);

private:
    QByteArray timeText();

    QString m_dirPath;
    QVector<bool> m_portLogging = QVector<bool>(PortCount, false);
    QMap<QString, QByteArray> m_pending;
    int m_pendingBytes = 0;
    qint64 m_dropped = 0;
    qint64 m_logged = 0;
    LogFileWriter *m_ownWriter;
    QPointer<LogFileWriter> m_writer;
    qint64 m_timeTextSecs = -1;
    QByteArray m_timeText;
};

// Records rejected input: sentences that failed their checks, per port, and datagrams rejected
// by the network transport in "UDP_NMEA_Datagrams.txt" and "UDP_Binary_Datagrams.txt".
class InputErrorLogger : public MessageLogger
{
    Q_OBJECT
public:
    explicit InputErrorLogger(QObject *parent = nullptr);

    static QString udpNmeaFileName() { return QStringLiteral("UDP_NMEA_Datagrams.txt"); }
    static QString udpBinaryFileName() { return QStringLiteral("UDP_Binary_Datagrams.txt"); }

public slots:
    void logUdpDatagramErrorToFile(NmeaOverUdpErrorType type, QString datagram);
    void logUdpDatagramErrorToFile(BinaryOverUdpErrorType type, QString datagram);
    void logNmeaMessageErrorToFile(NmeaErrorType type, Port port, QString msg);
    void setUdpNmeaDatagramLogging(bool logging_on);
    void setUdpBinaryDatagramLogging(bool logging_on);
    void setDirPath(QString dir_path) { MessageLogger::setDirPath(dir_path); }

private:
    bool m_udpNmea = false;
    bool m_udpBinary = false;
};
