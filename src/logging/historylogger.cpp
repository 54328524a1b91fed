#include "historylogger.h"

#include <QDebug>
#include <QtConcurrent>

HistoryLogger::HistoryLogger(int channel, const QString &directory, QObject *parent)
    : QObject(parent), m_channel(channel), m_directory(directory)
{
    qRegisterMetaType<BasicHistoryPoint>("BasicHistoryPoint");
    qRegisterMetaType<SignalProperties>("SignalProperties");
    qRegisterMetaType<QList<BasicHistoryPoint>>("QList<BasicHistoryPoint>");
    connect(&m_saving, &QFutureWatcher<bool>::finished, this, &HistoryLogger::fileSavingFinished);
    QList<BasicHistoryPoint> earlier;
    if (HistoryFile::read(filePath(), nullptr, &earlier) == HistoryFile::HeaderNone)
        m_points = earlier;
    trim();
}

HistoryLogger::~HistoryLogger()
{
    m_saving.waitForFinished();
}

QString HistoryLogger::filePath() const
{
    return m_directory + QStringLiteral("/KVE_History_Ch%1").arg(m_channel + 1);
}

QString HistoryLogger::shortFilePath() const
{
    return filePath() + QStringLiteral("_short");
}

void HistoryLogger::setHistory(const QList<BasicHistoryPoint> &points)
{
    m_points = points;
    trim();
    emit completeHistoryChanged();
}

void HistoryLogger::addHistoryData(BasicHistoryPoint point)
{
    point.channel = m_channel;
    m_points.append(point);
    trim();
    if (!m_appender.isOpen())
        m_appender.open(filePath(), m_channel);
    if (!m_appender.append(point)) {
        qDebug().noquote() << QStringLiteral("History point not written: ") + filePath();
        m_appender.close();
    } else if (m_appender.count() > 2 * m_points.size() + 100) {
        // The file only grows by appending; once it holds far more than the last 24 hours it is
        // rewritten with what is remembered.
        m_appender.close();
        if (!HistoryFile::writeWhole(filePath(), m_channel, m_points))
            qDebug().noquote() << QStringLiteral("History file not written: ") + filePath();
    }
    emit newHistoryPointSig(point);

    m_pendingLongTerm.append(point);
    if (m_pendingLongTerm.size() >= m_batchSize) {
        emit dataForLongTermReady(m_pendingLongTerm);
        m_pendingLongTerm.clear();
    }
    const bool entire = m_entireWindow.isValid() && m_entireWindow.elapsed() < 10000;
    if (++m_sinceShortSave >= ShortFileEveryPoints || entire)
        saveShortFile();
}

void HistoryLogger::recordEntireHistoryToFile_forNext10Secs()
{
    m_appender.close();
    if (!HistoryFile::writeWhole(filePath(), m_channel, m_points))
        qDebug().noquote() << QStringLiteral("History file not written: ") + filePath();
    m_entireWindow.start();
    saveShortFile();
}

void HistoryLogger::trim()
{
    if (m_points.isEmpty() || !m_points.last().time.isValid())
        return;
    const QDateTime oldest = m_points.last().time.addSecs(-KeepSecs);
    int drop = 0;
    while (drop < m_points.size() && m_points.at(drop).time.isValid() && m_points.at(drop).time < oldest)
        ++drop;
    m_points.erase(m_points.begin(), m_points.begin() + drop);
}

void HistoryLogger::saveShortFile()
{
    m_sinceShortSave = 0;
    if (m_saving.isRunning()) {
        m_saveAgain = true;
        return;
    }
    QList<BasicHistoryPoint> recent;
    if (!m_points.isEmpty()) {
        const QDateTime from = m_points.last().time.addSecs(-ShortSecs);
        for (const BasicHistoryPoint &p : m_points) {
            if (!p.time.isValid() || p.time >= from)
                recent.append(p);
        }
    }
    const QString path = shortFilePath();
    const int channel = m_channel;
    m_saving.setFuture(QtConcurrent::run([path, channel, recent] {
        return HistoryFile::writeWhole(path, channel, recent);
    }));
}

void HistoryLogger::fileSavingFinished()
{
    if (!m_saving.result())
        qDebug().noquote() << QStringLiteral("Short history file not written: ") + shortFilePath();
    else
        emit fileSaved(m_channel);
    if (m_saveAgain) {
        m_saveAgain = false;
        saveShortFile();
    }
}
