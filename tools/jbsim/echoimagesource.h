#pragma once

#include "binaryimageencoder.h"
#include "simulatedsounder.h"
#include "syntheticechogram.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>

// The junction box's echo images: the two channels ping in turn, half a ping interval apart so
// they do not hear each other, and each ping goes out as a raw, a filtered and a display record,
// every record one image in the datagrams of the image transfer. Once a second the depths of the
// latest pings are reported.
class EchoImageSource : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultPingRate = 5;
    static constexpr int kMaxPingRate = 50;

    // How images are numbered: one count over all images, a count per channel (both channels use
    // the same numbers), or the same identifier for every image. A junction box may do any.
    enum class BlockIds { Counting, PerChannel, Constant };

    // pings_per_second per channel, 1..kMaxPingRate.
    EchoImageSource(int pings_per_second, const QString &source_sfi, QObject *parent = nullptr);

    int pingRate() const { return m_pingRate; }
    void setBlockIds(BlockIds ids) { m_blockIds = ids; }
    // Pings so far, both channels together.
    qint64 pingCount() const { return m_count; }
    const SyntheticEchogram &channel(int channel) const { return m_channels.at(size_t(channel & 1)); }

    void start();
    void stop() { m_timer.stop(); }
    // The next ping, of the channel whose turn it is, as of elapsedS seconds after the start,
    // stamped with timeUtc.
    void pingAt(double elapsedS, const QDateTime &timeUtc);
    const SyntheticEchogram::Ping &latest(int channel) const { return m_latest.at(size_t(channel & 1)); }

    // The line reported for a ping: "echo ping N: ch1 hh-mm-ss-zzz D m, ch2 hh-mm-ss-zzz D m".
    static QString reportLine(const SyntheticEchogram::Ping &ch1, const SyntheticEchogram::Ping &ch2);

signals:
    // All datagrams of one ping of a channel, ready for the image group.
    void datagramsReady(QByteArrayList datagrams);
    // The latest detected depths of both channels, as the transceiver's output.
    void pinged(SimulatedSounder::Ping ping);
    void pingReported(QString line);
    // The values of the display record of a ping (date, time, depths, range, ...).
    void displayRecordMade(int channel, QString values);

private slots:
    void tick();

private:
    QByteArrayList encode(const QByteArray &samples, const QString &info, int channel);

    int m_pingRate;
    BlockIds m_blockIds = BlockIds::Counting;
    std::array<quint32, 2> m_channelImages{};
    BinaryImageEncoder m_encoder;
    std::array<SyntheticEchogram, 2> m_channels;
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::array<SyntheticEchogram::Ping, 2> m_latest;
    qint64 m_count = 0;
};
