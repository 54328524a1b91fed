#include "simulatedsounder.h"

#include <cmath>

SimulatedSounder::SimulatedSounder(int ping_interval_ms, QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(ping_interval_ms);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedSounder::ping);
    m_clock.start();
}

void SimulatedSounder::ping()
{
    const double t = m_clock.elapsed() / 1000.0;
    ++m_ping.number;
    // A gentle swell over a sloping bottom; the second channel looks a little deeper.
    m_ping.depthCh1 = m_baseDepth + 3.0 * std::sin(t / 20.0) + 0.2 * std::sin(t * 1.3);
    m_ping.depthCh2 = m_ping.depthCh1 + 1.5;
    emit pinged(m_ping);
}
