#pragma once

#include "seriallinecutter.h"
#include "serialplatform.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class QSerialPort;
class QThread;
class QTimer;

// One NMEA 0183 serial line: opens the port (8N1, no flow control), cuts what arrives into
// sentence lines and writes outgoing sentences.
// Event-driven readers read in the thread that opened them, on every arrival of data; polling
// readers move into the shared serial reader thread and read there on a short period.
// A reader of a build that leaves its lines idle never opens its port.
class SerialReader : public QObject
{
    Q_OBJECT
public:
    // What the line is used for, given at construction.
    enum Mode { ReceiveAndSend = 0, ReceiveOnly = 1, SendOnly = 2 };
    enum class QueryMode { EventDriven, Polling };

    static constexpr int DefaultBaudRate = 4800;
    static constexpr int PollIntervalMsecs = 20;

    SerialReader(int portNumber, int mode = ReceiveAndSend,
                 bool servesLines = kve::serialLinesServed(), QObject *parent = nullptr);
    ~SerialReader() override;

    QString deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name) { m_deviceName = name; }
    int portNumber() const { return m_portNumber; }
    int mode() const { return m_mode; }
    bool servesLines() const { return m_servesLines; }
    int baudRate() const { return m_baudRate; }
    bool isReadingEnabled() const { return m_readingEnabled; }
    bool dtrRts() const { return m_dtrRts; }
    void setDtrRts(bool on) { m_dtrRts = on; }
    QueryMode queryMode() const { return m_queryMode; }
    void setQueryMode(QueryMode mode) { m_queryMode = mode; }
    bool isOpen() const { return m_open; }

    // Called from the thread that owns the reader.
    bool open();
    void close();

public slots:
    // Safe from any thread: the new rate reaches the port in its own thread.
    void setBaudRate(int baud);
    void setReadingEnabled(bool enabled) { m_readingEnabled = enabled; }
    void readAllLines();
    // Writes the text as it is (Latin-1); the number of bytes written, 0 when the line is idle.
    int sendMessage(QString msg);

signals:
    void lineReceived(QString line, int port_number);

private:
    void applyBaudRate();
    void closeHere();

    QSerialPort *m_port = nullptr;
    QTimer *m_pollTimer = nullptr;
    QString m_deviceName;
    const int m_portNumber;
    const int m_mode;
    const bool m_servesLines;
    std::atomic<int> m_baudRate{DefaultBaudRate};
    std::atomic<bool> m_readingEnabled{true};
    std::atomic<bool> m_open{false};
    bool m_dtrRts = false;
    QueryMode m_queryMode = QueryMode::EventDriven;
    bool m_inSharedThread = false;
    QByteArray m_waiting;
    SerialLineCutter m_cutter;
};
