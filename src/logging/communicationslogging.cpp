#include "communicationslogging.h"

#include "logfilewriter.h"
#include "messagelogger.h"
#include "watchdogsingletonwrapper.h"

#include <QThread>

CommunicationsLogging::CommunicationsLogging(QObject *parent, int writePeriodMsecs, int flushPeriodMsecs)
    : QObject(parent)
    , m_thread(new QThread(this))
    , m_writer(new LogFileWriter)
    , m_input(new MessageLogger(this))
    , m_output(new MessageLogger(this))
    , m_errors(new InputErrorLogger(this))
{
    registerNmeaMetaTypes();
    m_thread->setObjectName(QStringLiteral("Communication logging thread"));
    m_writer->moveToThread(m_thread);
    m_thread->start(QThread::LowPriority);
    // A write to a slow medium may take a while, never a minute.
    WatchdogSingletonWrapper::instance().watchThread(m_thread, 5000, 60000);
    for (MessageLogger *logger : {m_input, m_output, static_cast<MessageLogger *>(m_errors)})
        logger->setWriter(m_writer);

    m_writeTimer.setInterval(writePeriodMsecs);
    connect(&m_writeTimer, &QTimer::timeout, this, &CommunicationsLogging::writeLogsToFiles);
    m_writeTimer.start();
    m_flushTimer.setInterval(flushPeriodMsecs);
    connect(&m_flushTimer, &QTimer::timeout, this, &CommunicationsLogging::flushLogsToFiles);
    m_flushTimer.start();
}

CommunicationsLogging::~CommunicationsLogging()
{
    writeLogsToFiles();
    flushLogsToFiles();
    m_thread->quit();
    m_thread->wait();
    // The queued batches were delivered before the thread's event loop ended.
    delete m_writer;
}

void CommunicationsLogging::setDeviceInfo(bool logging_space_available, bool, QString dev_path)
{
    const QString dir = logging_space_available && !dev_path.isEmpty()
                            ? dev_path + QStringLiteral("/Communication_Logs")
                            : QString();
    if (dir == m_directory)
        return;
    m_directory = dir;
    auto sub = [&dir](const char *name) { return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + QLatin1String(name); };
    m_input->setDirPath(sub("Input_Messages"));
    m_output->setDirPath(sub("Output_Messages"));
    m_errors->setDirPath(sub("Input_Errors"));
    // Files of a device that is gone must not stay open.
    QMetaObject::invokeMethod(m_writer, "closeFiles", Qt::QueuedConnection);
}

void CommunicationsLogging::setLoggingDevice(enum_LogToDevice dev)
{
    m_device = dev;
}

void CommunicationsLogging::writeLogsToFiles()
{
    m_input->writeToFiles();
    m_output->writeToFiles();
    m_errors->writeToFiles();
}

void CommunicationsLogging::flushLogsToFiles()
{
    m_input->flushToFiles();
    m_output->flushToFiles();
    m_errors->flushToFiles();
}
