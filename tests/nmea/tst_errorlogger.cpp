#include "errorlogger.h"

#include <QtTest>

// Communication error counters per input and for the network traffic.
class TestErrorLogger : public QObject
{
    Q_OBJECT
private slots:
    void init() { ErrorLogger::instance().clearAll(); }
    void textTrafficTotal();
    void nmeaErrorsOnTheNetworkInput();
    void binaryTraffic();
    void displayOrderAndClearing();
};

void TestErrorLogger::textTrafficTotal()
{
    ErrorLogger &errors = ErrorLogger::instance();
    errors.countUdpError(71);
    errors.countUdpError(71);
    errors.countUdpError(75);
    QCOMPARE(errors.udpCounter(78), 3);
    QCOMPARE(errors.udpCounter(71), 2);
    QCOMPARE(errors.udpCounter(69), -1);
    QCOMPARE(errors.udpCounter(80), -1);
    QCOMPARE(errors.lastUdpCode(), 75);
    errors.countUdpError(78);
    errors.countUdpError(69);
    errors.countUdpError(80);
    QCOMPARE(errors.udpCounter(78), 3);
    QCOMPARE(errors.lastUdpCode(), 75);
    errors.countUdpError(70);
    errors.countUdpError(79);
    QCOMPARE(errors.udpCounter(78), 5);
}

void TestErrorLogger::nmeaErrorsOnTheNetworkInput()
{
    ErrorLogger &errors = ErrorLogger::instance();
    errors.countNmeaError(7, 3);
    QCOMPARE(errors.nmeaCounter(7, 3), 1);
    QCOMPARE(errors.udpCounter(74), 1);
    QCOMPARE(errors.udpCounter(76), 0);
    errors.countNmeaError(1, 3);
    errors.countNmeaError(6, 3);
    QCOMPARE(errors.udpCounter(76), 2);
    // Serial inputs do not touch the network counters.
    errors.countNmeaError(7, 0);
    errors.countNmeaError(2, 2);
    QCOMPARE(errors.nmeaCounter(7, 0), 1);
    QCOMPARE(errors.nmeaCounter(2, 2), 1);
    QCOMPARE(errors.udpCounter(74), 1);
    QCOMPARE(errors.udpCounter(78), 3);
    QCOMPARE(errors.nmeaCounter(1, 4), -1);
    QCOMPARE(errors.nmeaCounter(9, 0), -1);
    QCOMPARE(errors.nmeaCounter(0, 0), -1);
    errors.countNmeaError(9, 3);
    errors.countNmeaError(1, 4);
    errors.countNmeaError(1, -1);
    QCOMPARE(errors.udpCounter(78), 3);
}

void TestErrorLogger::binaryTraffic()
{
    ErrorLogger &errors = ErrorLogger::instance();
    errors.countBinaryError(80);
    errors.countBinaryError(81);
    errors.countBinaryError(81);
    errors.countBinaryError(84);
    errors.countBinaryError(79);
    QCOMPARE(errors.binaryCounter(81), 2);
    QCOMPARE(errors.binaryCounter(84), 3);
    QCOMPARE(errors.binaryCounter(85), -1);
    QCOMPARE(errors.udpCounter(78), 0);
    const QList<int> recent = errors.udpLogger()->binary()->recentEntries();
    QCOMPARE(recent.size(), 10);
    QCOMPARE(recent.mid(7), QList<int>({80, 81, 81}));
    QCOMPARE(recent.at(0), -1);
}

void TestErrorLogger::displayOrderAndClearing()
{
    ErrorLogger &errors = ErrorLogger::instance();
    errors.countUdpError(73);
    errors.countBinaryError(83);
    errors.countNmeaError(3, 1);
    const QList<QPair<int, int>> table = errors.networkCounters();
    QCOMPARE(table.size(), 15);
    QCOMPARE(table.first().first, 70);
    QCOMPARE(table.at(3), qMakePair(73, 1));
    QCOMPARE(table.at(8), qMakePair(78, 1));
    QCOMPARE(table.at(9).first, 79);
    QCOMPARE(table.at(13), qMakePair(83, 1));
    QCOMPARE(table.last(), qMakePair(84, 1));
    errors.clearAll();
    QCOMPARE(errors.udpCounter(78), 0);
    QCOMPARE(errors.binaryCounter(84), 0);
    QCOMPARE(errors.nmeaCounter(3, 1), 0);
    QVERIFY(!nmeaErrorText(7).isEmpty());
    QCOMPARE(udpErrorText(81), QStringLiteral("Missing datagram error!"));
}

QTEST_GUILESS_MAIN(TestErrorLogger)
#include "tst_errorlogger.moc"
