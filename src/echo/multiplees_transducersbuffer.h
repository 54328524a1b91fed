#pragma once

#include "echorecord.h"
#include "echosounderdatabuffer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <array>
#include <memory>
#include <vector>

// Intake of echo records from the junction box for both channels: raw records go to the raw data
// logger and the echo scope, filtered records to the scope only, display records into the
// channel's echogram buffers (one per display time range). Every tenth display record of a channel
// goes to the depth history, and a channel that stays silent gets empty records so its echogram
// keeps moving and shows the gap. A channel counts as silent after two refresh periods without a
// display record; at deep ranges, where pings are seconds apart, the period grows with the range.
//
// A display record longer than the transceiver can sample (maxSamplesPerRecord()) is counted as an
// image of wrong size (80) and dropped, so that no datagram can make the buffers grow.
class MultipleES_TransducersBuffer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kChannels = 2;
    static constexpr int kDefaultRefreshMsecs = 1000;
    static constexpr int kHistoryEvery = 10;
    static constexpr int kMissingPingPeriods = 2;

    // Display time ranges in minutes, shortest first: 5, 10, 15, 30, 60, 720, 1440.
    static const QVector<int> &timeRangesInMinutes();
    // "5 min", "10 min", "15 min", "30 min", "1 hr", "12 hr", "24 hr"; empty for others.
    static QString timeRangeName(int minutes);
    // Minutes of a name as above, or of an index 0..6 of the picture-speed choice; -1 if unknown.
    static int timeRangeFromName(const QString &name);

    // The most samples a display record may carry: the largest sample count of a ping that the
    // transducer settings allow ("SensorSampleNumber"), whatever the range.
    static int maxSamplesPerRecord();
    // Refresh period for a channel whose records cover this depth range: long enough for one ping
    // to go down and come back with room to spare.
    static int refreshMsecsForRange(float depth_range_metres, int base_msecs);

    explicit MultipleES_TransducersBuffer(QObject *parent = nullptr);
    ~MultipleES_TransducersBuffer() override;

    // The buffer of a channel and time range; null for an unknown pair.
    EchosounderDataBuffer *buffer(int channel, int time_range_minutes) const;

    bool rawDataLogging() const { return m_rawDataLogging; }
    bool echoScopeShown() const { return m_echoScopeShown; }
    bool isChannelSilent(int channel) const;
    int refreshIntervalMsecs() const { return m_refreshTimer.interval(); }
    qint64 oversizedRecords() const { return m_oversized; }
    // The shortest refresh period; deep ranges lengthen it.
    void setRefreshIntervalMsecs(int msecs);

public slots:
    void addData(QByteArray raw_buffer, QString info, int channel);
    void simDataReceived(QByteArray raw_buffer, QString info, int channel);
    void setRawDataLogging(bool logging_on);
    void setEchoScopeShown(bool shown);
    // The channel's echogram is this many pixels wide: each time range spreads over it.
    void setColumnsAcross(int channel, int pixels);

signals:
    void sigES_NewData(int channel_number, int biggest_updated_range_in_minutes);
    void sendDataToLogger(QByteArray raw_buffer, EchoRecordInfo info, int channel);
    void sendRawDataToScope(QByteArray raw_buffer, EchoRecordInfo info, int channel);
    void sendFilteredDataToScope(QByteArray buffer, EchoRecordInfo info, int channel);
    void logHistoryData(EchoRecordInfo data, int channel);
    // Every display record of a channel, the unit's own empty ones included, once it is in the
    // buffers: the readouts and the depth sent on to other equipment follow it.
    void displayRecordAdded(EchoRecordInfo info, int channel);
    // A channel fell silent (no display record for two refresh periods) or was heard again.
    void channelSilenceChanged(int channel, bool silent);
    // Emitted first thing in the destructor, while the buffers still exist: readers in other
    // threads must stop touching them.
    void buffersAboutToBeDestroyed();

private slots:
    void increaseTimeFromRefresh();

private:
    void addDisplayRecord(const QByteArray &samples, const EchoRecordInfo &info, int channel);
    void setSilent(int channel, bool silent);
    void adaptRefreshInterval();

    std::array<std::vector<std::unique_ptr<EchosounderDataBuffer>>, kChannels> m_buffers;
    std::array<int, kChannels> m_historyCounter{};
    std::array<int, kChannels> m_missingPingCounter{};
    std::array<float, kChannels> m_range{};
    std::array<bool, kChannels> m_silent{};
    // Per channel: both channels ping together, so their raw records may carry the same time.
    std::array<int, kChannels> m_previousRawTimeMsecs{{-1, -1}};
    int m_baseRefreshMsecs = kDefaultRefreshMsecs;
    qint64 m_oversized = 0;
    QElapsedTimer m_clock;
    bool m_rawDataLogging = false;
    bool m_echoScopeShown = false;
    QTimer m_refreshTimer;
};
