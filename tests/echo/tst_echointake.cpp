#include "echorecord.h"
#include "echosounderdatabuffer.h"
#include "echodepthsupervisor.h"
#include "errorlogger.h"
#include "multiplees_transducersbuffer.h"
#include "validatedproperty.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QString rawInfo(const QString &time)
{
    return QStringLiteral("ECHO_REC_Raw,06-12-2026,") + time + QStringLiteral(",12.5,11.0,13.0,50");
}

QString displayValues(int n, float depth = 12.5f, float range = 50.0f)
{
    return QStringLiteral("06-12-2026,10-00-%1-000,%2,11,13,%3,1,2,3,4,5")
        .arg(n % 60, 2, 10, QLatin1Char('0'))
        .arg(double(depth))
        .arg(double(range));
}

QString displayInfo(int n, float depth = 12.5f, float range = 50.0f)
{
    return QStringLiteral("ECHO_REC_Dsp,") + displayValues(n, depth, range);
}

QByteArray samples(int n, uchar value)
{
    return QByteArray(n, char(value));
}

void refresh(MultipleES_TransducersBuffer &b)
{
    QVERIFY(QMetaObject::invokeMethod(&b, "increaseTimeFromRefresh"));
}

} // namespace

class TestEchoIntake : public QObject
{
    Q_OBJECT

private slots:
    void informationTextIsReadIntoOneValue()
    {
        const EchoRecordInfo r = EchoRecordInfo::parse(
            QStringLiteral("ECHO_REC_Dsp,06-12-2026,10-00-01-250,12.5,11, 13 ,50,1,2,3,4,5,6,7,8,9,10,11"));
        QVERIFY(r.isComplete());
        QCOMPARE(r.kind(), EchoRecordInfo::Kind::Display);
        QCOMPARE(r.dateTimeUtc(), QDateTime(QDate(2026, 12, 6), QTime(10, 0, 1, 250), Qt::UTC));
        QCOMPARE(r.depth(), 12.5f);
        QCOMPARE(r.value(EchoRecordInfo::DepthBlwSurface), 13.0f);
        QCOMPARE(r.bufferRange(), 50.0f);
        QCOMPARE(r.value(EchoRecordInfo::BottomDetectionWindowWidth), 11.0f);
        QCOMPARE(r.unreadableFields(), 0);
        QCOMPARE(EchoRecordInfo::fromValues(r.values()), r);
        QCOMPARE(EchoRecordInfo::parse(EchoRecordInfo::header(EchoRecordInfo::Kind::Raw)).kind(),
                 EchoRecordInfo::Kind::Raw);
        QCOMPARE(EchoRecordInfo::parse(EchoRecordInfo::header(EchoRecordInfo::Kind::Filtered)).kind(),
                 EchoRecordInfo::Kind::Filtered);

        // Garbage, infinities and gaps are missing figures: no depth, no range, never a crash.
        const EchoRecordInfo bad = EchoRecordInfo::fromValues(QStringLiteral("x,y,inf,,nan,-7,abc"));
        QCOMPARE(bad.unreadableFields(), 4);   // date and time as one, inf, nan, abc
        QVERIFY(!bad.dateTimeUtc().isValid() && !bad.hasDepth() && !bad.has(EchoRecordInfo::DepthBlwKeel));
        QCOMPARE(bad.depth(), EchoRecordInfo::kNoDepth);
        QCOMPARE(bad.bufferRange(), 0.0f);     // a negative range is no range
        QVERIFY(!EchoRecordInfo::parse(QStringLiteral("ECHO_REC_Ds")).isComplete());

        const QDateTime when(QDate(2026, 12, 6), QTime(23, 59, 59, 999), Qt::UTC);
        const EchoRecordInfo silent = EchoRecordInfo::noData(when);
        QCOMPARE(silent.values(), QStringLiteral("06-12-2026,23-59-59-999,-100,-100,-100,0,0,0,0,0,0"));
        QCOMPARE(silent.dateTimeUtc(), when);
        QVERIFY(!silent.hasDepth());
    }

    void rawRecordsGoToLoggerAndScopeUnlessRepeated()
    {
        MultipleES_TransducersBuffer b;
        QSignalSpy early(&b, &MultipleES_TransducersBuffer::sendDataToLogger);
        b.addData(samples(4, 1), rawInfo(QStringLiteral("09-00-00-000")), 0);   // logging off
        QCOMPARE(early.count(), 0);
        b.setRawDataLogging(true);
        b.setEchoScopeShown(true);
        QSignalSpy logger(&b, &MultipleES_TransducersBuffer::sendDataToLogger);
        QSignalSpy scope(&b, &MultipleES_TransducersBuffer::sendRawDataToScope);
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        b.addData(samples(10, 1), rawInfo(QStringLiteral("10-00-00-100")), 0);
        b.addData(samples(10, 2), rawInfo(QStringLiteral("10-00-00-100")), 1);   // same ping, other channel
        b.addData(samples(10, 3), rawInfo(QStringLiteral("10-00-00-100")), 1);   // repeat
        b.addData(samples(10, 4), rawInfo(QStringLiteral("10-00-00-200")), 1);
        QCOMPARE(logger.count(), 3);
        QCOMPARE(scope.count(), 3);
        QCOMPARE(logger.at(1).at(0).toByteArray(), samples(10, 2));
        QCOMPARE(logger.at(2).at(0).toByteArray(), samples(10, 4));
        QCOMPARE(logger.at(2).at(2).toInt(), 1);
        QCOMPARE(newData.count(), 0);
        QCOMPARE(b.buffer(0, 5)->columnCount(), 0);

        // An unreadable time counts as midnight: taken once, then a repeat.
        b.addData(samples(10, 4), rawInfo(QStringLiteral("garbage")), 0);
        b.addData(samples(10, 5), rawInfo(QStringLiteral("00-00-00-000")), 0);
        QCOMPARE(logger.count(), 4);
    }

    void filteredRecordsReachOnlyTheScope()
    {
        MultipleES_TransducersBuffer b;
        QSignalSpy filtered(&b, &MultipleES_TransducersBuffer::sendFilteredDataToScope);
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        QSignalSpy history(&b, &MultipleES_TransducersBuffer::logHistoryData);
        const QString info = QStringLiteral("ECHO_REC_Fil,") + displayValues(1);
        for (int i = 0; i < 12; ++i)
            b.addData(samples(8, 9), info, 0);
        QCOMPARE(filtered.count(), 0);
        b.setEchoScopeShown(true);
        b.addData(samples(8, 9), info, 0);
        QCOMPARE(filtered.count(), 1);
        QCOMPARE(newData.count(), 0);
        QCOMPARE(history.count(), 0);
        for (int minutes : MultipleES_TransducersBuffer::timeRangesInMinutes())
            QCOMPARE(b.buffer(0, minutes)->columnCount(), 0);
    }

    void displayRecordsFillEveryTimeRange()
    {
        MultipleES_TransducersBuffer b;
        b.setColumnsAcross(1, 8);   // slices of a minute or more: every record below folds into one
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        QSignalSpy added(&b, &MultipleES_TransducersBuffer::displayRecordAdded);
        QByteArray weak(4, char(10)), strong(4, char(10));
        strong[2] = char(200);
        b.addData(weak, displayInfo(1, 7.0f, 40.0f), 1);
        b.addData(strong, displayInfo(2, 8.0f, 40.0f), 1);
        b.addData(weak, displayInfo(3, -100.0f, 40.0f), 1);   // no bottom: the depth stays
        QCOMPARE(newData.count(), 3);
        QCOMPARE(newData.last().at(0).toInt(), 1);
        QCOMPARE(newData.last().at(1).toInt(), 1440);
        QCOMPARE(added.count(), 3);
        QCOMPARE(added.at(1).at(0).value<EchoRecordInfo>().depth(), 8.0f);
        QCOMPARE(added.at(1).at(1).toInt(), 1);
        for (int minutes : MultipleES_TransducersBuffer::timeRangesInMinutes()) {
            EchosounderDataBuffer *buffer = b.buffer(1, minutes);
            buffer->lock();
            QCOMPARE(buffer->columnCount(), 1);
            QCOMPARE(buffer->columnFromNewest(0).samples, strong);
            QCOMPARE(buffer->columnFromNewest(0).depthRange, 40.0f);
            QCOMPARE(buffer->currentDepth(), 8.0f);
            QCOMPARE(buffer->newestColumnRecords(), 3);
            buffer->unlock();
            QCOMPARE(b.buffer(0, minutes)->columnCount(), 0);
            QCOMPARE(buffer->columnsAcross(), 8 / EchosounderDataBuffer::pixelsPerColumn(minutes));
        }
        QVERIFY(!b.buffer(2, 5));
        QVERIFY(!b.buffer(0, 7));
    }

    void columnsStandForEqualSlicesOfTime_data()
    {
        QTest::addColumn<int>("pingsPerSecond");
        QTest::newRow("1 ping/s") << 1;
        QTest::newRow("5 pings/s") << 5;
        QTest::newRow("20 pings/s") << 20;
    }
    void columnsStandForEqualSlicesOfTime()
    {
        // Fifteen minutes over 900 pixels: one column a second whatever the ping rate, so a full
        // picture spans the fifteen minutes it is labelled with.
        QFETCH(int, pingsPerSecond);
        EchosounderDataBuffer buffer(15, 900);
        QCOMPARE(buffer.columnMsecs(), 1000.0);
        const int seconds = 1200;
        for (int k = 0; k < seconds * pingsPerSecond; ++k)
            buffer.addRecord(QByteArray(8, char(k % 100)), 50.f, 10.f + k % 7, qint64(k) * 1000 / pingsPerSecond);
        buffer.lock();
        QCOMPARE(buffer.totalColumns(), quint64(seconds));
        QCOMPARE(buffer.columnCount(), 900);
        QCOMPARE(buffer.newestColumnRecords(), pingsPerSecond);
        buffer.unlock();
    }

    void slowPingsStretchAndSilencesLeaveGaps()
    {
        EchosounderDataBuffer buffer(10, 600);   // a second per column
        const QByteArray echo(6, char(90));
        buffer.addRecord(echo, 30.f, 12.f, 0);
        buffer.addRecord(echo, 30.f, 13.f, 3500);   // a ping every 3.5 s covers the seconds between
        buffer.lock();
        QCOMPARE(buffer.columnCount(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(buffer.columnFromNewest(i).samples, echo);
        QCOMPARE(buffer.currentDepth(), 13.f);
        QCOMPARE(buffer.previousDepth(), 12.f);
        buffer.unlock();

        // The box falls silent at 3.5 s; the unit's empty records start two seconds later.
        buffer.addRecord(QByteArray(), 0.f, -100.f, 5600);
        buffer.addRecord(QByteArray(), 0.f, -100.f, 6600);
        buffer.addRecord(echo, 30.f, 14.f, 9200);   // heard again
        buffer.lock();
        QCOMPARE(buffer.columnCount(), 10);
        // Seconds 4 to 8 are the silence: five empty columns between the echoes.
        QCOMPARE(buffer.columnFromNewest(0).samples, echo);
        for (int i = 1; i <= 5; ++i) {
            QVERIFY2(buffer.columnFromNewest(i).samples.isEmpty(), qPrintable(QString::number(i)));
            QCOMPARE(buffer.columnFromNewest(i).bottomDepth, EchoRecordInfo::kNoDepth);
        }
        QCOMPARE(buffer.columnFromNewest(6).samples, echo);
        buffer.unlock();

        // An empty record in a slice with echoes keeps them; a silence longer than the picture
        // leaves it all empty, not longer than the ring.
        buffer.addRecord(QByteArray(), 0.f, -100.f, 9700);
        buffer.lock();
        QCOMPARE(buffer.columnFromNewest(0).samples, echo);
        QCOMPARE(buffer.currentDepth(), 14.f);
        buffer.unlock();
        buffer.addRecord(QByteArray(), 0.f, -100.f, 3600 * 1000);
        buffer.lock();
        QCOMPARE(buffer.columnCount(), 600);
        QCOMPARE(buffer.totalColumns(), quint64(10 + 600 + 1));
        for (int i = 0; i < 600; ++i)
            QVERIFY(buffer.columnFromNewest(i).samples.isEmpty());
        buffer.unlock();
    }

    void foldingKeepsTheStrongestEchoOfTheSlice()
    {
        EchosounderDataBuffer buffer(30, 900);   // two seconds per column
        QByteArray a(4, '\0'), c(4, '\0'), d(4, '\0');
        a[0] = char(10); a[1] = char(200); a[2] = char(255); a[3] = char(1);
        c[0] = char(90); c[1] = char(20);  c[2] = char(30);  c[3] = char(255);
        d[0] = char(50); d[1] = char(255); d[2] = char(40);  d[3] = char(255);
        buffer.addRecord(a, 20.f, 5.f, 0);
        buffer.addRecord(c, 20.f, -100.f, 500);
        buffer.addRecord(d, 20.f, 7.f, 1900);
        buffer.lock();
        QCOMPARE(buffer.columnCount(), 1);
        const QByteArray strongest = buffer.columnFromNewest(0).samples;
        QCOMPARE(uchar(strongest[0]), uchar(90));
        QCOMPARE(uchar(strongest[1]), uchar(200));
        QCOMPARE(uchar(strongest[2]), uchar(40));    // 255 marks no data and loses
        QCOMPARE(uchar(strongest[3]), uchar(1));
        QCOMPARE(buffer.currentDepth(), 7.0f);
        QCOMPARE(buffer.nextDepth(), EchoRecordInfo::kNoDepth);
        buffer.unlock();
        QCOMPARE(uchar(a[1]), uchar(200));   // the records themselves are untouched

        // A change of range within the slice starts the column afresh.
        buffer.addRecord(QByteArray(8, char(3)), 40.f, 7.f, 1950);
        buffer.lock();
        QCOMPARE(buffer.columnFromNewest(0).samples, QByteArray(8, char(3)));
        QCOMPARE(buffer.columnFromNewest(0).depthRange, 40.f);
        buffer.unlock();
    }

    void memoryIsBoundedWhateverTheRecords()
    {
        // Long records keep their strongest echo per band, the bands covering whole samples.
        EchosounderDataBuffer buffer(10, 100);
        QByteArray longRecord(3001, char(5));
        longRecord[2999] = char(120);
        buffer.addRecord(longRecord, 300.1f, 299.9f, 0);
        buffer.lock();
        const EchogramColumn &c = buffer.columnFromNewest(0);
        QCOMPARE(c.samples.size(), 1001);             // bands of three samples, the last one short
        QVERIFY(c.samples.size() <= EchosounderDataBuffer::kMaxStoredSamples);
        QCOMPARE(uchar(c.samples[999]), uchar(120));  // samples 2997..2999
        QCOMPARE(uchar(c.samples[1000]), uchar(5));
        QVERIFY(qAbs(c.depthRange - 300.3f) < 0.01f); // 3003 sample widths of 0.1 m
        buffer.unlock();
        buffer.setColumnsAcross(100000);
        QCOMPARE(buffer.capacity(), EchosounderDataBuffer::kMaxColumns);

        // A record longer than the transceiver can sample never reaches a buffer.
        QCOMPARE(MultipleES_TransducersBuffer::maxSamplesPerRecord(), 3200);
        MultipleES_TransducersBuffer b;
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        QSignalSpy added(&b, &MultipleES_TransducersBuffer::displayRecordAdded);
        const int wrongSize = ErrorLogger::instance().binaryCounter(BinaryLengthMismatchError);
        b.addData(QByteArray(3201, char(1)), displayInfo(1), 0);
        b.addData(QByteArray(60000, char(1)), displayInfo(2), 1);
        QCOMPARE(newData.count(), 0);
        QCOMPARE(added.count(), 0);
        QCOMPARE(b.oversizedRecords(), 2);
        QCOMPARE(ErrorLogger::instance().binaryCounter(BinaryLengthMismatchError), wrongSize + 2);
        b.addData(QByteArray(3200, char(1)), displayInfo(3), 0);
        QCOMPARE(added.count(), 1);
    }

    void everyTenthDisplayRecordGoesToHistory()
    {
        MultipleES_TransducersBuffer b;
        QSignalSpy history(&b, &MultipleES_TransducersBuffer::logHistoryData);
        for (int k = 1; k <= 25; ++k) {
            b.addData(samples(4, 1), displayInfo(k), 0);
            if (k % 3 == 0)
                b.addData(samples(4, 1), displayInfo(k), 1);   // the other channel counts apart
        }
        QCOMPARE(history.count(), 2);
        QCOMPARE(history.at(0).at(0).value<EchoRecordInfo>().values(), displayValues(10));
        QCOMPARE(history.at(1).at(0).value<EchoRecordInfo>().values(), displayValues(20));
        QCOMPARE(history.at(1).at(1).toInt(), 0);
    }

    void silentChannelGetsEmptyRecords()
    {
        MultipleES_TransducersBuffer b;
        b.setRefreshIntervalMsecs(3600 * 1000);
        QSignalSpy added(&b, &MultipleES_TransducersBuffer::displayRecordAdded);
        QSignalSpy silence(&b, &MultipleES_TransducersBuffer::channelSilenceChanged);
        refresh(b);
        refresh(b);
        QCOMPARE(added.count(), 0);
        b.addData(samples(4, 1), displayInfo(1), 1);   // channel 1 is alive
        added.clear();
        refresh(b);
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.at(0).at(1).toInt(), 0);
        QVERIFY(!added.at(0).at(0).value<EchoRecordInfo>().hasDepth());
        QCOMPARE(silence.count(), 1);
        QCOMPARE(silence.at(0), (QList<QVariant>{0, true}));
        refresh(b);
        QCOMPARE(added.count(), 2);
        refresh(b);   // channel 1 now two periods silent as well
        QCOMPARE(added.count(), 4);
        QCOMPARE(added.at(3).at(1).toInt(), 1);
        QVERIFY(b.isChannelSilent(0) && b.isChannelSilent(1));

        EchosounderDataBuffer *five = b.buffer(0, 5);
        five->lock();
        QCOMPARE(five->columnCount(), 1);   // quick refreshes: one slice of time
        QVERIFY(five->columnFromNewest(0).samples.isEmpty());
        QCOMPARE(five->currentDepth(), EchoRecordInfo::kNoDepth);
        five->unlock();

        b.addData(samples(4, 1), displayInfo(2), 0);
        QCOMPARE(silence.last(), (QList<QVariant>{0, false}));
        added.clear();
        refresh(b);
        refresh(b);
        for (const QList<QVariant> &args : added)
            QCOMPARE(args.at(1).toInt(), 1);

        // Pings from deep water are seconds apart: silence takes longer to declare there.
        QCOMPARE(b.refreshIntervalMsecs(), 3600 * 1000);
        b.setRefreshIntervalMsecs(1000);
        b.addData(samples(4, 1), displayInfo(3, 4000.f, 5000.f), 1);
        QCOMPARE(b.refreshIntervalMsecs(), 10000);
        b.addData(samples(4, 1), displayInfo(4, 40.f, 50.f), 1);
        QCOMPARE(b.refreshIntervalMsecs(), 1000);
    }

    void readoutDepthAgesOutAndSaysWhy()
    {
        EchoDepthSupervisor depths;
        depths.setValidityLimitSecs(3);
        QSignalSpy shown(&depths, &EchoDepthSupervisor::depthChanged);
        QSignalSpy notice(&depths, &EchoDepthSupervisor::noticeChanged);
        QCOMPARE(depths.reason(0), QStringLiteral("CH1 depth: no echo data from the junction box"));

        depths.recordAdded(EchoRecordInfo::parse(displayInfo(1, 12.5f)), 0);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0), (QList<QVariant>{0, 12.5, true}));
        QVERIFY(depths.reason(0).isEmpty());
        QCOMPARE(notice.last().at(0).toString(), QStringLiteral("CH2 depth: no echo data from the junction box"));

        // Pings without a bottom keep the last depth until it is older than its limit.
        for (int tick = 0; tick < 3; ++tick) {
            depths.recordAdded(EchoRecordInfo::parse(displayInfo(2, -100.f)), 0);
            ValidatedProperty::tickAll();
        }
        QVERIFY(depths.isDepthValid(0));
        QCOMPARE(shown.count(), 1);
        ValidatedProperty::tickAll();
        QVERIFY(!depths.isDepthValid(0));
        QCOMPARE(shown.last(), (QList<QVariant>{0, 12.5, false}));
        QCOMPARE(depths.reason(0), QStringLiteral("CH1 depth: bottom not found"));
        QVERIFY(notice.last().at(0).toString().startsWith(QStringLiteral("CH1 depth: bottom not found\n")));

        // A silent channel has no echo data, and says so.
        depths.channelSilenceChanged(0, true);
        QCOMPARE(depths.reason(0), QStringLiteral("CH1 depth: no echo data from the junction box"));
        depths.channelSilenceChanged(0, false);

        // The readout follows the depth chosen: here below the surface (13 m in these records).
        depths.setReference(EchoDepthSupervisor::BelowSurface);
        depths.recordAdded(EchoRecordInfo::parse(displayInfo(3, 12.5f)), 1);
        QCOMPARE(shown.last(), (QList<QVariant>{1, 13.0, true}));
        QCOMPARE(depths.notice(), QStringLiteral("CH1 depth: bottom not found"));
    }

    void malformedRecordsAreDropped()
    {
        MultipleES_TransducersBuffer b;
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        b.addData(samples(4, 1), displayInfo(1), 2);
        b.addData(samples(4, 1), displayInfo(1), -1);
        b.addData(samples(4, 1), QStringLiteral("short"), 0);
        QCOMPARE(newData.count(), 0);
        // Unreadable values: no depth, no range, but the column is still drawn.
        b.addData(samples(4, 1), QStringLiteral("ECHO_REC_Dsp,x,y,z"), 0);
        QCOMPARE(newData.count(), 1);
        EchosounderDataBuffer *five = b.buffer(0, 5);
        five->lock();
        QCOMPARE(five->currentDepth(), EchoRecordInfo::kNoDepth);
        QCOMPARE(five->columnFromNewest(0).depthRange, 0.0f);
        five->unlock();
    }
};

QTEST_GUILESS_MAIN(TestEchoIntake)
#include "tst_echointake.moc"
