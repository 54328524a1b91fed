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
using NmeaTest::tickFields;

namespace {

// The values of the fields as text, in order; "-" for a field that is not valid.
QStringList values(std::initializer_list<ValidatedProperty *> fields)
{
    QStringList out;
    for (ValidatedProperty *field : fields)
        out << (field->isValid() ? field->variantValue().toString() : QStringLiteral("-"));
    return out;
}

} // namespace

// The receive path from raw lines to data holders and handler actions.
class TestReceive : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { NmeaTest::quietDebug(); }

    void init()
    {
        NmeaData::instance().resetFields();
        ZdaData::instance().resetFields();
        PztqDptData::instance().resetFields();
        ErrorLogger::instance().clearAll();
        m_controller->setRelaying(false);
    }

    void groupIsTakenWholeOrNotAtAll()
    {
        // Noise before "$" and between checksum and line end is dropped.
        QString tail = line("GPTHS,45.5,A");
        tail.insert(tail.size() - 2, QStringLiteral("junk"));
        const int accepted = m_controller->statistics(Serial_1).accepted;
        receiveRaw({"xx#" + line("GPHDT,123.4,T"), tail});
        QCOMPARE(values({m_nmea.HDT_HeadingTrue(), m_nmea.THS_HeadingTrue()}), (QStringList{"123.4", "45.5"}));
        QCOMPARE(m_controller->statistics(Serial_1).accepted - accepted, 2);
        // One bad line spoils its group, and is counted once for its line.
        m_nmea.resetFields();
        receiveRaw({line("GPTHS,10.0,A"), "$GPHDT,200.0,T*00\r\n", line("SDMTW,12.5,C")}, Serial_2);
        QCOMPARE(values({m_nmea.THS_HeadingTrue(), m_nmea.MTW_WaterTemperature()}), (QStringList{"-", "-"}));
        QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 1), 1);
        QCOMPARE(ErrorLogger::instance().nmeaCounter(1, 0), 0);
        receive({"GPTHS,10.0,A", "SDMTW,12.5,C"});
        QCOMPARE(values({m_nmea.THS_HeadingTrue(), m_nmea.MTW_WaterTemperature()}), (QStringList{"10", "12.5"}));
    }

    void fieldsLandInTheirHolders()
    {
        // Depth below the transducer is taken from the speed log ("II") only; an empty field keeps it.
        ValidatedProperty *fromLog = m_nmea.DepthBlwTransducerMetersFromLOG();
        receive({"SDDPT,12.5,0.5,100"});
        QCOMPARE(values({fromLog, m_nmea.DepthBlwTransducerMeters()}), (QStringList{"-", "-"}));
        receive({"IIDPT,8.25,0.5,100"});
        receive({"IIDPT,,0.5,100"});
        QCOMPARE(values({fromLog, m_nmea.DepthBlwTransducerMeters()}), (QStringList{"8.25", "-"}));
        PztqDptData &pztq = PztqDptData::instance();
        receive({"PZTQDPT,30.5,1.0,200,87,38,Fwd"}, UDP);
        QCOMPARE(values({pztq.DepthBlwTransducerMeters(), pztq.TransducerPosition(), pztq.BottomEchoStrength()}),
                 (QStringList{"30.5", "Fwd", "87"}));
        // Like-named fields of different sentences land apart.
        QSignalSpy ths(&m_nmea, &NmeaData::thsReceived);
        receive({"HEHDT,90.5,T", "HETHS,91.5,A"});
        QCOMPARE(values({m_nmea.HDT_HeadingTrue(), m_nmea.THS_HeadingTrue(), m_nmea.THS_ModeIndicator()}),
                 (QStringList{"90.5", "91.5", "A"}));
        QCOMPARE(firstArguments(ths), QVariantList{true});
        receive({"VWVBW,1.5,0.2,A,1.4,0.1,A,0.3,A,0.2,A", "IIVBW,2.5,0.4,A,2.4,0.7,A,,V,,V",
                 "PZTQVBWX,3.5,0.6,A,3.4,0.5,A,,V,,V,4.5,A"});
        // The last of the three to carry a plain field wins it.
        QCOMPARE(values({m_nmea.IIVBW_TransverseGroundSpeed(), m_nmea.VBWX_Vs1LongitudinalWaterSpeed(),
                         m_nmea.VBWX_Vs1StatusWaterSpeed(), m_nmea.LongitudinalWaterSpeed()}),
                 (QStringList{"0.7", "4.5", "A", "3.5"}));
        receive({"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"});
        QCOMPARE(values({m_nmea.Latitude(), m_nmea.NorthOrSouth(), m_nmea.NumberOfSatellitesInUse(),
                         m_nmea.HorizontalDilutionOfPrecision()}), (QStringList{"4807.038", "N", "8", "0.9"}));
        // Empty received fields leave the holder alone; an invalid value drops the sentence whole.
        receive({"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"});
        QSignalSpy vtg(&m_nmea, &NmeaData::vtgReceived);
        receive({"GPVTG,,T,,M,,N,,K,A"});
        receive({"GPVTG,10.0,T,,M,1000.5,N,,K,A"});
        QCOMPARE(values({m_nmea.SpeedOverGroundKnots(), m_nmea.CourseOverGroundTrue()}), (QStringList{"5.5", "54.7"}));
        QCOMPARE(firstArguments(vtg), QVariantList{false});
    }

    void receivedDataAges()
    {
        // Received together, a heading stays valid for ten ticks and a date for sixty.
        ZdaData &zda = ZdaData::instance();
        QSignalSpy time(NmeaHandlerContainer::instance().find<HandlerZda>(), &HandlerZda::utcDateTimeReceived);
        QSignalSpy updated(&zda, &ZdaData::signalDateTimeUpdated);
        receive({"GPZDA,201530.50,04,07,2026,02,00"});
        receive({"HEHDT,10.0,T"});
        QCOMPARE(updated.count(), 1);
        QCOMPARE(firstArguments(time), QVariantList{QStringLiteral("2026-07-04T20:15:30.500Z")});
        tickFields(10);
        QCOMPARE(values({zda.Day(), zda.LocalHoursOffset(), m_nmea.HDT_HeadingTrue()}), (QStringList{"4", "2", "10"}));
        tickFields(1);
        QVERIFY(!m_nmea.HDT_HeadingTrue()->isValid());
        tickFields(49);
        QVERIFY(zda.Day()->isValid() && zda.Utc()->isValid());
        tickFields(1);
        QVERIFY(!zda.Day()->isValid());
        // An impossible date is stored field by field but not reported as a time.
        receive({"GPZDA,201530,31,02,2026,00,00"});
        QCOMPARE(time.count(), 1);
    }

    void unknownAndBadInputAreRelayedOrCounted()
    {
        // Relay status: 1 unknown or without handler, 0 handled, 3 handled but nothing kept. Sentences of
        // other equipment are logged as input and are no fault on any line.
        m_controller->setRelaying(true);
        QSignalSpy relayed(m_controller, &NmeaController::lineRelayed);
        QSignalSpy logged(m_controller, &NmeaController::inputMessageLogged);
        const NmeaLineStatistics udpBefore = m_controller->statistics(UDP);
        receive({"PZTQNOSUCH,1,2"}, UDP);
        receive({"YXMTW,4.5,C"}, Serial_3);
        receive({"SDDPT,1.0,0.0,10"});
        receive({"HEHDG,101.5,,,7.1,W", "GPGBS,015509.00,-0.031,-0.186,0.219,19,0.000,-0.354,6.972", "PGRMZ,2282,f,3"}, UDP);
        QCOMPARE(relayed.count(), 6);
        QCOMPARE(relayed.at(0).at(0).toString(), line("PZTQNOSUCH,1,2"));
        QCOMPARE(firstArguments(logged).size(), 6);
        QList<int> statuses;
        for (const QVariantList &emission : relayed)
            statuses << emission.at(2).toInt();
        QCOMPARE(statuses, (QList<int>{1, 0, 3, 1, 1, 1}));
        QCOMPARE(m_controller->statistics(UDP).notHandled - udpBefore.notHandled, 4);
        QCOMPARE(m_controller->statistics(UDP).rejected, udpBefore.rejected);
        for (int code = 1; code <= 8; ++code)
            QCOMPARE(ErrorLogger::instance().nmeaCounter(code, 3), 0);
        QCOMPARE(ErrorLogger::instance().udpCounter(78), 0);
        // Bad input is counted per line, by its fault.
        ErrorLogger::instance().clearAll();
        const QString lowerSum = line("SDDPT,10.5,0.5,").replace("*4A", "*4a");
        const QStringList lines = {
            line("SDDPT," + QString(80, '1')), // too long
            QString::fromLatin1(QByteArray("\x01\xff$\x7f\x80*\r\n", 8)), lowerSum, "$SDDPT,1.0,0.5,\r\n", "$*\r\n", // checksum
            line("SDDPT,1.0,0.5").left(12), line("SDDPT,1.0,0.5").remove('\r'), QString(), "*", // framing
            line("SDDP,1.0"), line("PZTQ") /* no formatter: not handled */, line("SDMTW,12.0,"), line("GPGGA,12351,4807.038"),
            line("GPGGA,123519"), line("HEHDT,12.0,T,1,2,3,4")}; // too few and too many fields are taken
        const NmeaLineStatistics before = m_controller->statistics(UDP);
        for (const QString &l : lines)
            receiveRaw({l}, UDP);
        const ErrorLogger &errors = ErrorLogger::instance();
        QList<int> counts;
        for (int code : {7, 1, 2, 3, int(NmeaInvalidFieldValue), int(NmeaFieldLengthError)})
            counts << errors.nmeaCounter(code, 3);
        QCOMPARE(counts, (QList<int>{1, 4, 4, 1, 1, 1}));
        QCOMPARE(errors.udpCounter(74), 1);
        QCOMPARE(errors.udpCounter(76), 11);
        QCOMPARE(values({m_nmea.UtcOfPosition(), m_nmea.HDT_HeadingTrue()}), (QStringList{"123519", "12"}));
        QCOMPARE(m_controller->statistics(UDP).lines - before.lines, lines.size());
        QCOMPARE(m_controller->statistics(UDP).rejected - before.rejected, 12);
        // The additional serial lines are counted by the controller only.
        receiveRaw({lowerSum}, Add_Serial_2);
        QCOMPARE(m_controller->statistics(Add_Serial_2).rejected, 1);
        QCOMPARE(errors.nmeaCounter(1, 5), -1);
    }

    void groupOfSameTypeUsesReusedObjects()
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
        QCOMPARE(values({m_nmea.GSA_PDOP(), m_nmea.GSA_VDOP()}), (QStringList{"2.5", "2.1"}));
        // A reused object does not keep fields of the previous sentence.
        receive({"SDMTW,7.5,C"});
        NmeaData::instance().resetFields();
        receive({"SDMTW"});
        QVERIFY(!m_nmea.MTW_WaterTemperature()->isValid());
    }

    void alertSentencesForwardedOrRelayed()
    {
        NmeaHandler *acn = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ACN"));
        NmeaHandler *alr = NmeaHandlerContainer::instance().handler(QStringLiteral("VR"), QStringLiteral("ALR"));
        QSignalSpy forwarded(acn, &NmeaHandler::forwardMessage);
        QSignalSpy sent(&SignalEmitter::instance(), &SignalEmitter::signalTypeAndCompleteNmeaMessageAndPort);
        receive({"VRACN,120000.00,ZTQ,3001,1,A,C"}, UDP, QStringLiteral("VR0001"));
        QCOMPARE(forwarded, (QList<QVariantList>{{line("VRACN,120000.00,ZTQ,3001,1,A,C"), QStringLiteral("VR0001")}}));
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
        QCOMPARE(heartbeat, (QList<QVariantList>{{QStringLiteral("SD"), QStringLiteral("SD0002")}}));
    }

    void standbyPassesOnlyModeAndPairing()
    {
        NmeaHandler *pair = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("PAIR"));
        NmeaHandler *scf = NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("SCF"));
        QSignalSpy paired(pair, &NmeaHandler::sentenceReceived);
        QSignalSpy configured(scf, &NmeaHandler::sentenceReceived);
        const QStringList lines = {line("PZTQPAIR,SD0001,SD0002,1"), line("PZTQSCF,Name,,,,,SD0001,SD0002,1"),
                                   line("HEHDT,77.0,T")};
        m_controller->handleReceivedNmeaListInStandby(NmeaGroupInfo(lines, UDP, QStringLiteral("SD0002")));
        QCOMPARE(paired, (QList<QVariantList>{{QStringList{"SD0001", "SD0002", "1"}, QStringLiteral("SD0002"),
                                               QStringLiteral("UDP")}}));
        QCOMPARE(configured.count(), 0);
        QCOMPARE(values({m_nmea.HDT_HeadingTrue()}), QStringList{"-"});
        receiveRaw(lines, UDP);
        QCOMPARE(configured.count(), 1);
        QCOMPARE(values({m_nmea.HDT_HeadingTrue()}), QStringList{"77"});
    }

    void commandHandlersReportUpward()
    {
        NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
        // Operating mode: only when addressed to this unit, and only normal mode from the display.
        auto *slp = container.find<HandlerPztqSlp>();
        slp->setTargetSfiProvider([] { return QStringLiteral("SD0042"); });
        QSignalSpy mode(slp, &HandlerPztqSlp::operatingModeRequested);
        receive({"PZTQSLP,SD0001,1", "PZTQSLP,SD0042,1"}, UDP);
        receive({"PZTQSLP,SD0042,0"}, UDP);
        QCOMPARE(firstArguments(mode), (QVariantList{1, 0}));
        QSignalSpy normal(container.find<HandlerPztqIcm>(), &HandlerPztqIcm::operatingModeRequested);
        receive({"PZTQICM,1,98,", "PZTQICM,0,97,", "PZTQICM,0,98,"}, UDP);
        QCOMPARE(firstArguments(normal), QVariantList{0});
        QSignalSpy trip(&m_nmea, &NmeaData::tripSetSignal);
        QSignalSpy total(&m_nmea, &NmeaData::totalSetSignal);
        receive({"PZTQSTL,12.5,3400.0"}, UDP);
        QCOMPARE(firstArguments(trip), QVariantList{12.5f});
        QCOMPARE(firstArguments(total), QVariantList{3400.0f});
        QSignalSpy mac(container.find<HandlerPztqMaca>(), &HandlerPztqMaca::macAddressReceived);
        receive({"PZTQMACA,00:1A:2B:3C:4D:5E", "PZTQMACA,not-a-mac"}, UDP);
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
        container.tickAll();
        QCOMPARE(restart.count(), 1);   // once per request
        QSignalSpy dimming(container.find<HandlerDdc>(), &HandlerDdc::dimmingReceived);
        receive({"IIDDC,N,45,N,C"}, UDP);
        QCOMPARE(dimming.size() == 1 ? dimming.at(0).at(1).toInt() : -1, 45);
        // Error counters for the peer: 5 asks for the last code, 1 for the table, 9 for the table and clearing.
        ErrorLogger &errors = ErrorLogger::instance();
        errors.clearAll();
        for (int code : {71, 71, 73})
            errors.countUdpError(code);
        errors.countBinaryError(81);
        const QStringList table = HandlerPztqVmpcgter::errorTableSentences();
        QCOMPARE(table, (QStringList{line("PZTQERRORTABLE,70,71,72,73,74,75,76,77,0,2,0,1,0,0,0,0"),
                                     line("PZTQERRORTABLE,78,79,80,81,82,83,84,3,0,0,1,0,0,1")}));
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

    NmeaController *m_controller = new NmeaController(this);
    NmeaData &m_nmea = NmeaData::instance();
};

QTEST_GUILESS_MAIN(TestReceive)
#include "tst_receive.moc"
