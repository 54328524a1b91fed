#include "serialreader.h"

#include "serialreaderthread.h"

#include <QDebug>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

SerialReader::SerialReader(int portNumber, int mode, bool servesLines, QObject *parent)
    : QObject(parent)
    , m_portNumber(portNumber)
    , m_mode(mode)
    , m_servesLines(servesLines)
{
}

SerialReader::~SerialReader()
{
    close();
}

bool SerialReader::open()
{
    if (m_open)
        close();
    if (!m_servesLines) {
        qDebug().noquote() << "Serial lines are idle on this platform: " + m_deviceName;
        return false;
    }
    if (m_deviceName.isEmpty())
        return false;

    m_port = new QSerialPort(m_deviceName, this);
    m_port->setBaudRate(m_baudRate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    qDebug().noquote() << "About to open port: " + m_deviceName;

    if (!m_port->open(QIODevice::ReadWrite)) {
        qDebug().noquote() << "Error opening port: " + m_deviceName;
        delete m_port;
        m_port = nullptr;
        return false;
    }
    // Lines without modem control (pseudo-terminals, some adapters) refuse these; that is no fault.
    m_port->setDataTerminalReady(m_dtrRts);
    m_port->setRequestToSend(m_dtrRts);
    m_port->clearError();

    m_waiting.clear();
    m_cutter.clear();
    if (m_queryMode == QueryMode::Polling && parent()) {
        // An owned object cannot change threads; it keeps reading where its owner lives.
        qDebug().noquote() << "Parrent: " + parent()->objectName() + " keeps " + m_deviceName
                                  + " event driven";
        m_queryMode = QueryMode::EventDriven;
    }
    if (m_queryMode == QueryMode::EventDriven) {
        connect(m_port, &QSerialPort::readyRead, this, &SerialReader::readAllLines);
    } else {
        qDebug().noquote() << "Parrent: none";
        m_pollTimer = new QTimer(this);
        m_pollTimer->setInterval(PollIntervalMsecs);
        connect(m_pollTimer, &QTimer::timeout, this, &SerialReader::readAllLines);
        QThread *shared = SerialReaderThread::acquire();
        moveToThread(shared);
        m_inSharedThread = true;
        QMetaObject::invokeMethod(m_pollTimer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
        qDebug().noquote() << m_deviceName + " Query mode QueryMode::Polling.";
        qDebug().noquote() << "Thread ID: "
                              + QString::number(reinterpret_cast<quintptr>(shared), 16);
    }
    m_open = true;
    qDebug().noquote() << "Opened port for reading: " + m_deviceName;
    return true;
}

void SerialReader::close()
{
    if (!m_port)
        return;
    if (m_inSharedThread && thread() != QThread::currentThread()) {
        // The port and its timer live in the reader thread: close them there and come home.
        QThread *home = QThread::currentThread();
        QMetaObject::invokeMethod(this, [this, home] {
            closeHere();
            moveToThread(home);
        }, Qt::BlockingQueuedConnection);
    } else {
        closeHere();
    }
    if (m_inSharedThread) {
        m_inSharedThread = false;
        SerialReaderThread::release();
    }
}

void SerialReader::closeHere()
{
    delete m_pollTimer;
    m_pollTimer = nullptr;
    disconnect(m_port, &QSerialPort::readyRead, this, &SerialReader::readAllLines);
    m_port->close();
    if (m_port->error() != QSerialPort::NoError && m_port->error() != QSerialPort::NotOpenError)
        qDebug().noquote() << "Error closing port" + QStringLiteral(" . Exception:") + m_port->errorString();
    else
        qDebug().noquote() << "Closed port";
    delete m_port;
    m_port = nullptr;
    m_open = false;
}

void SerialReader::setBaudRate(int baud)
{
    if (baud <= 0)
        return;
    m_baudRate = baud;
    QMetaObject::invokeMethod(this, [this] { applyBaudRate(); }, Qt::AutoConnection);
}

void SerialReader::applyBaudRate()
{
    if (m_port && m_port->baudRate() != m_baudRate)
        m_port->setBaudRate(m_baudRate);
}

void SerialReader::readAllLines()
{
    if (!m_port)
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
    if (!m_port || m_mode == ReceiveOnly)
        return 0;
    const qint64 written = m_port->write(msg.toLatin1());
    return written < 0 ? 0 : static_cast<int>(written);
}
