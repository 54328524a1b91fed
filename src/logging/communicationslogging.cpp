#include "communicationslogging.h"

#include "esloggingdevicecontroller.h"
#include "essetup.h"
#include "logfilewriter.h"
#include "messagelogger.h"
#include "watchdogsingletonwrapper.h"

#include <QMetaMethod>
#include <QMetaProperty>

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

void CommunicationsLogging::followSettings(CommsLoggingSetup *setup, ESLoggingDeviceController *device)
{
    m_setup = setup;
    m_deviceController = device;
    connect(device, &ESLoggingDeviceController::deviceInfoChanged, this, &CommunicationsLogging::setDeviceInfo);
    if (device->isLoggingSpaceAvailable())
        setDeviceInfo(true, device->isReservedSpaceAvailable(), device->logPath());
    // Any change of the logging setup is applied whole.
    const QMetaMethod apply = metaObject()->method(metaObject()->indexOfSlot("applySettings()"));
    for (SerializableClass *part : {static_cast<SerializableClass *>(setup->CommonLoggingSetup()),
                                    static_cast<SerializableClass *>(setup->InputLoggingSetup()),
                                    static_cast<SerializableClass *>(setup->OutputLoggingSetup()),
                                    static_cast<SerializableClass *>(setup->ErrorLoggingSetup())}) {
        const QMetaObject *meta = part->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            if (meta->property(i).hasNotifySignal())
                connect(part, meta->property(i).notifySignal(), this, apply);
        }
    }
    applySettings();
}

void CommunicationsLogging::applySettings()
{
    if (!m_setup)
        return;
    constexpr int on = 0;
    const CommsPortLoggingSetup *in = m_setup->InputLoggingSetup();
    const CommsPortLoggingSetup *out = m_setup->OutputLoggingSetup();
    const CommsErrorLoggingSetup *errors = m_setup->ErrorLoggingSetup();
    const struct
    {
        Port port;
        int input, output, error;
    } ports[] = {{Serial_1, in->Nmea1(), out->Nmea1(), errors->Nmea1()},
                 {Serial_2, in->Nmea2(), out->Nmea2(), errors->Nmea2()},
                 {Serial_3, in->Nmea3(), out->Nmea3(), errors->Nmea3()},
                 {UDP, in->NmeaUdp(), out->NmeaUdp(), errors->NmeaUdp()}};
    for (const auto &port : ports) {
        m_input->setPortLogging(port.port, port.input == on);
        m_output->setPortLogging(port.port, port.output == on);
        m_errors->setPortLogging(port.port, port.error == on);
    }
    m_errors->setUdpNmeaDatagramLogging(errors->UdpNmeaDatagram() == on);
    m_errors->setUdpBinaryDatagramLogging(errors->UdpBinaryDatagram() == on);
    setLoggingDevice(static_cast<enum_LogToDevice>(m_setup->CommonLoggingSetup()->LogToDevice()));
}

void CommunicationsLogging::setLoggingDevice(enum_LogToDevice dev)
{
    m_device = dev;
    if (m_deviceController)
        m_deviceController->setLoggingDevice(dev);
}

void CommunicationsLogging::logOutputMessageGroup(NmeaGroupInfo group_info)
{
    for (const QString &sentence : qAsConst(group_info.messages))
        m_output->logMessageToFile(group_info.port, sentence);
}

void CommunicationsLogging::logInputError(int error_type, Port port, QString message)
{
    m_errors->logNmeaMessageErrorToFile(static_cast<NmeaErrorType>(error_type), port, message);
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
