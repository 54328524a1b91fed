#pragma once

#include <QObject>
#include <QString>

#include <array>

class QTimer;

// Checks the serial lines with a loopback plug: the test sentence is sent on every line under test
// 20 times, 200 ms apart; a line passes when at least 19 came back intact.
class LoopTest : public QObject
{
    Q_OBJECT
public:
    static constexpr int PortCount = 3;
    static constexpr int Cycles = 20;
    static constexpr int CycleMsecs = 200;
    static constexpr int EvaluationDelayMsecs = 500;
    // Fewer intact echoes than this fail the line.
    static constexpr int MinIntact = 19;
    // Stored result per line.
    static constexpr int StatusPassed = 1;
    static constexpr int StatusFailed = 2;

    struct Result
    {
        bool testDone = false;
        std::array<bool, PortCount> passed{{false, false, false}};
        bool running = false;
    };

    explicit LoopTest(QObject *parent = nullptr);

    static QString testSentence();
    // Name of the runtime value that keeps a line's result ("NmeaPort1Status" for index 0).
    static QString statusName(int index);

    // Puts the lines 0, 1 and 2 under test; always succeeds.
    bool init();

    Result result() const { return m_result; }
    bool isRunning() const { return m_result.running; }
    int receivedCount(int index) const { return m_received.at(index); }
    int correctCount(int index) const { return m_correct.at(index); }

public slots:
    void runTest();
    void messageReceived(QString msg, int port);
    void sendTestMessage();

signals:
    void sendMessage(QString msg, int port);
    void aboutToStartTest();
    void finishedTesting();
    // One per line when a test is done: the status name and StatusPassed or StatusFailed.
    void portStatusDetermined(QString status_name, int status);

private slots:
    void evaluate();

private:
    int indexOfPort(int port) const;

    std::array<int, PortCount> m_ports{{0, 1, 2}};
    std::array<int, PortCount> m_received{{0, 0, 0}};
    std::array<int, PortCount> m_correct{{0, 0, 0}};
    int m_cycle = 0;
    Result m_result;
    QTimer *m_cycleTimer;
};
