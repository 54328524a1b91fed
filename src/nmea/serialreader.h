#pragma once

#include "seriallinecutter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QSerialPort;
class QThread;
class QTimer;

// One NMEA 0183 serial line: opens the port (8N1, no flow control), cuts what arrives into
// sentence lines and writes outgoing sentences.
// Event-driven readers read in the thread they live in, on every arrival of data; polling readers
// move into the shared serial reader thread when started and read there on a short period.
// A started line is kept open: a device that is missing or vanishes (an adapter pulled, the far
// end of a pseudo-terminal gone) is logged, closed and opened again as soon as it is back.
class SerialReader : public QObject
{
    Q_OBJECT
public:
    // What the line is used for, given at construction.
    enum Mode { ReceiveAndSend = 0, ReceiveOnly = 1, SendOnly = 2 };
    enum class QueryMode { EventDriven, Polling };

    static constexpr int DefaultBaudRate = 4800;
    static constexpr int PollIntervalMsecs = 20;
    static constexpr int RetryIntervalMsecs = 2000;

    explicit SerialReader(int portNumber, int mode = ReceiveAndSend, QObject *parent = nullptr);
    ~SerialReader() override;

    QString deviceName() const;
    int portNumber() const { return m_portNumber; }
    int mode() const { return m_mode; }
    int baudRate() const { return m_baudRate; }
    bool isReadingEnabled() const { return m_readingEnabled; }
    bool dtrRts() const { return m_dtrRts; }
    void setDtrRts(bool on) { m_dtrRts = on; }
    QueryMode queryMode() const { return m_queryMode; }
    void setQueryMode(QueryMode mode) { m_queryMode = mode; }
    bool isOpen() const { return m_open; }
    bool isStarted() const { return m_started; }

    // Open and close once, in the thread the reader lives in.
    bool open();
    void close();

public slots:
    // Every slot below is safe from any thread: the work is done in the reader's own thread.
    // A new device name reopens a started line; a new rate applies to the open line at once.
    void setDeviceName(const QString &name);
    void setBaudRate(int baud);
    void setReadingEnabled(bool enabled);
    // Opens the line and keeps it open until stop(); to be called from the thread that owns the
    // reader (a polling reader moves into the serial reader thread and comes back on stop()).
    void start();
    void stop();
    void readAllLines();
    // Writes the text as it is (Latin-1); the number of bytes written, 0 when the line is closed.
    int sendMessage(QString msg);

signals:
    void lineReceived(QString line, int port_number);

private:
    void inOwnThread(std::function<void()> work);
    void openOrRetry();
    void reopen();
    void lineLost(const QString &reason);
    void closeHere();

    QSerialPort *m_port = nullptr;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_retryTimer;
    QString m_deviceName;
    const int m_portNumber;
    const int m_mode;
    std::atomic<int> m_baudRate{DefaultBaudRate};
    std::atomic<bool> m_readingEnabled{true};
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_started{false};
    bool m_dtrRts = false;
    QueryMode m_queryMode = QueryMode::EventDriven;
    bool m_inSharedThread = false;
    // A failed opening is logged once until the line opens again.
    bool m_failureLogged = false;
    bool m_lost = false;
    QByteArray m_waiting;
    SerialLineCutter m_cutter;
};
