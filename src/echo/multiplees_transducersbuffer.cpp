#include "multiplees_transducersbuffer.h"

#include "errorlogger.h"
#include "transducertables.h"
#include "unitclock.h"

#include <QDebug>

#include <cmath>

const QVector<int> &MultipleES_TransducersBuffer::timeRangesInMinutes()
{
    static const QVector<int> ranges{5, 10, 15, 30, 60, 720, 1440};
    return ranges;
}

QString MultipleES_TransducersBuffer::timeRangeName(int minutes)
{
    switch (minutes) {
    case 5: return QStringLiteral("5 min");
    case 10: return QStringLiteral("10 min");
    case 15: return QStringLiteral("15 min");
    case 30: return QStringLiteral("30 min");
    case 60: return QStringLiteral("1 hr");
    case 720: return QStringLiteral("12 hr");
    case 1440: return QStringLiteral("24 hr");
    default: return QString();
    }
}

int MultipleES_TransducersBuffer::timeRangeFromName(const QString &name)
{
    bool isIndex = false;
    const int index = name.toInt(&isIndex);
    if (isIndex)
        return (index >= 0 && index < timeRangesInMinutes().size()) ? timeRangesInMinutes().at(index)
                                                                     : -1;
    QString spaced = name;
    spaced.replace(QLatin1Char('_'), QLatin1Char(' '));
    for (int minutes : timeRangesInMinutes()) {
        if (timeRangeName(minutes) == spaced)
            return minutes;
    }
    return -1;
}

MultipleES_TransducersBuffer::MultipleES_TransducersBuffer(QObject *parent)
    : QObject(parent), m_refreshTimer(this)
{
    // Records cross to the raw data logging thread by queued signals.
    qRegisterMetaType<EchoRecordInfo>("EchoRecordInfo");
    for (auto &channel : m_buffers) {
        for (int minutes : timeRangesInMinutes())
            channel.push_back(std::make_unique<EchosounderDataBuffer>(minutes));
    }
    m_clock.start();
    connect(&m_refreshTimer, &QTimer::timeout, this,
            &MultipleES_TransducersBuffer::increaseTimeFromRefresh);
    m_refreshTimer.start(kDefaultRefreshMsecs);
}

MultipleES_TransducersBuffer::~MultipleES_TransducersBuffer()
{
    emit buffersAboutToBeDestroyed();
}

EchosounderDataBuffer *MultipleES_TransducersBuffer::buffer(int channel, int time_range_minutes) const
{
    if (channel < 0 || channel >= kChannels)
        return nullptr;
    for (const auto &b : m_buffers[size_t(channel)]) {
        if (b->timeRangeMinutes() == time_range_minutes)
            return b.get();
    }
    return nullptr;
}

void MultipleES_TransducersBuffer::setRawDataLogging(bool logging_on) { m_rawDataLogging = logging_on; }

void MultipleES_TransducersBuffer::setEchoScopeShown(bool shown) { m_echoScopeShown = shown; }

int MultipleES_TransducersBuffer::maxSamplesPerRecord()
{
    return TransducerTables::mostSamplesPerPing();
}

int MultipleES_TransducersBuffer::refreshMsecsForRange(float depth_range_metres, int base_msecs)
{
    // Sound travels down and back at about 1500 m/s; half as long again covers the box's own work.
    const double pingMsecs = 1.5 * 2.0 * double(qMax(0.0f, depth_range_metres)) / 1500.0 * 1000.0;
    return qMax(base_msecs, int(std::ceil(pingMsecs)));
}

void MultipleES_TransducersBuffer::setColumnsAcross(int channel, int pixels)
{
    if (channel < 0 || channel >= kChannels)
        return;
    for (auto &b : m_buffers[size_t(channel)])
        b->setColumnsAcross(pixels / EchosounderDataBuffer::pixelsPerColumn(b->timeRangeMinutes()));
}

void MultipleES_TransducersBuffer::setRefreshIntervalMsecs(int msecs)
{
    m_baseRefreshMsecs = qMax(1, msecs);
    m_refreshTimer.start(m_baseRefreshMsecs);
    adaptRefreshInterval();
}

void MultipleES_TransducersBuffer::adaptRefreshInterval()
{
    const float deepest = qMax(m_range[0], m_range[1]);
    const int wanted = refreshMsecsForRange(deepest, m_baseRefreshMsecs);
    if (wanted != m_refreshTimer.interval())
        m_refreshTimer.start(wanted);
}

bool MultipleES_TransducersBuffer::isChannelSilent(int channel) const
{
    return channel >= 0 && channel < kChannels && m_silent[size_t(channel)];
}

void MultipleES_TransducersBuffer::setSilent(int channel, bool silent)
{
    if (m_silent[size_t(channel)] == silent)
        return;
    m_silent[size_t(channel)] = silent;
    emit channelSilenceChanged(channel, silent);
}

void MultipleES_TransducersBuffer::simDataReceived(QByteArray raw_buffer, QString info, int channel)
{
    addData(raw_buffer, info, channel);
}

void MultipleES_TransducersBuffer::addData(QByteArray raw_buffer, QString info, int channel)
{
    if (channel < 0 || channel >= kChannels) {
        qDebug() << "Echo record for unknown channel dropped: " << channel;
        return;
    }
    const EchoRecordInfo record = EchoRecordInfo::parse(info);
    if (!record.isComplete()) {
        qDebug() << "Echo record with short information text dropped: " << info;
        return;
    }

    switch (record.kind()) {
    case EchoRecordInfo::Kind::Raw: {
        const int msecs = record.time().isValid() ? record.time().msecsSinceStartOfDay() : 0;
        if (msecs == m_previousRawTimeMsecs[channel])
            return;   // the junction box repeats a raw record when nothing new was sampled
        if (m_rawDataLogging)
            emit sendDataToLogger(raw_buffer, record, channel);
        if (m_echoScopeShown)
            emit sendRawDataToScope(raw_buffer, record, channel);
        m_previousRawTimeMsecs[channel] = msecs;
        return;
    }
    case EchoRecordInfo::Kind::Filtered:
        if (m_echoScopeShown)
            emit sendFilteredDataToScope(raw_buffer, record, channel);
        return;
    case EchoRecordInfo::Kind::Display:
        if (raw_buffer.size() > maxSamplesPerRecord()) {
            ++m_oversized;
            ErrorLogger::instance().countBinaryError(BinaryLengthMismatchError);
            qDebug() << "Echo record with too many samples dropped: " << raw_buffer.size() << " > "
                     << maxSamplesPerRecord();
            return;
        }
        m_missingPingCounter[size_t(channel)] = 0;
        setSilent(channel, false);
        if (record.bufferRange() != m_range[size_t(channel)]) {
            m_range[size_t(channel)] = record.bufferRange();
            adaptRefreshInterval();
        }
        addDisplayRecord(raw_buffer, record, channel);
        return;
    }
}

void MultipleES_TransducersBuffer::addDisplayRecord(const QByteArray &samples,
                                                    const EchoRecordInfo &info, int channel)
{
    const qint64 now = m_clock.elapsed();
    int longest = 0;
    for (auto &b : m_buffers[size_t(channel)]) {
        if (b->addRecord(samples, info.bufferRange(), info.depth(), now))
            longest = qMax(longest, b->timeRangeMinutes());
    }
    if (longest > 0)
        emit sigES_NewData(channel, longest);
    emit displayRecordAdded(info, channel);

    int &counter = m_historyCounter[size_t(channel)];
    if (++counter >= kHistoryEvery) {
        counter = 0;
        emit logHistoryData(info, channel);
    }
}

void MultipleES_TransducersBuffer::increaseTimeFromRefresh()
{
    for (int channel = 0; channel < kChannels; ++channel) {
        int &missing = m_missingPingCounter[size_t(channel)];
        if (missing >= kMissingPingPeriods) {
            // The counter stays where it is: a silent channel gets an empty record each period.
            setSilent(channel, true);
            addDisplayRecord(QByteArray(),
                             EchoRecordInfo::noData(UnitClock::instance().currentDateTimeUtc()),
                             channel);
        } else {
            ++missing;
        }
    }
}
