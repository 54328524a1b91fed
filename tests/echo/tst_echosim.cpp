// The junction-box simulator's synthetic echoes: plausible seabed, bottom echo where the depth
// says, information texts the unit's intake reads back, and images that survive the transfer.
#include "binaryimageformat.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "echoimagesource.h"
#include "echorecord.h"
#include "multiplees_transducersbuffer.h"
#include "syntheticechogram.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

namespace {

const QDateTime kStart(QDate(2026, 3, 14), QTime(10, 20, 30, 450), Qt::UTC);

SyntheticEchogram channel(int c) { return SyntheticEchogram(c, SyntheticEchogram::defaultSeabed(c)); }

int level(const QByteArray &samples, int i) { return int(quint8(samples.at(i))); }

} // namespace

class TestEchoSim : public QObject
{
    Q_OBJECT
private slots:
    void seabedStaysWithinItsBoundsAndMovesSlowly()
    {
        for (int c = 0; c < 2; ++c) {
            const SyntheticEchogram e = channel(c);
            const auto &s = e.seabed();
            double lo = 1e9, hi = -1e9, previous = e.depthAt(0.0), steepest = 0.0;
            for (double t = 0.0; t < 3600.0; t += 0.2) {
                const double d = e.depthAt(t);
                QVERIFY2(d >= s.shallowest && d <= s.deepest, qPrintable(QString::number(d)));
                lo = qMin(lo, d);
                hi = qMax(hi, d);
                steepest = qMax(steepest, std::abs(d - previous));
                previous = d;
            }
            QVERIFY(hi - lo > 0.5 * (s.deepest - s.shallowest));   // it really varies
            QVERIFY2(steepest < 1.0, qPrintable(QString::number(steepest)));   // metres per ping
        }
        // A few metres on one channel, a few hundred on the other.
        QVERIFY(channel(0).seabed().shallowest < 10.0);
        QVERIFY(channel(1).seabed().deepest >= 200.0);
    }

    void bottomEchoLiesAtTheReportedDepth()
    {
        int checked = 0;
        for (int c = 0; c < 2; ++c) {
            const SyntheticEchogram e = channel(c);
            for (double t = 1.0; t < 900.0; t += 37.3) {
                const SyntheticEchogram::Ping p = e.ping(qint64(t * 5), t, kStart.addMSecs(qint64(t * 1000)));
                QCOMPARE(p.raw.size(), SyntheticEchogram::kRawSamples);
                QCOMPARE(p.display.size(), SyntheticEchogram::kDisplaySamples);
                QCOMPARE(p.filtered.size(), SyntheticEchogram::kDisplaySamples);
                QVERIFY(!p.display.contains(char(255)) && !p.raw.contains(char(255)));
                QVERIFY(p.trueDepth <= 0.8 * p.bufferRange);
                if (!p.bottomFound)
                    continue;
                ++checked;
                const double step = p.bufferRange / SyntheticEchogram::kRawSamples;
                QVERIFY2(std::abs(p.depthBlwTransducer - p.trueDepth) < qMax(0.05, 0.002 * p.trueDepth) + 2 * step,
                         qPrintable(QStringLiteral("%1 vs %2").arg(p.depthBlwTransducer).arg(p.trueDepth)));
                const int at = SyntheticEchogram::sampleIndex(p.depthBlwTransducer, p.bufferRange,
                                                              SyntheticEchogram::kDisplaySamples);
                int strongest = 0;
                for (int i = at; i <= qMin(at + 2, SyntheticEchogram::kDisplaySamples - 1); ++i)
                    strongest = qMax(strongest, level(p.display, i));
                QVERIFY2(strongest >= 200, qPrintable(QString::number(strongest)));
                // Above the bottom, past the surface, the water is mostly quiet.
                QVector<int> water;
                for (int i = at / 2; i < at - 5; ++i)
                    water.append(level(p.display, i));
                std::sort(water.begin(), water.end());
                QVERIFY(water.isEmpty() || water.at(water.size() / 2) < 40);
                QVERIFY(level(p.display, 0) > 150);   // surface noise at the transducer
                QCOMPARE(p.depthBlwSurface - p.depthBlwTransducer, e.seabed().transducerDraft);
            }
        }
        QVERIFY(checked >= 40);
    }

    void lostBottomIsReportedAsMissingDepths()
    {
        const SyntheticEchogram e = channel(1);
        const auto &s = e.seabed();
        const double t = s.lostEveryS - s.lostForS / 2;
        QVERIFY(e.bottomLostAt(t) && !e.bottomLostAt(t - s.lostForS));
        const SyntheticEchogram::Ping p = e.ping(1, t, kStart);
        QVERIFY(!p.bottomFound);
        const QStringList v = p.values().split(QLatin1Char(','));
        for (int f : {2, 3, 4})   // the three depths after date and time
            QCOMPARE(v.at(f), QStringLiteral("-100"));
        QVERIFY(e.ping(1, t - s.lostForS, kStart).bottomFound);
    }

    void informationTextReadsBackWithTheRecordHelpers()
    {
        const SyntheticEchogram::Ping p = channel(0).ping(7, 12.0, kStart);
        QCOMPARE(EchoRecordInfo::parse(p.rawInfo()).kind(), EchoRecordInfo::Kind::Raw);
        QCOMPARE(EchoRecordInfo::parse(p.filteredInfo()).kind(), EchoRecordInfo::Kind::Filtered);
        const EchoRecordInfo record = EchoRecordInfo::parse(p.displayInfo());
        QCOMPARE(record.kind(), EchoRecordInfo::Kind::Display);
        QCOMPARE(record.values(), p.values());
        QCOMPARE(record.dateTimeUtc(), kStart);
        QCOMPARE(record.unreadableFields(), 0);
        for (int v = 0; v < EchoRecordInfo::ValueCount; ++v)   // the fifteen figures of a ping
            QVERIFY2(record.has(EchoRecordInfo::Value(v)), qPrintable(record.values()));
        QVERIFY(std::abs(record.depth() - p.depthBlwTransducer) < 0.006);
        QVERIFY(std::abs(record.value(EchoRecordInfo::DepthBlwKeel) - p.depthBlwKeel) < 0.006);
        QCOMPARE(record.bufferRange(), float(p.bufferRange));
    }

    void pingsAreRepeatableAndNoiseDiffersBetweenPings()
    {
        const SyntheticEchogram e = channel(0);
        QCOMPARE(e.ping(3, 10.0, kStart).raw, e.ping(3, 10.0, kStart).raw);
        QVERIFY(e.ping(3, 10.0, kStart).raw != e.ping(4, 10.0, kStart).raw);
        QVERIFY(channel(0).ping(3, 10.0, kStart).raw != channel(1).ping(3, 10.0, kStart).raw);
    }

    void imagesOfBothChannelsSurviveTheTransferIntoTheEchogramBuffers()
    {
        EchoImageSource source(5, QStringLiteral("SD0108"));
        BinaryTransmissionController transfer;
        transfer.setConnectedSfis({QStringLiteral("SD0108")});
        MultipleES_TransducersBuffer echoes;
        echoes.setRawDataLogging(true);
        int oversized = 0;
        connect(&source, &EchoImageSource::datagramsReady, &transfer, [&](const QByteArrayList &d) {
            for (const QByteArray &datagram : d) {
                oversized += datagram.size() > kve::kMaxUdpSize ? 1 : 0;
                transfer.processRecievedBinaryDatagram(datagram);
            }
        });
        connect(transfer.inputBuffer(), &BinaryInputBuffer::useBinaryMessage, &echoes,
                &MultipleES_TransducersBuffer::addData);
        QSignalSpy images(transfer.inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QSignalSpy logged(&echoes, &MultipleES_TransducersBuffer::sendDataToLogger);
        QList<SimulatedSounder::Ping> depths;
        connect(&source, &EchoImageSource::pinged, this, [&depths](const SimulatedSounder::Ping &p) { depths.append(p); });

        // Three pings per channel, the channels in turn a tenth of a second apart.
        for (int n = 0; n < 6; ++n)
            source.pingAt(20.0 + n * 0.1, kStart.addMSecs(100 * n));
        QCOMPARE(oversized, 0);
        QCOMPARE(images.count(), 6 * 3);   // raw, filtered and display record of every ping
        QCOMPARE(transfer.errorCount(84), 0);
        QCOMPARE(logged.count(), 6);       // every raw record has a time of its own
        QCOMPARE(images.last().at(0).toByteArray(), source.latest(1).display);
        QCOMPARE(images.last().at(1).toString(), source.latest(1).displayInfo());
        QCOMPARE(images.last().at(2).toInt(), 1);
        for (int c = 0; c < 2; ++c) {
            EchosounderDataBuffer *b = echoes.buffer(c, 5);
            b->lock();
            const int columns = b->columnCount();
            const int records = b->newestColumnRecords();
            const EchogramColumn column = b->columnFromNewest(0);
            b->unlock();
            const SyntheticEchogram::Ping &p = source.latest(c);
            QCOMPARE(p.number, qint64(3));
            // Pings in quick succession share one slice of the picture's time.
            QCOMPARE(columns, 1);
            QCOMPARE(records, 3);
            QCOMPARE(column.samples.size(), p.display.size());
            QCOMPARE(column.depthRange, float(p.bufferRange));
            QVERIFY(std::abs(column.bottomDepth - p.depthBlwTransducer) < 0.006);
        }
        QCOMPARE(depths.size(), 6);
        QCOMPARE(depths.last().depthCh1, source.latest(0).depthBlwTransducer);
        QCOMPARE(depths.last().depthCh2, source.latest(1).depthBlwTransducer);
        QVERIFY(EchoImageSource::reportLine(source.latest(0), source.latest(1))
                    .startsWith(QStringLiteral("echo ping 3: ch1 10-20-30-850 ")));
    }
};

QTEST_GUILESS_MAIN(TestEchoSim)
#include "tst_echosim.moc"
