#pragma once

#include "esenums.h"

#include <QObject>
#include <QString>
#include <QTimer>

class InputErrorLogger;
class LogFileWriter;
class MessageLogger;
class QThread;

// The communication logs of the unit: received and sent sentences and rejected input, each in its
// folder below "/Communication_Logs/" on the logging device. Lines are gathered on the main thread
// and written and flushed in batches by the "Communication logging thread".
class CommunicationsLogging : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultWritePeriodMsecs = 1000;
    static constexpr int DefaultFlushPeriodMsecs = 10000;

    explicit CommunicationsLogging(QObject *parent = nullptr, int writePeriodMsecs = DefaultWritePeriodMsecs,
                                   int flushPeriodMsecs = DefaultFlushPeriodMsecs);
    ~CommunicationsLogging() override;

    MessageLogger *inputLogger() const { return m_input; }
    MessageLogger *outputLogger() const { return m_output; }
    InputErrorLogger *errorLogger() const { return m_errors; }
    LogFileWriter *writer() const { return m_writer; }
    QThread *writerThread() const { return m_thread; }
    enum_LogToDevice loggingDevice() const { return m_device; }
    // "<device>/Communication_Logs" while a device can take logs, empty otherwise.
    QString directory() const { return m_directory; }

public slots:
    // From the logging device controller.
    void setDeviceInfo(bool logging_space_available, bool reserved_space_available, QString dev_path);

private slots:
    void setLoggingDevice(enum_LogToDevice dev);
    void writeLogsToFiles();
    void flushLogsToFiles();

private:
    QThread *m_thread;
    LogFileWriter *m_writer;
    MessageLogger *m_input;
    MessageLogger *m_output;
    InputErrorLogger *m_errors;
    QTimer m_writeTimer;
    QTimer m_flushTimer;
    enum_LogToDevice m_device = LogToInternal;
    QString m_directory;
};
