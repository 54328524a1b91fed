#include "errorlogger.h"
#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"
#include "nmeatestlines.h"
#include "signalemitter.h"

#include <QSignalSpy>
#include <QtTest>

using NmeaTest::line;

namespace {

double real(ValidatedProperty *field)
{
    return qobject_cast<ValidatedFloatProperty *>(field)->value();
}

NmeaGroupInfo group(const QStringList &lines, Port port = Serial_1, const QString &sender = QString())
{
    return NmeaGroupInfo(lines, port, sender);
}

} // namespace

// The receive path from raw lines to data holders and handler actions.
class TestReceive : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void noiseAroundSentenceIsDropped();
    void oneBadLineSpoilsTheGroup();
    void depthOnlyFromSpeedLog();
    void likeNamedFieldsLandApart();
    void invalidReceivedFieldsLeaveHolderAlone();
    void dateStaysValidForSixtySeconds();
    void unknownAndUnhandledAreRelayed();
    void badInputIsCountedPerLine();
    void groupOfSameTypeUsesReusedObjects();
    void alertSentencesForwardedOrRelayed();
    void standbyPassesOnlyModeAndPairing();
    void commandHandlersReportUpward();
    void errorCountersForThePeer();
    void handlerForgetsLastTextAfterTenTicks();

private:
    NmeaController *m_controller = nullptr;
};

void TestReceive::initTestCase()
{
    NmeaTest::quietDebug();
    m_controller = new NmeaController(this);
}

void TestReceive::init()
{
    NmeaData::instance().resetFields();
    ZdaData::instance().resetFields();
    PztqDptData::instance().resetFields();
    ErrorLogger::instance().clearAll();
    m_controller->setRelaying(false);
}

void TestReceive::noiseAroundSentenceIsDropped()
{
    QString noisy = QStringLiteral("xx#") + line(QStringLiteral("GPHDT,123.4,T"));
    QString tail = line(QStringLiteral("GPTHS,45.5,A"));
    tail.insert(tail.size() - 2, QStringLiteral("junk"));
    m_controller->handleReceivedNmeaList(group({noisy, tail}));
    QCOMPARE(real(NmeaData::instance().HDT_HeadingTrue()), 123.4);
    QVERIFY(NmeaData::instance().HDT_HeadingTrue()->isValid());
    QCOMPARE(real(NmeaData::instance().THS_HeadingTrue()), 45.5);
    QCOMPARE(m_controller->statistics(Serial_1).accepted >= 2, true);
}

void TestReceive::oneBadLineSpoilsTheGroup()
{
    QString bad = line(QStringLiteral("GPHDT,200.0,T"));
    bad.replace(bad.size() - 4, 2, QStringLiteral("00") == bad.mid(bad.size() - 4, 2) ? QStringLiteral("01") : QStringLiteral("00"));
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPTHS,10.0,A")), bad,
                                                line(QStringLiteral("SDMTW,12.5,C"))},
                                               Serial_2));
    QVERIFY(!NmeaData::instance().THS_HeadingTrue()->isValid());
    QVERIFY(!NmeaData::instance().MTW_WaterTemperature()->isValid());
    QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 1), 1);
    QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 0), 0);

    // The same lines without the bad one are handled.
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPTHS,10.0,A")),
                                                line(QStringLiteral("SDMTW,12.5,C"))}));
    QCOMPARE(real(NmeaData::instance().THS_HeadingTrue()), 10.0);
    QCOMPARE(real(NmeaData::instance().MTW_WaterTemperature()), 12.5);
}

void TestReceive::depthOnlyFromSpeedLog()
{
    ValidatedProperty *fromLog = NmeaData::instance().DepthBlwTransducerMetersFromLOG();
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDDPT,12.5,0.5,100"))}));
    QVERIFY(!fromLog->isValid());
    QVERIFY(!NmeaData::instance().DepthBlwTransducerMeters()->isValid());
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("IIDPT,8.25,0.5,100"))}));
    QVERIFY(fromLog->isValid());
    QCOMPARE(real(fromLog), 8.25);
    QVERIFY(!NmeaData::instance().DepthBlwTransducerMeters()->isValid());
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("IIDPT,,0.5,100"))}));
    QCOMPARE(real(fromLog), 8.25);

    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQDPT,30.5,1.0,200,87,38,Fwd"))}, UDP));
    QCOMPARE(real(PztqDptData::instance().DepthBlwTransducerMeters()), 30.5);
    QCOMPARE(PztqDptData::instance().TransducerPosition()->variantValue().toString(), QStringLiteral("Fwd"));
    QCOMPARE(PztqDptData::instance().BottomEchoStrength()->variantValue().toInt(), 87);
}

void TestReceive::likeNamedFieldsLandApart()
{
    NmeaData &data = NmeaData::instance();
    QSignalSpy ths(&data, &NmeaData::thsReceived);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("HEHDT,90.5,T")),
                                                line(QStringLiteral("HETHS,91.5,A"))}));
    QCOMPARE(real(data.HDT_HeadingTrue()), 90.5);
    QCOMPARE(real(data.THS_HeadingTrue()), 91.5);
    QCOMPARE(data.THS_ModeIndicator()->variantValue().toString(), QStringLiteral("A"));
    QCOMPARE(ths.count(), 1);
    QCOMPARE(ths.at(0).at(0).toBool(), true);

    m_controller->handleReceivedNmeaList(group({
        line(QStringLiteral("VWVBW,1.5,0.2,A,1.4,0.1,A,0.3,A,0.2,A")),
        line(QStringLiteral("IIVBW,2.5,0.4,A,2.4,0.7,A,,V,,V")),
        line(QStringLiteral("PZTQVBWX,3.5,0.6,A,3.4,0.5,A,,V,,V,4.5,A"))}));
    QCOMPARE(real(data.IIVBW_TransverseGroundSpeed()), 0.7);
    QCOMPARE(real(data.VBWX_Vs1LongitudinalWaterSpeed()), 4.5);
    QCOMPARE(data.VBWX_Vs1StatusWaterSpeed()->variantValue().toString(), QStringLiteral("A"));
    // The last of the three to carry a plain field wins it.
    QCOMPARE(real(data.LongitudinalWaterSpeed()), 3.5);

    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"))}));
    QCOMPARE(real(data.Latitude()), 4807.038);
    QCOMPARE(data.NorthOrSouth()->variantValue().toString(), QStringLiteral("N"));
    QCOMPARE(data.NumberOfSatellitesInUse()->variantValue().toInt(), 8);
    QCOMPARE(real(data.HorizontalDilutionOfPrecision()), 0.9);
}

void TestReceive::invalidReceivedFieldsLeaveHolderAlone()
{
    NmeaData &data = NmeaData::instance();
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"))}));
    QCOMPARE(real(data.SpeedOverGroundKnots()), 5.5);
    QSignalSpy vtg(&data, &NmeaData::vtgReceived);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPVTG,,T,,M,,N,,K,A"))}));
    QCOMPARE(real(data.SpeedOverGroundKnots()), 5.5);
    QVERIFY(data.SpeedOverGroundKnots()->isValid());
    QCOMPARE(vtg.count(), 1);
    QCOMPARE(vtg.at(0).at(0).toBool(), false);
    // Over the validator's top the speed is an invalid value: the sentence is dropped whole.
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPVTG,10.0,T,,M,1000.5,N,,K,A"))}));
    QCOMPARE(real(data.CourseOverGroundTrue()), 54.7);
}

void TestReceive::dateStaysValidForSixtySeconds()
{
    HandlerZda *zda = NmeaHandlerContainer::instance().find<HandlerZda>();
    QSignalSpy time(zda, &HandlerZda::utcDateTimeReceived);
    QSignalSpy updated(&ZdaData::instance(), &ZdaData::signalDateTimeUpdated);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPZDA,201530.50,04,07,2026,02,00"))}));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(time.count(), 1);
    QCOMPARE(time.at(0).at(0).toString(), QStringLiteral("2026-07-04T20:15:30.500Z"));
    ValidatedProperty *day = ZdaData::instance().Day();
    QCOMPARE(day->variantValue().toInt(), 4);
    QCOMPARE(ZdaData::instance().LocalHoursOffset()->variantValue().toInt(), 2);
    for (int tick = 0; tick < 60; ++tick)
        ValidatedProperty::tickAll();
    QVERIFY(day->isValid());
    QVERIFY(ZdaData::instance().Utc()->isValid());
    ValidatedProperty::tickAll();
    QVERIFY(!day->isValid());

    // A heading, by contrast, ages out after ten.
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("HEHDT,10.0,T"))}));
    for (int tick = 0; tick < 10; ++tick)
        ValidatedProperty::tickAll();
    QVERIFY(NmeaData::instance().HDT_HeadingTrue()->isValid());
    ValidatedProperty::tickAll();
    QVERIFY(!NmeaData::instance().HDT_HeadingTrue()->isValid());

    // An impossible date is stored field by field but not reported as a time.
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPZDA,201530,31,02,2026,00,00"))}));
    QCOMPARE(time.count(), 1);
}

void TestReceive::unknownAndUnhandledAreRelayed()
{
    m_controller->setRelaying(true);
    QSignalSpy relayed(m_controller, &NmeaController::lineRelayed);
    QSignalSpy logged(m_controller, &NmeaController::inputMessageLogged);
    const QString unknown = line(QStringLiteral("PZTQNOSUCH,1,2"));
    m_controller->handleReceivedNmeaList(group({unknown}, UDP));
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0).at(0).toString(), unknown);
    QCOMPARE(relayed.at(0).at(2).toInt(), 1);
    QCOMPARE(logged.count(), 0);
    QCOMPARE(ErrorLogger::instance().nmeaCounter(NmeaUnknownSentence, 3), 1);

    relayed.clear();
    const QString mtw = line(QStringLiteral("YXMTW,4.5,C"));
    m_controller->handleReceivedNmeaList(group({mtw}, Serial_3));
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0).at(2).toInt(), 0);
    QCOMPARE(logged.count(), 1);
    QCOMPARE(logged.at(0).at(1).toString(), mtw);

    // A sentence whose handler keeps nothing counts as not valid (status 3).
    relayed.clear();
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDDPT,1.0,0.0,10"))}));
    QCOMPARE(relayed.at(0).at(2).toInt(), 3);
}

void TestReceive::badInputIsCountedPerLine()
{
    const QString tooLong = line(QStringLiteral("SDDPT,") + QString(80, QLatin1Char('1')));
    const QString binary = QString::fromLatin1(QByteArray("\x01\xff$\x7f\x80*\r\n", 8));
    QString lowerSum = line(QStringLiteral("SDDPT,10.5,0.5,"));
    lowerSum.replace(QStringLiteral("*4A"), QStringLiteral("*4a"));
    const QString noSum = QStringLiteral("$SDDPT,1.0,0.5,\r\n");
    const QString truncated = line(QStringLiteral("SDDPT,1.0,0.5")).left(12);
    const QString lfOnly = line(QStringLiteral("SDDPT,1.0,0.5")).remove(QLatin1Char('\r'));
    const QString badAddress = line(QStringLiteral("SDDP,1.0"));
    const QString unknown = line(QStringLiteral("GPXYZ,1"));
    const QString tooFew = line(QStringLiteral("GPGGA,123519"));
    const QString tooMany = line(QStringLiteral("HEHDT,12.0,T,1,2,3,4"));
    const QString emptyNotNull = line(QStringLiteral("SDMTW,12.0,"));
    const QString wrongLength = line(QStringLiteral("GPGGA,12351,4807.038"));
    const NmeaLineStatistics before = m_controller->statistics(UDP);
    const QStringList lines = {tooLong, binary, lowerSum, noSum, truncated, lfOnly, badAddress,
                               unknown, tooFew, tooMany, emptyNotNull, wrongLength, QString(),
                               QStringLiteral("*"), QStringLiteral("$*\r\n"), line(QStringLiteral("PZTQ"))};
    for (const QString &l : lines)
        m_controller->handleReceivedNmeaList(group({l}, UDP));

    const ErrorLogger &errors = ErrorLogger::instance();
    QCOMPARE(errors.nmeaCounter(7, 3), 1);
    QCOMPARE(errors.nmeaCounter(1, 3), 4);  // binary, lower-case, missing, bare "$*"
    QCOMPARE(errors.nmeaCounter(2, 3), 4);  // truncated, line feed only, empty, bare "*"
    QCOMPARE(errors.nmeaCounter(3, 3), 1);
    QCOMPARE(errors.nmeaCounter(NmeaUnknownSentence, 3), 2);
    QCOMPARE(errors.nmeaCounter(NmeaInvalidFieldValue, 3), 1);
    QCOMPARE(errors.nmeaCounter(NmeaFieldLengthError, 3), 1);
    QCOMPARE(errors.udpCounter(74), 1);
    QCOMPARE(errors.udpCounter(76), 13);
    // Too few fields and too many fields are both taken.
    QCOMPARE(real(NmeaData::instance().UtcOfPosition()), 123519.0);
    QCOMPARE(real(NmeaData::instance().HDT_HeadingTrue()), 12.0);
    QCOMPARE(m_controller->statistics(UDP).lines - before.lines, lines.size());
    QCOMPARE(m_controller->statistics(UDP).rejected - before.rejected, 14);

    // The additional serial lines are counted by the controller only.
    m_controller->handleReceivedNmeaList(group({lowerSum}, Add_Serial_2));
    QCOMPARE(m_controller->statistics(Add_Serial_2).rejected, 1);
    QCOMPARE(errors.nmeaCounter(1, 5), -1);
}

void TestReceive::groupOfSameTypeUsesReusedObjects()
{
    HandlerGsv *gsv = NmeaHandlerContainer::instance().find<HandlerGsv>();
    const QStringList gsvGroup = {
        line(QStringLiteral("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00")),
        line(QStringLiteral("GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00")),
        line(QStringLiteral("GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,,,,"))};
    m_controller->handleReceivedNmeaList(group(gsvGroup));
    QCOMPARE(gsv->lastGroup().size(), 3);
    QVERIFY(gsv->lastGroup().at(2).startsWith(QStringLiteral("3,3,11,22")));
    // Sentences that never start a group again do not pile up.
    for (int i = 0; i < 50; ++i)
        m_controller->handleReceivedNmeaList(group({gsvGroup.at(1)}));
    QVERIFY(gsv->lastGroup().size() <= NmeaMultiSentenceHandler::maxGroupSentences);
    m_controller->handleReceivedNmeaList(group(gsvGroup));
    QCOMPARE(gsv->lastGroup().size(), 3);
    const int pooled = m_controller->pooledObjectCount();
    for (int i = 0; i < 200; ++i) {
        m_controller->handleReceivedNmeaList(group(gsvGroup));
        m_controller->handleReceivedNmeaList(group({line(QStringLiteral("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"))}));
    }
    QCOMPARE(m_controller->pooledObjectCount(), pooled + 1);
    QCOMPARE(real(NmeaData::instance().GSA_PDOP()), 2.5);
    QCOMPARE(real(NmeaData::instance().GSA_VDOP()), 2.1);

    // A reused object does not keep fields of the previous sentence.
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDMTW,7.5,C"))}));
    NmeaData::instance().resetFields();
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDMTW"))}));
    QVERIFY(!NmeaData::instance().MTW_WaterTemperature()->isValid());
}

void TestReceive::alertSentencesForwardedOrRelayed()
{
    NmeaHandler *acn = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ACN"));
    NmeaHandler *alr = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ALR"));
    QVERIFY(acn->isAlertHandler() && alr->isAlertHandler());
    QSignalSpy forwarded(acn, &NmeaHandler::forwardMessage);
    QSignalSpy sent(&SignalEmitter::instance(), &SignalEmitter::signalTypeAndCompleteNmeaMessageAndPort);
    const QString acnLine = line(QStringLiteral("VRACN,120000.00,ZTQ,3001,1,A,C"));
    m_controller->handleReceivedNmeaList(group({acnLine}, UDP, QStringLiteral("VR0001")));
    QCOMPARE(forwarded.count(), 1);
    QCOMPARE(forwarded.at(0).at(0).toString(), acnLine);
    QCOMPARE(forwarded.at(0).at(1).toString(), QStringLiteral("VR0001"));

    alr->registerLine(Serial_2);
    alr->registerLine(Serial_2);
    const QString alrLine = line(QStringLiteral("SDALR,120000.00,7,A,V,Shallow"));
    m_controller->handleReceivedNmeaList(group({alrLine}, UDP));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(1).toString(), alrLine);
    QCOMPARE(sent.at(0).at(2).value<Port>(), Serial_2);
    alr->clearRegisteredLines();

    QSignalSpy heartbeat(m_controller, &NmeaController::heartbeatReceived);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDHBT,5,A,1"))}, UDP, QStringLiteral("SD0002")));
    QCOMPARE(heartbeat.count(), 1);
    QCOMPARE(heartbeat.at(0).at(0).toString(), QStringLiteral("SD"));
    QCOMPARE(heartbeat.at(0).at(1).toString(), QStringLiteral("SD0002"));
}

void TestReceive::standbyPassesOnlyModeAndPairing()
{
    NmeaHandler *pair = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("PAIR"));
    NmeaHandler *scf = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("SCF"));
    QSignalSpy paired(pair, &NmeaHandler::sentenceReceived);
    QSignalSpy configured(scf, &NmeaHandler::sentenceReceived);
    const QStringList lines = {line(QStringLiteral("PZTQPAIR,SD0001,SD0002,1")),
                               line(QStringLiteral("PZTQSCF,Name,,,,,SD0001,SD0002,1")),
                               line(QStringLiteral("HEHDT,77.0,T"))};
    m_controller->handleReceivedNmeaListInStandby(group(lines, UDP, QStringLiteral("SD0002")));
    QCOMPARE(paired.count(), 1);
    QCOMPARE(paired.at(0).at(0).toStringList(),
             QStringList({QStringLiteral("SD0001"), QStringLiteral("SD0002"), QStringLiteral("1")}));
    QCOMPARE(paired.at(0).at(1).toString(), QStringLiteral("SD0002"));
    QCOMPARE(paired.at(0).at(2).toString(), QStringLiteral("UDP"));
    QCOMPARE(configured.count(), 0);
    QVERIFY(!NmeaData::instance().HDT_HeadingTrue()->isValid());
    m_controller->handleReceivedNmeaList(group(lines, UDP));
    QCOMPARE(configured.count(), 1);
    QCOMPARE(real(NmeaData::instance().HDT_HeadingTrue()), 77.0);
}

void TestReceive::commandHandlersReportUpward()
{
    NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
    auto *slp = container.find<HandlerPztqSlp>();
    slp->setTargetSfiProvider([] { return QStringLiteral("SD0042"); });
    QSignalSpy mode(slp, &HandlerPztqSlp::operatingModeRequested);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQSLP,SD0001,1"))}, UDP));
    QCOMPARE(mode.count(), 0);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQSLP,SD0042,1")),
                                                line(QStringLiteral("PZTQSLP,SD0042,0"))}, UDP));
    QCOMPARE(mode.count(), 2);
    QCOMPARE(mode.at(0).at(0).toInt(), 1);
    QCOMPARE(mode.at(1).at(0).toInt(), 0);

    auto *icm = container.find<HandlerPztqIcm>();
    QSignalSpy normal(icm, &HandlerPztqIcm::operatingModeRequested);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQICM,1,98,")),
                                                line(QStringLiteral("PZTQICM,0,97,")),
                                                line(QStringLiteral("PZTQICM,0,98,"))}, UDP));
    QCOMPARE(normal.count(), 1);
    QCOMPARE(normal.at(0).at(0).toInt(), 0);

    QSignalSpy trip(&NmeaData::instance(), &NmeaData::tripSetSignal);
    QSignalSpy total(&NmeaData::instance(), &NmeaData::totalSetSignal);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQSTL,12.5,3400.0"))}, UDP));
    QCOMPARE(trip.count(), 1);
    QCOMPARE(trip.at(0).at(0).toFloat(), 12.5f);
    QCOMPARE(total.at(0).at(0).toFloat(), 3400.0f);

    auto *maca = container.find<HandlerPztqMaca>();
    QSignalSpy mac(maca, &HandlerPztqMaca::macAddressReceived);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQMACA,00:1A:2B:3C:4D:5E"))}, UDP));
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQMACA,not-a-mac"))}, UDP));
    QCOMPARE(mac.count(), 1);
    QCOMPARE(mac.at(0).at(0).toString(), QStringLiteral("00:1A:2B:3C:4D:5E"));

    auto *reboot = container.find<HandlerPztqReboot>();
    QSignalSpy restart(reboot, &HandlerPztqReboot::restartApplication);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQREBOOT,SD0001,update"))}, UDP));
    QVERIFY(reboot->isCounting());
    for (int i = 0; i < HandlerPztqReboot::restartTickLimit; ++i)
        container.tickAll();
    QCOMPARE(restart.count(), 0);
    container.tickAll();
    QCOMPARE(restart.count(), 1);
    reboot->requestRestart();
    container.tickAll();
    QCOMPARE(restart.count(), 2);

    auto *ddc = container.find<HandlerDdc>();
    QSignalSpy dimming(ddc, &HandlerDdc::dimmingReceived);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("IIDDC,N,45,N,C"))}, UDP));
    QCOMPARE(dimming.count(), 1);
    QCOMPARE(dimming.at(0).at(1).toInt(), 45);
}

void TestReceive::errorCountersForThePeer()
{
    ErrorLogger &errors = ErrorLogger::instance();
    errors.countUdpError(71);
    errors.countUdpError(71);
    errors.countUdpError(73);
    errors.countBinaryError(81);
    const QStringList table = HandlerPztqVmpcgter::errorTableSentences();
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.at(0), line(QStringLiteral("PZTQERRORTABLE,70,71,72,73,74,75,76,77,0,2,0,1,0,0,0,0")));
    QCOMPARE(table.at(1), line(QStringLiteral("PZTQERRORTABLE,78,79,80,81,82,83,84,3,0,0,1,0,0,1")));

    QSignalSpy sent(&SignalEmitter::instance(),
                    &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQVMPCGTER,5"))}, UDP, QStringLiteral("SD0009")));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(1).value<QList<QString>>(), QList<QString>{line(QStringLiteral("PZTQERRORCODE,73,1"))});
    QCOMPARE(sent.at(0).at(4).toString(), QStringLiteral("SD0009"));
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQVMPCGTER,1"))}, UDP));
    QCOMPARE(QStringList(sent.at(1).at(1).value<QList<QString>>()), table);
    QCOMPARE(errors.udpCounter(78), 3);
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("PZTQVMPCGTER,9"))}, UDP));
    QCOMPARE(QStringList(sent.at(2).at(1).value<QList<QString>>()), table);
    QCOMPARE(errors.udpCounter(78), 0);
    QCOMPARE(errors.binaryCounter(84), 0);
}

void TestReceive::handlerForgetsLastTextAfterTenTicks()
{
    NmeaHandler *mtw = NmeaHandlerContainer::instance().standardHandler(QStringLiteral("MTW"));
    m_controller->handleReceivedNmeaList(group({line(QStringLiteral("SDMTW,9.5,C"))}));
    QCOMPARE(mtw->lastReceivedFieldText(), QStringLiteral("9.5,C"));
    for (int i = 0; i < 9; ++i)
        NmeaHandlerContainer::instance().tickAll();
    QCOMPARE(mtw->lastReceivedFieldText(), QStringLiteral("9.5,C"));
    NmeaHandlerContainer::instance().tickAll();
    QCOMPARE(mtw->lastReceivedFieldText(), QString());
}

QTEST_GUILESS_MAIN(TestReceive)
#include "tst_receive.moc"
