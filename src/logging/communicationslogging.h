#pragma once

#include "esenums.h"
#include "nmeagroupinfo.h"

#include <QObject>
#include <QString>
#include <QTimer>

class CommsLoggingSetup;
class ESLoggingDeviceController;
class InputErrorLogger;
class LogFileWriter;
class MessageLogger;
class QThread;

// The communication logs of the unit: received and sent sentences and rejected input, each in its
// folder below "/Communication_Logs/" on the logging device. Lines are gathered on the main thread
// and written and flushed in batches by the "Communication logging thread". Which ports are logged
// in which direction, and on which device, follows the logging setup; the additional serial lines
// have no switch of their own there and are not logged.
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

    // Follows the logging setup from now on: the per-port switches of input, output and errors,
    // and the device ("LogToDevice"), which the given device controller watches and measures.
    void followSettings(CommsLoggingSetup *setup, ESLoggingDeviceController *device);

public slots:
    // From the logging device controller.
    void setDeviceInfo(bool logging_space_available, bool reserved_space_available, QString dev_path);
    // Every sentence of a group that the unit sent.
    void logOutputMessageGroup(NmeaGroupInfo group_info);
    // A received line that failed its checks, with its communication error code.
    void logInputError(int error_type, Port port, QString message);

private slots:
    void setLoggingDevice(enum_LogToDevice dev);
    void applySettings();
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
    CommsLoggingSetup *m_setup = nullptr;
    ESLoggingDeviceController *m_deviceController = nullptr;
};
