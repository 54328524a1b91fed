#include "echorecord.h"
#include "echosounderdatabuffer.h"
#include "multiplees_transducersbuffer.h"

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
        b.addData(samples(10, 2), rawInfo(QStringLiteral("10-00-00-100")), 1);   // repeat
        b.addData(samples(10, 3), rawInfo(QStringLiteral("10-00-00-200")), 1);
        QCOMPARE(logger.count(), 2);
        QCOMPARE(scope.count(), 2);
        QCOMPARE(logger.at(1).at(0).toByteArray(), samples(10, 3));
        QCOMPARE(logger.at(1).at(2).toInt(), 1);
        QCOMPARE(newData.count(), 0);
        QCOMPARE(b.buffer(0, 5)->columnCount(), 0);

        // An unreadable time counts as midnight: taken once, then a repeat.
        b.addData(samples(10, 4), rawInfo(QStringLiteral("garbage")), 0);
        b.addData(samples(10, 5), rawInfo(QStringLiteral("00-00-00-000")), 0);
        QCOMPARE(logger.count(), 3);
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
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        QSignalSpy added(&b, &MultipleES_TransducersBuffer::displayRecordAdded);
        const int records = 288;
        for (int k = 1; k <= records; ++k)
            b.addData(samples(16, uchar(k)), displayInfo(k, 3.0f + k, 40.0f), 1);
        QCOMPARE(newData.count(), records);
        QCOMPARE(added.count(), records);
        QCOMPARE(added.last().at(0).value<EchoRecordInfo>().depth(), 3.0f + records);
        QCOMPARE(added.last().at(1).toInt(), 1);

        // Expected longest changed range, from the column counts floor(k / (minutes / 10)).
        for (int k = 1; k <= records; ++k) {
            int longest = 0;
            for (int minutes : MultipleES_TransducersBuffer::timeRangesInMinutes()) {
                const double q = qMax(1.0, minutes / 10.0);
                if (int(k / q) > int((k - 1) / q))
                    longest = minutes;
            }
            QCOMPARE(newData.at(k - 1).at(0).toInt(), 1);
            QCOMPARE(newData.at(k - 1).at(1).toInt(), longest);
        }
        QCOMPARE(b.buffer(1, 10)->columnCount(), records);
        QCOMPARE(b.buffer(1, 15)->columnCount(), 192);
        QCOMPARE(b.buffer(1, 1440)->columnCount(), 2);
        QCOMPARE(b.buffer(0, 10)->columnCount(), 0);

        EchosounderDataBuffer *five = b.buffer(1, 5);
        five->lock();
        QCOMPARE(five->columnFromNewest(0).samples, samples(16, uchar(records)));
        QCOMPARE(five->columnFromNewest(0).depthRange, 40.0f);
        QCOMPARE(five->currentDepth(), 3.0f + records);
        QCOMPARE(five->previousDepth(), 3.0f + records - 1);
        five->unlock();
        QVERIFY(!b.buffer(2, 5));
        QVERIFY(!b.buffer(0, 7));
    }

    void longRangesKeepTheStrongestEcho()
    {
        MultipleES_TransducersBuffer b;
        QByteArray a(4, '\0'), c(4, '\0'), d(4, '\0');
        a[0] = char(10); a[1] = char(200); a[2] = char(255); a[3] = char(1);
        c[0] = char(90); c[1] = char(20);  c[2] = char(30);  c[3] = char(255);
        d[0] = char(50); d[1] = char(255); d[2] = char(40);  d[3] = char(255);
        b.addData(a, displayInfo(1, 5.0f), 0);
        b.addData(c, displayInfo(2, -100.0f), 0);
        EchosounderDataBuffer *thirty = b.buffer(0, 30);   // three records per column
        thirty->lock();
        QCOMPARE(thirty->columnCount(), 0);
        QCOMPARE(thirty->nextDepth(), 5.0f);
        thirty->unlock();
        b.addData(d, displayInfo(3, 7.0f), 0);
        thirty->lock();
        QCOMPARE(thirty->columnCount(), 1);
        const QByteArray strongest = thirty->columnFromNewest(0).samples;
        QCOMPARE(uchar(strongest[0]), uchar(90));
        QCOMPARE(uchar(strongest[1]), uchar(200));
        QCOMPARE(uchar(strongest[2]), uchar(40));    // 255 marks no data and loses
        QCOMPARE(uchar(strongest[3]), uchar(1));
        QCOMPARE(thirty->currentDepth(), 7.0f);
        QCOMPARE(thirty->nextDepth(), EchoRecordInfo::kNoDepth);
        thirty->unlock();
        // The records themselves are untouched by the folding.
        QCOMPARE(uchar(a[1]), uchar(200));
    }

    void buffersStayWithinCapacity()
    {
        MultipleES_TransducersBuffer b;
        b.setColumnCapacity(100);
        for (int k = 0; k < 450; ++k)
            b.addData(samples(3, uchar(k & 0x7f)), displayInfo(k, float(k)), 0);
        EchosounderDataBuffer *ten = b.buffer(0, 10);
        ten->lock();
        QCOMPARE(ten->columnCount(), 100);
        QCOMPARE(ten->capacity(), 100);
        QCOMPARE(ten->currentDepth(), 449.0f);
        QCOMPARE(ten->columnFromNewest(99).bottomDepth, 350.0f);
        ten->unlock();
        ten->setCapacity(10);
        ten->lock();
        QCOMPARE(ten->columnCount(), 10);
        QCOMPARE(ten->columnFromNewest(9).bottomDepth, 440.0f);
        QCOMPARE(ten->currentDepth(), 449.0f);
        ten->unlock();
        b.clearBuffers();
        QCOMPARE(ten->columnCount(), 0);
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
        QSignalSpy newData(&b, &MultipleES_TransducersBuffer::sigES_NewData);
        refresh(b);
        refresh(b);
        QCOMPARE(newData.count(), 0);
        b.addData(samples(4, 1), displayInfo(1), 1);   // channel 1 is alive again
        newData.clear();
        refresh(b);
        QCOMPARE(newData.count(), 1);
        QCOMPARE(newData.at(0).at(0).toInt(), 0);
        refresh(b);
        QCOMPARE(newData.count(), 2);
        QCOMPARE(newData.at(1).at(0).toInt(), 0);
        refresh(b);   // channel 1 now two periods silent as well
        QCOMPARE(newData.count(), 4);
        QCOMPARE(newData.at(3).at(0).toInt(), 1);

        EchosounderDataBuffer *five = b.buffer(0, 5);
        five->lock();
        QCOMPARE(five->columnCount(), 3);
        QVERIFY(five->columnFromNewest(0).samples.isEmpty());
        QCOMPARE(five->columnFromNewest(0).depthRange, 0.0f);
        QCOMPARE(five->currentDepth(), EchoRecordInfo::kNoDepth);
        five->unlock();

        b.addData(samples(4, 1), displayInfo(2), 0);
        newData.clear();
        refresh(b);
        refresh(b);
        for (const QList<QVariant> &args : newData)
            QCOMPARE(args.at(0).toInt(), 1);
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
