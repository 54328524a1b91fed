#include "errorlogger.h"

#include <QtTest>

// Communication error counters per input and for the network traffic.
class TestErrorLogger : public QObject
{
    Q_OBJECT
private slots:
    void init() { ErrorLogger::instance().clearAll(); }

    void textTrafficAndSentenceErrors()
    {
        // Codes 70 to 77 and 79 are counted, 78 is their total; others are ignored.
        ErrorLogger &errors = ErrorLogger::instance();
        for (int code : {71, 71, 75, 78, 69, 80})
            errors.countUdpError(code);
        QCOMPARE(errors.udpCounter(78), 3);
        QCOMPARE(errors.udpCounter(71), 2);
        QCOMPARE(errors.udpCounter(69), -1);
        QCOMPARE(errors.udpCounter(80), -1);
        QCOMPARE(errors.lastUdpCode(), 75);
        errors.countUdpError(70);
        errors.countUdpError(79);
        QCOMPARE(errors.udpCounter(78), 5);
        // Sentence errors of serial inputs do not touch the network counters; unknown codes and inputs are ignored.
        for (const QPair<int, int> &error : {qMakePair(7, 0), qMakePair(2, 2), qMakePair(9, 3), qMakePair(1, 4), qMakePair(1, -1)})
            errors.countNmeaError(error.first, error.second);
        QCOMPARE(errors.nmeaCounter(7, 0), 1);
        QCOMPARE(errors.nmeaCounter(2, 2), 1);
        QCOMPARE(errors.udpCounter(78), 5);
        for (const QPair<int, int> &unknown : {qMakePair(1, 4), qMakePair(9, 0), qMakePair(0, 0)})
            QCOMPARE(errors.nmeaCounter(unknown.first, unknown.second), -1);
    }

    void binaryTrafficAndTable()
    {
        // Codes 80 to 83 are counted, 84 is their total.
        ErrorLogger &errors = ErrorLogger::instance();
        for (int code : {80, 81, 81, 84, 79})
            errors.countBinaryError(code);
        QCOMPARE(errors.binaryCounter(81), 2);
        QCOMPARE(errors.binaryCounter(84), 3);
        QCOMPARE(errors.binaryCounter(85), -1);
        QCOMPARE(errors.udpCounter(78), 0);
        // The ten most recent codes, oldest first, -1 where none yet.
        const QList<int> recent = errors.udpLogger()->binary()->recentEntries();
        QCOMPARE(recent.size(), 10);
        QCOMPARE(recent.mid(6), QList<int>({-1, 80, 81, 81}));
        errors.countUdpError(73);
        errors.countNmeaError(3, 1);
        const QList<QPair<int, int>> table = errors.networkCounters();
        QCOMPARE(table.size(), 15);
        QCOMPARE((QList<QPair<int, int>>{table.first(), table.at(3), table.at(8), table.last()}),
                 (QList<QPair<int, int>>{{70, 0}, {73, 1}, {78, 1}, {84, 3}}));
        errors.clearAll();
        QCOMPARE(errors.udpCounter(78), 0);
        QCOMPARE(errors.binaryCounter(84), 0);
        QCOMPARE(errors.nmeaCounter(3, 1), 0);
        QVERIFY(!nmeaErrorText(7).isEmpty());
        QCOMPARE(udpErrorText(81), QStringLiteral("Missing datagram error!"));
    }
};

QTEST_GUILESS_MAIN(TestErrorLogger)
#include "tst_errorlogger.moc"
