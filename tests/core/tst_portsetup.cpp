#include "communicationstatistics.h"
#include "depthoutputfeed.h"
#include "echorecord.h"
#include "escommunicationinformation.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"
#include "nmeamessage.h"
#include "nmeaperiodicalsender.h"
#include "nmeaports.h"
#include "portsetupadapter.h"
#include "remotedimming.h"
#include "signalemitter.h"
#include "validatedproperty.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

NmeaHandler *handler(const char *formatter, bool proprietary = false)
{
    const NmeaHandlerContainer &c = NmeaHandlerContainer::instance();
    return proprietary ? c.proprietaryHandler(formatter) : c.standardHandler(formatter);
}

// The lines registered with a handler, by name, in line order.
QString linesOf(const NmeaHandler *h)
{
    QList<int> lines = h->registeredLines();
    std::sort(lines.begin(), lines.end());
    QStringList names;
    for (int line : lines)
        names << portName(line);
    return (h->isPeriodicEnabled() ? QStringLiteral("periodic ") : QString()) + names.join(' ');
}

// A display record of a channel with its three depths (-100: none) and its range.
EchoRecordInfo record(float transducer, float keel, float surface, float range)
{
    return EchoRecordInfo::fromValues(QStringLiteral("07-12-2026,10-00-00-000,%1,%2,%3,%4,0,0,0,0,0,0,0,0,0,0,0")
                                          .arg(transducer)
                                          .arg(keel)
                                          .arg(surface)
                                          .arg(range));
}

QString fieldText(ValidatedProperty *field)
{
    return field->isValid() ? field->fieldText() : QStringLiteral("-");
}

void tick(int times)
{
    for (int i = 0; i < times; ++i)
        ValidatedProperty::tickAll();
}

} // namespace

// The port setup applied to the send path and the lines, the unit's depth fed into what it sends,
// and the communication statistics.
class TestPortSetup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_setup.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
        m_local.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    }

    void portSetupRegistersSentencesAlertsAndRates()
    {
        ESCommunicationsSetup *comms = m_setup.CommunicationsSetup();
        NmeaPorts ports(SerialReader::QueryMode::EventDriven);
        PortSetupAdapter adapter(comms, &ports);
        adapter.applyAll();
        // As delivered: DPT, PZTQDPT and alerts on every line, DBT, DBS and DBK on none, 4800 baud.
        const QString all = "Serial_1 Serial_2 Serial_3 UDP Add_Serial_1 Add_Serial_2 Add_Serial_3";
        QCOMPARE(linesOf(handler("DPT")), "periodic " + all);
        QCOMPARE(linesOf(handler("DPT", true)), "periodic " + all);
        QCOMPARE(linesOf(handler("DBT")), QString());
        QCOMPARE(linesOf(handler("ALR")), all);
        QCOMPARE(linesOf(handler("ACN")), QString());
        QCOMPARE(ports.port(Add_Serial_3)->baudRate(), 4800);

        // Every change of a line's setup is applied at once.
        comms->NmeaPort2Setup()->setDPT(1);
        comms->UdpPortSetup()->setDBT(0);
        comms->AdditionalNmeaPort1Setup()->setDBK(0);
        comms->NmeaPort1Setup()->setAlarm(1);
        comms->NmeaPort3Setup()->setBaud(2);
        comms->AdditionalNmeaPort2Setup()->setBaud(1);
        comms->NmeaPort1Setup()->setInputEnabled(1);
        QCOMPARE(linesOf(handler("DPT")), "periodic Serial_1 Serial_3 UDP Add_Serial_1 Add_Serial_2 Add_Serial_3");
        QCOMPARE(linesOf(handler("DBT")), "periodic UDP");
        QCOMPARE(linesOf(handler("DBK")), "periodic Add_Serial_1");
        QCOMPARE(linesOf(handler("ALF")), "Serial_2 Serial_3 UDP Add_Serial_1 Add_Serial_2 Add_Serial_3");
        QCOMPARE(ports.port(Serial_3)->baudRate(), 115200);
        QCOMPARE(ports.port(Add_Serial_2)->baudRate(), 38400);
        QVERIFY(!ports.port(Serial_1)->isReadingEnabled() && ports.port(Serial_2)->isReadingEnabled());
        // Switched off everywhere, a sentence is no longer produced at all.
        comms->UdpPortSetup()->setDBT(1);
        QCOMPARE(linesOf(handler("DBT")), QString());

        // One periodic cycle hands over the depth sentences of each line alone.
        QSignalSpy groups(&SignalEmitter::instance(),
                          &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
        NmeaPeriodicalSender sender(nullptr, NmeaController::lineCount);
        sender.sendPeriodicalMessages(0);
        QStringList sent;
        for (const QVariantList &emission : groups)
            sent << portName(emission.at(2).value<Port>()) + ' '
                        + emission.at(1).value<QList<QString>>().join(QString()).section(',', 0, 0);
        QCOMPARE(sent.count("Serial_2 $PZTQDPT"), 1);
        QCOMPARE(sent.count("Serial_2 $SDDPT"), 0);
        QCOMPARE(sent.count("Add_Serial_1 $SDDBK"), 1);
        QCOMPARE(sent.size(), 14);

        // Back to the delivered setup for the other cases.
        m_setup.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
        QCOMPARE(linesOf(handler("DBK")), QString());
    }

    void depthOfTheSelectedChannelIsSent()
    {
        NmeaOutputData &out = NmeaOutputData::instance();
        out.resetFields();
        EsTransducerSetup *first = m_setup.transducer(0);
        first->setDraft(3.5);
        first->setSensorFrequency(2); // 38 kHz
        first->setPosition(1);         // aft
        DepthOutputFeed feed(&m_setup, m_local.OtherLocalSettings());
        feed.displayRecordReceived(record(12.3f, 9.8f, 15.8f, 50.0f), 0);
        QCOMPARE((QStringList{fieldText(out.DepthBlwTransducerMeters()), fieldText(out.DepthBlwTransducerFeet()),
                              fieldText(out.DepthBlwTransducerFathoms()), fieldText(out.DepthBlwKeelMeters()),
                              fieldText(out.DepthBlwSurfaceMeters()), fieldText(out.OffsetFromTransducerMeters()),
                              fieldText(out.MaximumRangeScale()), fieldText(out.TransducerFrequency()),
                              fieldText(out.TransducerPosition())}),
                 (QStringList{"12.3", "40.4", "6.7", "9.8", "15.8", "3.5", "50.0", "38", "Aft"}));
        QCOMPARE(handler("DPT")->buildOutgoing().first(), QString("$SDDPT,12.3,3.5,50*48\r\n"));

        // While both channels run, the one selected on the runtime screen feeds the output.
        feed.displayRecordReceived(record(80.0f, 75.0f, 82.0f, 100.0f), 1);
        QCOMPARE(fieldText(out.DepthBlwTransducerMeters()), QString("12.3"));
        m_local.OtherLocalSettings()->setSelectedConnectorOnRuntimeScreen(1);
        feed.displayRecordReceived(record(80.0f, 75.0f, 82.0f, 100.0f), 1);
        QCOMPARE(fieldText(out.DepthBlwTransducerMeters()), QString("80.0"));
        QCOMPARE(feed.feedingChannel(), 1);
        m_local.OtherLocalSettings()->setSelectedConnectorOnRuntimeScreen(0);

        // No bottom: the last depth stands until its validity runs out, then the field is empty;
        // range and offset go on.
        feed.displayRecordReceived(record(12.0f, 9.5f, 15.5f, 50.0f), 0);
        for (int second = 0; second < ValidatedProperty::defaultValidityLimit; ++second) {
            feed.displayRecordReceived(record(-100.0f, -100.0f, -100.0f, 50.0f), 0);
            tick(1);
        }
        QCOMPARE(fieldText(out.DepthBlwTransducerMeters()), QString("12.0"));
        feed.displayRecordReceived(record(-100.0f, -100.0f, -100.0f, 50.0f), 0);
        tick(1);
        QCOMPARE(handler("DPT")->buildOutgoing().first(), QString("$SDDPT,,3.5,50*56\r\n"));
        QCOMPARE(fieldText(out.DepthBlwSurfaceMeters()), QString("-"));
        // Raw and filtered records and unknown channels change nothing.
        feed.displayRecordReceived(EchoRecordInfo::parse(EchoRecordInfo::header(EchoRecordInfo::Kind::Raw)
                                                         + record(5.0f, 5.0f, 5.0f, 10.0f).values()),
                                   0);
        feed.displayRecordReceived(record(5.0f, 5.0f, 5.0f, 10.0f), 2);
        QCOMPARE(fieldText(out.DepthBlwTransducerMeters()), QString("-"));
    }

    void silentSelectedChannelLeavesTheOutputToTheOther()
    {
        NmeaOutputData::instance().resetFields();
        DepthOutputFeed feed(&m_setup, m_local.OtherLocalSettings());
        // A single-transducer installation on the second connector.
        feed.displayRecordReceived(record(44.0f, 40.0f, 46.0f, 100.0f), 1);
        QCOMPARE(feed.feedingChannel(), 1);
        QCOMPARE(fieldText(NmeaOutputData::instance().DepthBlwTransducerMeters()), QString("44.0"));
        feed.displayRecordReceived(record(20.0f, 18.0f, 22.0f, 50.0f), 0);
        QCOMPARE(feed.feedingChannel(), 0);
        QCOMPARE(fieldText(NmeaOutputData::instance().DepthBlwTransducerMeters()), QString("20.0"));
    }

    void dimmingCommandsFollowTheSetup()
    {
        // Through the receive path as on the unit: DDC sentences to the follower of the dimming setup,
        // which keeps its file in a folder of the test's own.
        QTemporaryDir folder;
        const QString home = QDir::currentPath();
        QDir::setCurrent(folder.path());
        RemoteDimmingSetup *dimming = m_local.DimmingSetup();
        RemoteDimmingFollower follower(dimming);
        connect(NmeaHandlerContainer::instance().find<HandlerDdc>(), &HandlerDdc::dimmingReceived, &follower,
                &RemoteDimmingFollower::dimmingReceived);
        NmeaController controller;
        const auto receive = [&controller](const char *fields) {
            const QString body = QStringLiteral("IIDDC,") + QLatin1String(fields);
            controller.handleReceivedNmeaList(NmeaGroupInfo(
                {'$' + body + '*' + NmeaMessage::checksum(body) + "\r\n"}, Serial_2));
        };
        const auto state = [dimming] {
            return QStringLiteral("%1 %2 %3 %4 %5").arg(dimming->DimmingPreset(), dimming->ColorPalette())
                .arg(dimming->DimmingPresetEnum()).arg(dimming->ColorPaletteEnum()).arg(dimming->CurrentBrightnessPercentage());
        };
        dimming->setOperationMode(0);           // RX
        dimming->setIgnorePercentageInDdc(1);   // the percentage counts
        receive("N,30,K,C");
        QCOMPARE(state(), QString("N K 2 1 30"));
        receive("D,80,D,R");                    // a report of other equipment
        QCOMPARE(state(), QString("N K 2 1 30"));
        dimming->setIgnorePercentageInDdc(0);
        receive("O,,O,C");
        receive("D,90,D,C");
        QCOMPARE(state(), QString("D D 0 0 30"));
        dimming->setOperationMode(2);           // TX: the unit only sends
        receive("N,10,N,C");
        QCOMPARE(state(), QString("D D 0 0 30"));
        dimming->setOperationMode(1);           // RX/TX
        dimming->setIgnorePercentageInDdc(1);
        receive("K,10,N,C");
        QCOMPARE(state(), QString("K N 1 2 10"));
        QDir::setCurrent(home);
    }

    void communicationStatistics()
    {
        NmeaController controller;
        ESCommunicationInformation information;
        CommunicationStatistics statistics(&controller, &information);
        const QString hdt = QStringLiteral("$HEHDT,10.5,T*") + NmeaMessage::checksum(QStringLiteral("HEHDT,10.5,T"))
                            + QStringLiteral("\r\n");
        const QString hdg = QStringLiteral("$HEHDG,1,,,,*") + NmeaMessage::checksum(QStringLiteral("HEHDG,1,,,,"))
                            + QStringLiteral("\r\n");
        controller.handleReceivedNmeaList(NmeaGroupInfo({hdt, hdg}, Serial_2));
        controller.handleReceivedNmeaList(NmeaGroupInfo({"$HEHDT,1*00\r\n"}, UDP));
        controller.handleReceivedNmeaList(NmeaGroupInfo({hdg}, Add_Serial_1));
        statistics.update();
        QCOMPARE(information.CommsData(), QString("Serial_2:2,1,0,1;UDP:1,0,1,0;Add_Serial_1:1,0,0,1"));
        // Only the line that carried valid data counts as having input.
        QCOMPARE(information.CuPortsIn(), QString("2"));
    }

private:
    ESSetup m_setup;
    ESLocalSetup m_local;
};

QTEST_MAIN(TestPortSetup)
#include "tst_portsetup.moc"
