#include "serialreader.h"

#include "serialreaderthread.h"

#include <QDebug>
#include <QMutex>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

namespace {
// The device names of all readers; a reader's name is read from other threads.
QMutex g_nameMutex;
}

SerialReader::SerialReader(int portNumber, int mode, QObject *parent)
    : QObject(parent)
    , m_retryTimer(new QTimer(this))
    , m_portNumber(portNumber)
    , m_mode(mode)
{
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(RetryIntervalMsecs);
    connect(m_retryTimer, &QTimer::timeout, this, &SerialReader::openOrRetry);
}

SerialReader::~SerialReader()
{
    stop();
    close();
}

QString SerialReader::deviceName() const
{
    QMutexLocker lock(&g_nameMutex);
    return m_deviceName;
}

void SerialReader::inOwnThread(std::function<void()> work)
{
    if (thread() == QThread::currentThread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void SerialReader::setDeviceName(const QString &name)
{
    {
        QMutexLocker lock(&g_nameMutex);
        if (name == m_deviceName)
            return;
        m_deviceName = name;
    }
    inOwnThread([this] { reopen(); });
}

void SerialReader::setBaudRate(int baud)
{
    if (baud <= 0 || m_baudRate.exchange(baud) == baud)
        return;
    // Applied to the open line in place: closing a pseudo-terminal would reset its line settings
    // (echo on) until the next opening, and a looped-back far end would then echo without end.
    inOwnThread([this] {
        if (m_port && m_port->baudRate() != m_baudRate)
            m_port->setBaudRate(m_baudRate);
    });
}

void SerialReader::setReadingEnabled(bool enabled)
{
    m_readingEnabled = enabled;
}

bool SerialReader::open()
{
    if (m_port)
        closeHere();
    const QString device = deviceName();
    if (device.isEmpty())
        return false;

    m_port = new QSerialPort(device, this);
    m_port->setBaudRate(m_baudRate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_failureLogged)
        qDebug().noquote() << "About to open port: " + device;

    if (!m_port->open(QIODevice::ReadWrite)) {
        if (!m_failureLogged)
            qDebug().noquote() << "Error opening port: " + device + QStringLiteral(" (")
                                      + m_port->errorString() + QLatin1Char(')');
        delete m_port;
        m_port = nullptr;
        return false;
    }
    // Lines without modem control (pseudo-terminals, some adapters) refuse these; that is no fault.
    m_port->setDataTerminalReady(m_dtrRts);
    m_port->setRequestToSend(m_dtrRts);
    m_port->clearError();
    // A vanished device reports read errors without end until the port is closed.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError
            || error == QSerialPort::PermissionError) {
            if (m_port)
                lineLost(m_port->errorString());
        }
    });

    m_waiting.clear();
    m_cutter.clear();
    if (m_queryMode == QueryMode::EventDriven) {
        connect(m_port, &QSerialPort::readyRead, this, &SerialReader::readAllLines);
    } else {
        m_pollTimer = new QTimer(this);
        m_pollTimer->setInterval(PollIntervalMsecs);
        connect(m_pollTimer, &QTimer::timeout, this, &SerialReader::readAllLines);
        m_pollTimer->start();
        qDebug().noquote() << device + " Query mode QueryMode::Polling.";
        qDebug().noquote() << "Thread ID: "
                              + QString::number(reinterpret_cast<quintptr>(QThread::currentThread()), 16);
    }
    m_open = true;
    m_failureLogged = false;
    m_lost = false;
    qDebug().noquote() << "Opened port for reading: " + device;
    return true;
}

void SerialReader::close()
{
    if (m_port)
        closeHere();
}

void SerialReader::closeHere()
{
    delete m_pollTimer;
    m_pollTimer = nullptr;
    disconnect(m_port, nullptr, this, nullptr);
    m_port->close();
    if (m_port->error() != QSerialPort::NoError && m_port->error() != QSerialPort::NotOpenError)
        qDebug().noquote() << "Error closing port" + QStringLiteral(" . Exception:") + m_port->errorString();
    else
        qDebug().noquote() << "Closed port";
    m_port->deleteLater();
    m_port = nullptr;
    m_open = false;
}

void SerialReader::start()
{
    if (m_started.exchange(true))
        return;
    if (m_queryMode == QueryMode::Polling && !m_inSharedThread) {
        if (parent()) {
            // An owned object cannot change threads; it keeps reading where its owner lives.
            qDebug().noquote() << "Parrent: " + parent()->objectName() + " keeps " + deviceName()
                                      + " event driven";
            m_queryMode = QueryMode::EventDriven;
        } else {
            qDebug().noquote() << "Parrent: none";
            QThread *shared = SerialReaderThread::acquire();
            moveToThread(shared);
            m_inSharedThread = true;
        }
    }
    inOwnThread([this] { openOrRetry(); });
}

void SerialReader::stop()
{
    if (!m_started.exchange(false))
        return;
    auto shutDown = [this] {
        m_retryTimer->stop();
        close();
    };
    if (m_inSharedThread) {
        // The port and its timers live in the reader thread: close them there and come home.
        QThread *home = QThread::currentThread();
        QMetaObject::invokeMethod(this, [this, home, shutDown] {
            shutDown();
            moveToThread(home);
        }, Qt::BlockingQueuedConnection);
        m_inSharedThread = false;
        SerialReaderThread::release();
    } else {
        shutDown();
    }
}

void SerialReader::openOrRetry()
{
    if (!m_started || m_port)
        return;
    if (deviceName().isEmpty())
        return;
    if (open())
        return;
    if (!m_failureLogged)
        qDebug().noquote() << "Retrying port every " + QString::number(RetryIntervalMsecs) + " ms: "
                                  + deviceName();
    m_failureLogged = true;
    m_retryTimer->start();
}

void SerialReader::reopen()
{
    const bool wasOpen = m_port != nullptr;
    if (!m_started && !wasOpen)
        return;
    m_retryTimer->stop();
    close();
    if (m_started)
        openOrRetry();
    else
        open();
}

void SerialReader::lineLost(const QString &reason)
{
    if (m_lost)
        return;
    m_lost = true;
    qDebug().noquote() << "Lost port: " + deviceName() + QStringLiteral(" (") + reason + QLatin1Char(')');
    // Closing inside the port's own signal is not allowed: do it on the next turn of the loop.
    if (m_pollTimer)
        m_pollTimer->stop();
    QMetaObject::invokeMethod(this, [this] {
        close();
        if (m_started)
            m_retryTimer->start();
    }, Qt::QueuedConnection);
}

void SerialReader::readAllLines()
{
    if (!m_port || m_lost)
        return;
    m_waiting += m_port->readAll();
    if (m_waiting.isEmpty())
        return;
    const QStringList lines = m_cutter.cut(m_waiting);
    if (!m_readingEnabled || m_mode == SendOnly)
        return;
    for (const QString &line : lines)
        emit lineReceived(line, m_portNumber);
}

int SerialReader::sendMessage(QString msg)
{
    if (!m_port || m_lost || m_mode == ReceiveOnly)
        return 0;
    const qint64 written = m_port->write(msg.toLatin1());
    return written < 0 ? 0 : static_cast<int>(written);
}
