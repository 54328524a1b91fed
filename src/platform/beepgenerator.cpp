#include "beepgenerator.h"

#include <QDebug>
#include <QTimer>

BeepGenerator::BeepGenerator(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    // Audible rhythm: coarse timers would drift by up to 5 % per step.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &BeepGenerator::beepTimerTimeout);
}

void BeepGenerator::setPattern(const QList<int> &durationsMsecs)
{
    if (durationsMsecs == m_pattern)
        return;
    m_pattern = durationsMsecs;
    m_patternChanged = true;
}

void BeepGenerator::startBeepFuction(bool starting_state)
{
    if (m_running && !m_patternChanged)
        return;
    if (m_pattern.isEmpty()) {
        qDebug().noquote() << "Beep pattern is empty, not started";
        return;
    }
    m_state = starting_state;
    m_running = true;
    m_patternChanged = false;
    m_index = 0;
    startTimerFor(m_index);
    emit beepStateChanged(starting_state);
}

void BeepGenerator::stopBeepFuction()
{
    m_timer->stop();
    m_running = false;
    if (m_state) {
        m_state = false;
        emit beepStateChanged(false);
    }
}

void BeepGenerator::beepTimerTimeout()
{
    if (m_pattern.isEmpty()) {
        stopBeepFuction();
        return;
    }
    m_state = !m_state;
    emit beepStateChanged(m_state);
    m_index = (m_index + 1) % m_pattern.size();
    startTimerFor(m_index);
}

void BeepGenerator::startTimerFor(int index)
{
    // A zero or negative step would spin the event loop; one millisecond is the shortest beep.
    m_timer->start(qMax(1, m_pattern.at(index)));
}
