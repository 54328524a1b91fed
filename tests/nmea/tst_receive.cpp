#include "errorlogger.h"
#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"
#include "nmeatestlines.h"
#include "signalemitter.h"

#include <QSignalSpy>
#include <QtTest>

using NmeaTest::firstArguments;
using NmeaTest::line;

namespace {

double real(ValidatedProperty *field)
{
    return qobject_cast<ValidatedFloatProperty *>(field)->value();
}

QString text(ValidatedProperty *field)
{
    return field->variantValue().toString();
}

NmeaData &nmea()
{
    return NmeaData::instance();
}

void tickFields(int times)
{
    for (int i = 0; i < times; ++i)
        ValidatedProperty::tickAll();
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
    void receivedDataAges();
    void unknownAndUnhandledAreRelayed();
    void badInputIsCountedPerLine();
    void groupOfSameTypeUsesReusedObjects();
    void alertSentencesForwardedOrRelayed();
    void standbyPassesOnlyModeAndPairing();
    void commandHandlersReportUpward();
    void errorCountersForThePeer();

private:
    void receiveRaw(const QStringList &lines, Port port = Serial_1, const QString &sender = QString())
    {
        m_controller->handleReceivedNmeaList(NmeaGroupInfo(lines, port, sender));
    }
    // Each body is framed as a sentence; all of them arrive as one group.
    void receive(const QStringList &bodies, Port port = Serial_1, const QString &sender = QString())
    {
        QStringList lines;
        for (const QString &body : bodies)
            lines << line(body);
        receiveRaw(lines, port, sender);
    }

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
    QString tail = line("GPTHS,45.5,A");
    tail.insert(tail.size() - 2, QStringLiteral("junk"));
    receiveRaw({"xx#" + line("GPHDT,123.4,T"), tail});
    QCOMPARE(real(nmea().HDT_HeadingTrue()), 123.4);
    QVERIFY(nmea().HDT_HeadingTrue()->isValid());
    QCOMPARE(real(nmea().THS_HeadingTrue()), 45.5);
    QVERIFY(m_controller->statistics(Serial_1).accepted >= 2);
}

void TestReceive::oneBadLineSpoilsTheGroup()
{
    QString bad = line("GPHDT,200.0,T");
    bad[bad.size() - 3] = bad.at(bad.size() - 3) == '0' ? QChar('1') : QChar('0');
    receiveRaw({line("GPTHS,10.0,A"), bad, line("SDMTW,12.5,C")}, Serial_2);
    QVERIFY(!nmea().THS_HeadingTrue()->isValid() && !nmea().MTW_WaterTemperature()->isValid());
    QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 1), 1);
    QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 0), 0);
    // The same lines without the bad one are handled.
    receive({"GPTHS,10.0,A", "SDMTW,12.5,C"});
    QCOMPARE(real(nmea().THS_HeadingTrue()), 10.0);
    QCOMPARE(real(nmea().MTW_WaterTemperature()), 12.5);
}

void TestReceive::depthOnlyFromSpeedLog()
{
    ValidatedProperty *fromLog = nmea().DepthBlwTransducerMetersFromLOG();
    receive({"SDDPT,12.5,0.5,100"});
    QVERIFY(!fromLog->isValid());
    receive({"IIDPT,8.25,0.5,100"});
    QCOMPARE(real(fromLog), 8.25);
    QVERIFY(fromLog->isValid() && !nmea().DepthBlwTransducerMeters()->isValid());
    receive({"IIDPT,,0.5,100"});
    QCOMPARE(real(fromLog), 8.25);
    // The proprietary depth has a holder of its own.
    receive({"PZTQDPT,30.5,1.0,200,87,38,Fwd"}, UDP);
    QCOMPARE(real(PztqDptData::instance().DepthBlwTransducerMeters()), 30.5);
    QCOMPARE(text(PztqDptData::instance().TransducerPosition()), QStringLiteral("Fwd"));
    QCOMPARE(PztqDptData::instance().BottomEchoStrength()->variantValue().toInt(), 87);
}

void TestReceive::likeNamedFieldsLandApart()
{
    QSignalSpy ths(&nmea(), &NmeaData::thsReceived);
    receive({"HEHDT,90.5,T", "HETHS,91.5,A"});
    QCOMPARE(real(nmea().HDT_HeadingTrue()), 90.5);
    QCOMPARE(real(nmea().THS_HeadingTrue()), 91.5);
    QCOMPARE(text(nmea().THS_ModeIndicator()), QStringLiteral("A"));
    QCOMPARE(firstArguments(ths), QVariantList{true});

    receive({"VWVBW,1.5,0.2,A,1.4,0.1,A,0.3,A,0.2,A", "IIVBW,2.5,0.4,A,2.4,0.7,A,,V,,V",
             "PZTQVBWX,3.5,0.6,A,3.4,0.5,A,,V,,V,4.5,A"});
    QCOMPARE(real(nmea().IIVBW_TransverseGroundSpeed()), 0.7);
    QCOMPARE(real(nmea().VBWX_Vs1LongitudinalWaterSpeed()), 4.5);
    QCOMPARE(text(nmea().VBWX_Vs1StatusWaterSpeed()), QStringLiteral("A"));
    // The last of the three to carry a plain field wins it.
    QCOMPARE(real(nmea().LongitudinalWaterSpeed()), 3.5);

    receive({"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"});
    QCOMPARE(real(nmea().Latitude()), 4807.038);
    QCOMPARE(text(nmea().NorthOrSouth()), QStringLiteral("N"));
    QCOMPARE(nmea().NumberOfSatellitesInUse()->variantValue().toInt(), 8);
    QCOMPARE(real(nmea().HorizontalDilutionOfPrecision()), 0.9);
}

void TestReceive::invalidReceivedFieldsLeaveHolderAlone()
{
    receive({"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"});
    QSignalSpy vtg(&nmea(), &NmeaData::vtgReceived);
    receive({"GPVTG,,T,,M,,N,,K,A"});
    QCOMPARE(real(nmea().SpeedOverGroundKnots()), 5.5);
    QVERIFY(nmea().SpeedOverGroundKnots()->isValid());
    QCOMPARE(firstArguments(vtg), QVariantList{false});
    // Over the validator's top the speed is an invalid value: the sentence is dropped whole.
    receive({"GPVTG,10.0,T,,M,1000.5,N,,K,A"});
    QCOMPARE(real(nmea().CourseOverGroundTrue()), 54.7);
}

void TestReceive::receivedDataAges()
{
    // A date stays valid for sixty ticks, a heading for ten.
    HandlerZda *zda = NmeaHandlerContainer::instance().find<HandlerZda>();
    QSignalSpy time(zda, &HandlerZda::utcDateTimeReceived);
    QSignalSpy updated(&ZdaData::instance(), &ZdaData::signalDateTimeUpdated);
    receive({"GPZDA,201530.50,04,07,2026,02,00"});
    QCOMPARE(updated.count(), 1);
    QCOMPARE(firstArguments(time), QVariantList{QStringLiteral("2026-07-04T20:15:30.500Z")});
    ValidatedProperty *day = ZdaData::instance().Day();
    QCOMPARE(day->variantValue().toInt(), 4);
    QCOMPARE(ZdaData::instance().LocalHoursOffset()->variantValue().toInt(), 2);
    tickFields(60);
    QVERIFY(day->isValid() && ZdaData::instance().Utc()->isValid());
    tickFields(1);
    QVERIFY(!day->isValid());

    receive({"HEHDT,10.0,T"});
    tickFields(10);
    QVERIFY(nmea().HDT_HeadingTrue()->isValid());
    tickFields(1);
    QVERIFY(!nmea().HDT_HeadingTrue()->isValid());

    // An impossible date is stored field by field but not reported as a time.
    receive({"GPZDA,201530,31,02,2026,00,00"});
    QCOMPARE(time.count(), 1);

    // A handler forgets the field text it last received after ten of its own ticks.
    NmeaHandler *mtw = NmeaHandlerContainer::instance().standardHandler(QStringLiteral("MTW"));
    receive({"SDMTW,9.5,C"});
    QCOMPARE(mtw->lastReceivedFieldText(), QStringLiteral("9.5,C"));
    for (int i = 0; i < 9; ++i)
        NmeaHandlerContainer::instance().tickAll();
    QCOMPARE(mtw->lastReceivedFieldText(), QStringLiteral("9.5,C"));
    NmeaHandlerContainer::instance().tickAll();
    QCOMPARE(mtw->lastReceivedFieldText(), QString());
}

void TestReceive::unknownAndUnhandledAreRelayed()
{
    m_controller->setRelaying(true);
    QSignalSpy relayed(m_controller, &NmeaController::lineRelayed);
    QSignalSpy logged(m_controller, &NmeaController::inputMessageLogged);
    receive({"PZTQNOSUCH,1,2"}, UDP);
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0).at(0).toString(), line("PZTQNOSUCH,1,2"));
    QCOMPARE(relayed.at(0).at(2).toInt(), 1);
    QCOMPARE(logged.count(), 0);
    QCOMPARE(ErrorLogger::instance().nmeaCounter(NmeaUnknownSentence, 3), 1);

    receive({"YXMTW,4.5,C"}, Serial_3);
    QCOMPARE(relayed.count(), 2);
    QCOMPARE(relayed.at(1).at(2).toInt(), 0);
    QCOMPARE(logged.count(), 1);
    QCOMPARE(logged.at(0).at(1).toString(), line("YXMTW,4.5,C"));
    // A sentence whose handler keeps nothing counts as not valid (status 3).
    receive({"SDDPT,1.0,0.0,10"});
    QCOMPARE(relayed.at(2).at(2).toInt(), 3);
}

void TestReceive::badInputIsCountedPerLine()
{
    const QString lowerSum = line("SDDPT,10.5,0.5,").replace("*4A", "*4a");
    const QStringList lines = {
        line("SDDPT," + QString(80, '1')), // too long
        QString::fromLatin1(QByteArray("\x01\xff$\x7f\x80*\r\n", 8)), lowerSum, "$SDDPT,1.0,0.5,\r\n", "$*\r\n", // checksum
        line("SDDPT,1.0,0.5").left(12), line("SDDPT,1.0,0.5").remove('\r'), QString(), "*", // framing
        line("SDDP,1.0"), line("GPXYZ,1"), line("PZTQ"), line("SDMTW,12.0,"), line("GPGGA,12351,4807.038"),
        line("GPGGA,123519"), line("HEHDT,12.0,T,1,2,3,4")}; // too few and too many fields are taken
    const NmeaLineStatistics before = m_controller->statistics(UDP);
    for (const QString &l : lines)
        receiveRaw({l}, UDP);

    const ErrorLogger &errors = ErrorLogger::instance();
    QCOMPARE(errors.nmeaCounter(7, 3), 1);
    QCOMPARE(errors.nmeaCounter(1, 3), 4);
    QCOMPARE(errors.nmeaCounter(2, 3), 4);
    QCOMPARE(errors.nmeaCounter(3, 3), 1);
    QCOMPARE(errors.nmeaCounter(NmeaUnknownSentence, 3), 2);
    QCOMPARE(errors.nmeaCounter(NmeaInvalidFieldValue, 3), 1);
    QCOMPARE(errors.nmeaCounter(NmeaFieldLengthError, 3), 1);
    QCOMPARE(errors.udpCounter(74), 1);
    QCOMPARE(errors.udpCounter(76), 13);
    QCOMPARE(real(nmea().UtcOfPosition()), 123519.0);
    QCOMPARE(real(nmea().HDT_HeadingTrue()), 12.0);
    QCOMPARE(m_controller->statistics(UDP).lines - before.lines, lines.size());
    QCOMPARE(m_controller->statistics(UDP).rejected - before.rejected, 14);

    // The additional serial lines are counted by the controller only.
    receiveRaw({lowerSum}, Add_Serial_2);
    QCOMPARE(m_controller->statistics(Add_Serial_2).rejected, 1);
    QCOMPARE(errors.nmeaCounter(1, 5), -1);
}

void TestReceive::groupOfSameTypeUsesReusedObjects()
{
    HandlerGsv *gsv = NmeaHandlerContainer::instance().find<HandlerGsv>();
    const QStringList gsvGroup = {"GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
                                  "GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
                                  "GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,,,,"};
    receive(gsvGroup);
    QCOMPARE(gsv->lastGroup().size(), 3);
    QVERIFY(gsv->lastGroup().at(2).startsWith(QStringLiteral("3,3,11,22")));
    // Sentences that never start a group again do not pile up.
    for (int i = 0; i < 50; ++i)
        receive({gsvGroup.at(1)});
    QVERIFY(gsv->lastGroup().size() <= NmeaMultiSentenceHandler::maxGroupSentences);
    receive(gsvGroup);
    QCOMPARE(gsv->lastGroup().size(), 3);
    const int pooled = m_controller->pooledObjectCount();
    for (int i = 0; i < 200; ++i) {
        receive(gsvGroup);
        receive({"GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"});
    }
    QCOMPARE(m_controller->pooledObjectCount(), pooled + 1);
    QCOMPARE(real(nmea().GSA_PDOP()), 2.5);
    QCOMPARE(real(nmea().GSA_VDOP()), 2.1);

    // A reused object does not keep fields of the previous sentence.
    receive({"SDMTW,7.5,C"});
    NmeaData::instance().resetFields();
    receive({"SDMTW"});
    QVERIFY(!nmea().MTW_WaterTemperature()->isValid());
}

void TestReceive::alertSentencesForwardedOrRelayed()
{
    NmeaHandler *acn = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ACN"));
    NmeaHandler *alr = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ALR"));
    QVERIFY(acn->isAlertHandler() && alr->isAlertHandler());
    QSignalSpy forwarded(acn, &NmeaHandler::forwardMessage);
    QSignalSpy sent(&SignalEmitter::instance(), &SignalEmitter::signalTypeAndCompleteNmeaMessageAndPort);
    receive({"VRACN,120000.00,ZTQ,3001,1,A,C"}, UDP, QStringLiteral("VR0001"));
    QCOMPARE(forwarded.count(), 1);
    QCOMPARE(forwarded.at(0), (QVariantList{line("VRACN,120000.00,ZTQ,3001,1,A,C"), QStringLiteral("VR0001")}));

    // Alerts from others go on to every line registered for them, once per line.
    alr->registerLine(Serial_2);
    alr->registerLine(Serial_2);
    receive({"SDALR,120000.00,7,A,V,Shallow"}, UDP);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(1).toString(), line("SDALR,120000.00,7,A,V,Shallow"));
    QCOMPARE(sent.at(0).at(2).value<Port>(), Serial_2);
    alr->clearRegisteredLines();

    QSignalSpy heartbeat(m_controller, &NmeaController::heartbeatReceived);
    receive({"SDHBT,5,A,1"}, UDP, QStringLiteral("SD0002"));
    QCOMPARE(heartbeat.count(), 1);
    QCOMPARE(heartbeat.at(0), (QVariantList{QStringLiteral("SD"), QStringLiteral("SD0002")}));
}

void TestReceive::standbyPassesOnlyModeAndPairing()
{
    NmeaHandler *pair = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("PAIR"));
    NmeaHandler *scf = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("SCF"));
    QSignalSpy paired(pair, &NmeaHandler::sentenceReceived);
    QSignalSpy configured(scf, &NmeaHandler::sentenceReceived);
    const QStringList lines = {line("PZTQPAIR,SD0001,SD0002,1"), line("PZTQSCF,Name,,,,,SD0001,SD0002,1"),
                               line("HEHDT,77.0,T")};
    m_controller->handleReceivedNmeaListInStandby(NmeaGroupInfo(lines, UDP, QStringLiteral("SD0002")));
    QCOMPARE(paired.count(), 1);
    QCOMPARE(paired.at(0), (QVariantList{QStringList{"SD0001", "SD0002", "1"}, QStringLiteral("SD0002"),
                                         QStringLiteral("UDP")}));
    QCOMPARE(configured.count(), 0);
    QVERIFY(!nmea().HDT_HeadingTrue()->isValid());
    receiveRaw(lines, UDP);
    QCOMPARE(configured.count(), 1);
    QCOMPARE(real(nmea().HDT_HeadingTrue()), 77.0);
}

void TestReceive::commandHandlersReportUpward()
{
    NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
    // Operating mode: only when addressed to this unit, and only normal mode from the display.
    auto *slp = container.find<HandlerPztqSlp>();
    slp->setTargetSfiProvider([] { return QStringLiteral("SD0042"); });
    QSignalSpy mode(slp, &HandlerPztqSlp::operatingModeRequested);
    receive({"PZTQSLP,SD0001,1", "PZTQSLP,SD0042,1"}, UDP);
    receive({"PZTQSLP,SD0042,0"}, UDP);
    QCOMPARE(firstArguments(mode), (QVariantList{1, 0}));
    auto *icm = container.find<HandlerPztqIcm>();
    QSignalSpy normal(icm, &HandlerPztqIcm::operatingModeRequested);
    receive({"PZTQICM,1,98,", "PZTQICM,0,97,", "PZTQICM,0,98,"}, UDP);
    QCOMPARE(firstArguments(normal), QVariantList{0});

    QSignalSpy trip(&nmea(), &NmeaData::tripSetSignal);
    QSignalSpy total(&nmea(), &NmeaData::totalSetSignal);
    receive({"PZTQSTL,12.5,3400.0"}, UDP);
    QCOMPARE(firstArguments(trip), QVariantList{12.5f});
    QCOMPARE(firstArguments(total), QVariantList{3400.0f});

    auto *maca = container.find<HandlerPztqMaca>();
    QSignalSpy mac(maca, &HandlerPztqMaca::macAddressReceived);
    receive({"PZTQMACA,00:1A:2B:3C:4D:5E"}, UDP);
    receive({"PZTQMACA,not-a-mac"}, UDP);
    QCOMPARE(firstArguments(mac), QVariantList{QStringLiteral("00:1A:2B:3C:4D:5E")});

    auto *reboot = container.find<HandlerPztqReboot>();
    QSignalSpy restart(reboot, &HandlerPztqReboot::restartApplication);
    receive({"PZTQREBOOT,SD0001,update"}, UDP);
    QVERIFY(reboot->isCounting());
    for (int i = 0; i < HandlerPztqReboot::restartTickLimit; ++i)
        container.tickAll();
    QCOMPARE(restart.count(), 0);
    container.tickAll();
    QCOMPARE(restart.count(), 1);
    reboot->requestRestart();
    container.tickAll();
    QCOMPARE(restart.count(), 2);

    QSignalSpy dimming(container.find<HandlerDdc>(), &HandlerDdc::dimmingReceived);
    receive({"IIDDC,N,45,N,C"}, UDP);
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
    QCOMPARE(table, (QStringList{line("PZTQERRORTABLE,70,71,72,73,74,75,76,77,0,2,0,1,0,0,0,0"),
                                 line("PZTQERRORTABLE,78,79,80,81,82,83,84,3,0,0,1,0,0,1")}));

    // 5 asks for the last code, 1 for the table, 9 for the table and clearing.
    QSignalSpy sent(&SignalEmitter::instance(),
                    &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    receive({"PZTQVMPCGTER,5"}, UDP, QStringLiteral("SD0009"));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(1).value<QList<QString>>(), QList<QString>{line("PZTQERRORCODE,73,1")});
    QCOMPARE(sent.at(0).at(4).toString(), QStringLiteral("SD0009"));
    receive({"PZTQVMPCGTER,1"}, UDP);
    QCOMPARE(QStringList(sent.at(1).at(1).value<QList<QString>>()), table);
    QCOMPARE(errors.udpCounter(78), 3);
    receive({"PZTQVMPCGTER,9"}, UDP);
    QCOMPARE(QStringList(sent.at(2).at(1).value<QList<QString>>()), table);
    QCOMPARE(errors.udpCounter(78), 0);
    QCOMPARE(errors.binaryCounter(84), 0);
}

QTEST_GUILESS_MAIN(TestReceive)
#include "tst_receive.moc"
