#include "simulatedhistory.h"

#include "historyhttpserver.h"
#include "historylogger.h"
#include "historypoint.h"

#include <QDebug>
#include <QDir>

SimulatedHistory::SimulatedHistory(const QString &directory, int announce_interval_s, QObject *parent)
    : QObject(parent), m_directory(directory), m_server(new HistoryHttpServer(directory, this))
{
    QDir().mkpath(directory);
    for (int ch = 0; ch < 2; ++ch)
        m_loggers[size_t(ch)] = new HistoryLogger(ch, directory, this);
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
    return m_loggers.at(size_t(channel & 1))->points().size();
}

void SimulatedHistory::addDisplayRecord(int channel, const QString &values)
{
    if (channel != 0 && channel != 1)
        return;
    if (++m_records[size_t(channel)] % kRecordsPerPoint != 0)
        return;
    int bad = 0;
    const BasicHistoryPoint point = BasicHistoryPoint::fromRecordText(values, channel, &bad);
    if (!point.time.isValid() || bad) {
        qDebug().noquote() << QStringLiteral("History point not made from: ") + values;
        return;
    }
    m_loggers[size_t(channel)]->addHistoryData(point);
    m_grown[size_t(channel)] = true;
}

void SimulatedHistory::announce()
{
    for (int ch = 0; ch < 2; ++ch) {
        if (m_grown[size_t(ch)]) {
            m_grown[size_t(ch)] = false;
            emit fileReady(ch);
        }
    }
}
