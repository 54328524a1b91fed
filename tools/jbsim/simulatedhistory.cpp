#include "simulatedhistory.h"

#include "historyhttpserver.h"
#include "historylogger.h"
#include "historyloggercontainer.h"

#include <QDir>

SimulatedHistory::SimulatedHistory(const QString &directory, int announce_interval_s, QObject *parent)
    : QObject(parent)
    , m_directory(directory)
    , m_history(new HistoryLoggerContainer(directory, this))
    , m_server(new HistoryHttpServer(directory, this))
{
    QDir().mkpath(directory);
    for (int ch = 0; ch < 2; ++ch)
        connect(m_history->logger(ch), &HistoryLogger::newHistoryPointSig, this,
                [this, ch] { m_grown[size_t(ch)] = true; });
    m_announceTimer.setInterval(qMax(1, announce_interval_s) * 1000);
    connect(&m_announceTimer, &QTimer::timeout, this, &SimulatedHistory::announce);
    m_announceTimer.start();
}

bool SimulatedHistory::listen(quint16 port)
{
    return m_server->listen(port);
}

quint16 SimulatedHistory::port() const
{
    return m_server->port();
}

int SimulatedHistory::points(int channel) const
{
    return m_history->logger(channel & 1)->points().size();
}

void SimulatedHistory::addDisplayRecord(int channel, const QString &values)
{
    if (channel != 0 && channel != 1)
        return;
    if (++m_records[size_t(channel)] % kRecordsPerPoint == 0)
        m_history->logHistoryDataSlot(EchoRecordInfo::fromValues(values), channel);
}

void SimulatedHistory::announce()
{
    for (int ch = 0; ch < 2; ++ch) {
        if (m_grown[size_t(ch)]) {
            m_grown[size_t(ch)] = false;
            // The whole file is written before it is offered, so a download has every point.
            m_history->logger(ch)->recordEntireHistoryToFile_forNext10Secs();
            emit fileReady(ch);
        }
    }
}
