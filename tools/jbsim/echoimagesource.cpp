#include "echoimagesource.h"

#include <QDebug>

EchoImageSource::EchoImageSource(int pings_per_second, const QString &source_sfi, QObject *parent)
    : QObject(parent)
    , m_pingRate(qBound(1, pings_per_second, kMaxPingRate))
    , m_channels{SyntheticEchogram(0, SyntheticEchogram::defaultSeabed(0)),
                 SyntheticEchogram(1, SyntheticEchogram::defaultSeabed(1))}
{
    if (pings_per_second != m_pingRate)
        qDebug() << "Echo ping rate out of range, using: " << m_pingRate;
    m_encoder.setSourceSfi(source_sfi);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(500 / m_pingRate);
    connect(&m_timer, &QTimer::timeout, this, &EchoImageSource::tick);
}

void EchoImageSource::start()
{
    m_clock.start();
    m_timer.start();
}

void EchoImageSource::tick() { pingAt(m_clock.elapsed() / 1000.0, QDateTime::currentDateTimeUtc()); }

QString EchoImageSource::reportLine(const SyntheticEchogram::Ping &ch1, const SyntheticEchogram::Ping &ch2)
{
    const auto part = [](const SyntheticEchogram::Ping &p) {
        return p.timeUtc.toString(QStringLiteral("hh-mm-ss-zzz")) + QLatin1Char(' ')
               + QString::number(p.depthBlwTransducer, 'f', 2) + QStringLiteral(" m");
    };
    return QStringLiteral("echo ping %1: ch1 %2, ch2 %3").arg(ch1.number).arg(part(ch1), part(ch2));
}

QByteArrayList EchoImageSource::encode(const QByteArray &samples, const QString &info, int channel)
{
    if (m_blockIds == BlockIds::PerChannel)
        m_encoder.setNextBlockId(++m_channelImages[size_t(channel & 1)]);
    else if (m_blockIds == BlockIds::Constant)
        m_encoder.setNextBlockId(1);
    return m_encoder.encode(samples, info, channel);
}

void EchoImageSource::pingAt(double elapsedS, const QDateTime &timeUtc)
{
    const int c = int(m_count % 2);
    const qint64 number = m_count / 2 + 1;
    ++m_count;
    const SyntheticEchogram::Ping &p = m_latest[size_t(c)] = m_channels[size_t(c)].ping(number, elapsedS, timeUtc);
    QByteArrayList datagrams = encode(p.raw, p.rawInfo(), c);
    datagrams += encode(p.filtered, p.filteredInfo(), c);
    datagrams += encode(p.display, p.displayInfo(), c);
    emit datagramsReady(datagrams);
    emit displayRecordMade(c, p.values());

    SimulatedSounder::Ping depths;
    depths.number = number;
    depths.depthCh1 = m_latest[0].depthBlwTransducer;
    depths.depthCh2 = m_latest[1].depthBlwTransducer;
    emit pinged(depths);
    if (c == 1 && number % m_pingRate == 1 % m_pingRate)
        emit pingReported(reportLine(m_latest[0], m_latest[1]));
}
