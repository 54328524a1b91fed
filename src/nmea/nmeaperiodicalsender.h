#pragma once

#include <QList>
#include <QObject>

class NmeaHandler;
class SignalEmitter;
class QTimer;

// Produces the periodic sentences: every cycle, each handler with periodic sending enabled builds
// its sentence for the lines registered with it (on every divisor-th cycle), and each line's
// sentences are handed over as groups; depth and heartbeat sentences go alone.
class NmeaPeriodicalSender : public QObject
{
    Q_OBJECT
public:
    static constexpr int baseIntervalMs = 1000;

    // Takes the handlers of the handler container unless a list is given.
    explicit NmeaPeriodicalSender(QObject *parent = nullptr, int line_count = 4);
    NmeaPeriodicalSender(const QList<NmeaHandler *> &handlers, SignalEmitter *emitter,
                         int line_count, QObject *parent = nullptr);

    void setLineCount(int count) { m_lineCount = qMax(0, count); }
    int lineCount() const { return m_lineCount; }
    QTimer *timer() const { return m_timer; }

public slots:
    void sendPeriodicalFromTimeout();
    void sendPeriodicalMessages(int id);
    void restartTimer();

private:
    QTimer *m_timer;
    QList<NmeaHandler *> m_handlers;
    SignalEmitter *m_emitter;
    int m_lineCount;
};
