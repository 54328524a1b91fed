#pragma once

#include "echorecord.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <array>

class QThread;

// Appends every raw echo record of each channel to numbered record files on the logging device,
// one series per channel, both channels changing files together when one reaches the size limit.
// Each record is a 30-byte little-endian header followed by its samples. The newest and oldest
// file numbers survive restarts in the big-endian "info" file of the raw data folder.
class EchosounderDataLogger : public QObject
{
    Q_OBJECT
public:
    static constexpr int FileSizeUnitBytes = 5069;
    static constexpr int DefaultMaxFilesPerChannel = 99999;
    static constexpr int RecordHeaderBytes = 30;

    // maxFileSizeUnits times 5069 bytes is the size at which a file is closed.
    explicit EchosounderDataLogger(int maxFileSizeUnits, const QString &devicePath = QString(),
                                   QObject *parent = nullptr);
    ~EchosounderDataLogger() override;

    // The record header for one raw record.
    static QByteArray recordHeader(const EchoRecordInfo &record);
    static QString fileName(int channel, int number, const QString &utcText);

    qint64 maxFileSize() const { return m_maxFileSize; }
    int maxFilesPerChannel() const { return m_maxFiles; }
    void setMaxFilesPerChannel(int count);
    QString dataDirectory() const { return m_dir; }
    int newestNumber() const { return m_newest; }
    int oldestNumber() const { return m_oldest; }
    int filesCreated() const { return m_created; }
    qint64 recordsWritten() const { return m_written; }
    qint64 recordsDropped() const { return m_dropped; }
    bool isLogging() const { return m_loggingOn && m_possible; }
    QString currentFile(int channel) const;

public slots:
    void receivedDataForLogging(QByteArray raw_buffer, EchoRecordInfo info, int channel);
    void startStopLogging(bool logging_on);
    // dev_path is the logging device's folder; the records go below "/Raw_Echo_Data".
    void setDeviceInfo(bool is_logging_possible, QString path);
    // A non-zero importance starts a new pair of files at the next record, so that what follows
    // an event of interest is kept in files of its own.
    void fileImportanceChanged(int v);

signals:
    // Writing stopped after a failure; setDeviceInfo() starts it again.
    void writeFailed(QString file_name);

private:
    bool startNewFiles();
    void closeFiles();
    void stopAfterFailure(const QString &where);
    void deleteOldest();
    void readState();
    void writeState() const;

    qint64 m_maxFileSize;
    int m_maxFiles = DefaultMaxFilesPerChannel;
    QString m_dir;
    int m_newest = 0;
    int m_oldest = 1;
    int m_created = 0;
    std::array<QFile, 2> m_files;
    bool m_loggingOn = false;
    bool m_possible = false;
    bool m_changeFilesRequested = false;
    qint64 m_written = 0;
    qint64 m_dropped = 0;
};

// Runs the raw data logger in the "Raw data logging thread", registered with the watchdog when
// one is set (5000 ms kick, 60000 ms time-out). Connect records to logger() with queued
// connections; the logger goes with this object, after its thread has stopped.
class RawDataLoggingThread : public QObject
{
    Q_OBJECT
public:
    static constexpr uint KickIntervalMsecs = 5000;
    static constexpr uint TimeoutMsecs = 60000;

    explicit RawDataLoggingThread(int maxFileSizeUnits, QObject *parent = nullptr);
    ~RawDataLoggingThread() override;

    EchosounderDataLogger *logger() const { return m_logger; }
    QThread *thread() const { return m_thread; }

private:
    QThread *m_thread;
    EchosounderDataLogger *m_logger;
};
