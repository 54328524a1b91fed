#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The simulated transceiver and bottom detection of the junction box: one ping per interval
// with a slowly varying depth on both channels. This is the place for simulated alert logic
// (shallow and deep alarms from the shared alert settings) and for the echo images of a ping.
class SimulatedSounder : public QObject
{
    Q_OBJECT
public:
    struct Ping
    {
        qint64 number = 0;
        double depthCh1 = 0;   // metres below the transducer; -100 when no bottom is found
        double depthCh2 = 0;
    };

    explicit SimulatedSounder(int ping_interval_ms = 1000, QObject *parent = nullptr);

    void setBaseDepth(double metres) { m_baseDepth = metres; }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    Ping current() const { return m_ping; }

signals:
    void pinged(SimulatedSounder::Ping ping);

private slots:
    void ping();

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_baseDepth = 25.0;
    Ping m_ping;
};
