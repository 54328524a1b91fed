#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeamessage.h"
#include "nmeaparserclass.h"
#include "nmeaperiodicalsender.h"
#include "nmeatestlines.h"
#include "signalemitter.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using NmeaTest::line;

namespace {

NmeaHandler *standard(const char *formatter)
{
    return NmeaHandlerContainer::instance().standardHandler(QString::fromLatin1(formatter));
}

NmeaHandler *periodic(const char *formatter, std::initializer_list<Port> lines)
{
    NmeaHandler *handler = standard(formatter);
    handler->setPeriodicEnabled(true);
    for (Port port : lines)
        handler->registerLine(port);
    return handler;
}

void setReal(ValidatedProperty *field, double value)
{
    qobject_cast<ValidatedFloatProperty *>(field)->setValue(value);
}

// One entry per periodic group: its line, then the address fields of its sentences ("UDP SDDPT SDHBT").
QStringList groupsSent(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &emission : spy) {
        QStringList entry{portName(emission.at(2).value<Port>())};
        for (const QString &sentence : emission.at(1).value<QList<QString>>())
            entry << sentence.mid(1, sentence.indexOf(',') - 1);
        out << entry.join(' ');
    }
    return out;
}

} // namespace

// Periodic grouping and divisors, one-off sends, standby filtering, proprietary carriers.
class TestSend : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { NmeaTest::quietDebug(); }

    void init()
    {
        NmeaOutputData::instance().resetFields();
        m_groups = new QSignalSpy(&SignalEmitter::instance(),
                                  &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI);
    }

    void cleanup()
    {
        delete m_groups;
        for (NmeaHandler *handler : NmeaHandlerContainer::instance().handlers()) {
            handler->setPeriodicEnabled(false);
            handler->clearRegisteredLines();
            handler->setPeriodDivisor(1);
            handler->setPassThrough(false);
        }
    }

    void periodicGroupsPerLine()
    {
        NmeaHandler *vtg = periodic("VTG", {Serial_1, UDP});
        m_sender->sendPeriodicalMessages(0);
        QCOMPARE(groupsSent(*m_groups), (QStringList{"Serial_1 SDVTG", "UDP SDVTG"}));
        QCOMPARE(m_groups->at(0).at(0).toString(), QString());
        // Every second cycle with a divisor of two.
        m_groups->clear();
        vtg->setPeriodDivisor(2);
        for (int cycle = 0; cycle < 6; ++cycle)
            m_sender->sendPeriodicalMessages(0);
        QCOMPARE(m_groups->count(), 6);
        // Registered but not enabled, or enabled for a line beyond the sender's lines: nothing.
        m_groups->clear();
        vtg->setPeriodicEnabled(false);
        m_sender->sendPeriodicalMessages(0);
        vtg->setPeriodicEnabled(true);
        vtg->clearRegisteredLines();
        vtg->registerLine(Add_Serial_3);
        m_sender->sendPeriodicalMessages(0);
        QCOMPARE(m_groups->count(), 0);
        // Depth and heartbeat go alone, the rest of a line's sentences together.
        vtg->setPeriodDivisor(1);
        for (const char *formatter : {"DPT", "HBT", "VTG", "HDT", "MTW"})
            periodic(formatter, {Serial_2});
        m_sender->sendPeriodicalMessages(0);
        QCOMPARE(groupsSent(*m_groups), (QStringList{"Serial_2 SDDPT", "Serial_2 SDHBT", "Serial_2 SDHDT SDMTW SDVTG"}));
        // The single-shot timer is re-armed after each cycle: one second after a timed cycle, two after any other.
        QTimer *timer = m_sender->timer();
        QVERIFY(timer->isSingleShot() && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        m_sender->sendPeriodicalMessages(3);
        QCOMPARE(timer->interval(), 2000);
        QVERIFY(timer->isActive());
        m_sender->restartTimer();
        QCOMPARE(timer->interval(), 1000);
    }

    void sentenceTextsLeaveTheUnit()
    {
        NmeaOutputData &out = NmeaOutputData::instance();
        periodic("DPT", {UDP});
        m_sender->sendPeriodicalMessages(0);
        setReal(out.DepthBlwTransducerMeters(), 12.34);
        setReal(out.OffsetFromTransducerMeters(), 0.5);
        setReal(out.MaximumRangeScale(), 100.0);
        m_sender->sendPeriodicalMessages(0);
        QCOMPARE(m_groups->at(0).at(1).value<QList<QString>>(), QList<QString>{line("SDDPT,,,")});
        QCOMPARE(m_groups->at(1).at(1).value<QList<QString>>(), QList<QString>{line("SDDPT,12.3,0.5,100")});
        // Unit strings that cannot be null go out as their defaults.
        setReal(out.DepthBlwTransducerMeters(), 7.0);
        QCOMPARE(standard("DBT")->buildOutgoing(), QStringList{line("SDDBT,,f,7.0,M,,F")});
        // The proprietary depth the unit sends is its own, whatever the box sent last.
        NmeaController receiver;
        receiver.handleReceivedNmeaList(NmeaGroupInfo({line("PZTQDPT,30.5,1.0,200,87,38,Fwd")}, UDP));
        QCOMPARE(PztqDptData::instance().DepthBlwTransducerMeters()->fieldText(), QString("30.5"));
        QCOMPARE(NmeaHandlerContainer::instance().proprietaryHandler(QStringLiteral("DPT"))->buildOutgoing(),
                 QStringList{line("PZTQDPT,7.0,0.5,100.0,,,")});
        // A passed-through heading goes out as received until the handler forgets it, after ten ticks.
        NmeaHandler *hdt = standard("HDT");
        hdt->setPassThrough(true);
        receiver.handleReceivedNmeaList(NmeaGroupInfo({line("HEHDT,271.25,T")}, Serial_1));
        QCOMPARE(hdt->buildOutgoing(), QStringList{line("SDHDT,271.25,T")});
        for (int i = 0; i < 9; ++i)
            NmeaHandlerContainer::instance().tickAll();
        QCOMPARE(hdt->buildOutgoing(), QStringList{line("SDHDT,271.25,T")});
        NmeaHandlerContainer::instance().tickAll();
        QCOMPARE(hdt->buildOutgoing(), QStringList{line("SDHDT,,")});
    }

    void oneOffSendsByLineAndInStandby()
    {
        QSignalSpy udp(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverUdp);
        QSignalSpy serial(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverSerialPort);
        QSignalSpy logged(m_controller, &NmeaController::outputMessageGroupLogged);
        setReal(NmeaOutputData::instance().WaterTemperature(), 14.5);
        m_controller->sendStandardNmeaMessageOfTypeOverPort(QStringLiteral("MTW"), Serial_3);
        QCOMPARE(serial.count(), 1);
        const NmeaGroupInfo sent = serial.at(0).at(0).value<NmeaGroupInfo>();
        QCOMPARE(sent.port, Serial_3);
        QCOMPARE(sent.messages, QStringList{line("SDMTW,14.5,C")});
        QCOMPARE(logged.count(), 1);
        m_controller->sendPreparedStandardNmeaListWithCustomDestinationSFI(
            QStringLiteral("PAIR"), {line("PZTQPAIR,SD0001,SD0002,1")}, UDP, QString(), QStringLiteral("SD0002"));
        QCOMPARE(udp.count(), 1);
        QCOMPARE(udp.at(0).at(0).value<NmeaGroupInfo>().destinations, QStringList{"SD0002"});
        QCOMPARE(udp.at(0).at(2).toStringList(), QStringList{"SD0002"});
        m_controller->sendStandardNmeaMessageOfTypeOverPort(QStringLiteral("NOSUCH"), UDP);
        QCOMPARE(udp.count(), 1);
        // Forwarding: raw lines of one line are passed on to another before handling.
        m_controller->setForwarding(Serial_1, Serial_2);
        m_controller->handleReceivedNmeaList(NmeaGroupInfo({QStringLiteral("garbage")}, Serial_1));
        QCOMPARE(serial.count(), 2);
        QCOMPARE(serial.at(1).at(0).value<NmeaGroupInfo>().port, Serial_2);
        m_controller->clearForwarding(Serial_1);
        // In standby only pairing, identifier and mode sentences go out.
        udp.clear();
        m_controller->sendStandardNmeaMessageOfTypeOverPortInStandby(QStringLiteral("VTG"), UDP);
        m_controller->sendPreparedStandardNmeaMessageOverPortInStandby(QStringLiteral("VTG"), line("SDVTG,,,,,,,,,N"), UDP,
                                                                       false);
        QCOMPARE(udp.count(), 0);
        m_controller->sendStandardNmeaMessageOfTypeOverPortInStandby(QStringLiteral("PAIR"), UDP);
        QCOMPARE(udp.count(), 1);
        QVERIFY(udp.at(0).at(0).value<NmeaGroupInfo>().messages.at(0).startsWith(QStringLiteral("$PZTQPAIR,")));
        for (const char *formatter : {"SFIACK", "SCF"})
            m_controller->sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
                formatter, {line(QStringLiteral("PZTQ%1,A,,,,,,,1").arg(formatter))}, UDP, QString(), QString());
        QCOMPARE(udp.count(), 2);
        // Of the proprietary settings texts only the operating mode goes out, marked as such.
        m_controller->sendProprietaryNmeaListInStandby(QStringLiteral("ESDisplay;Brightness=5"));
        QCOMPARE(udp.count(), 2);
        m_controller->sendProprietaryNmeaListInStandby(QStringLiteral("ESKX12Setup;SystemInNormalOrStandbyMode=0"));
        QCOMPARE(udp.count(), 3);
        QCOMPARE(udp.at(2).at(1).toBool(), true);
    }

    void proprietaryCuttingAndJoining()
    {
        QString text;
        for (int i = 0; text.size() < 200; ++i)
            text += QStringLiteral("Key%1=%2,").arg(i).arg(i * 7);
        text.truncate(200);
        // Carriers are filled up to 82 characters, each a good sentence of its own.
        const NmeaGroupInfo group = NmeaParserClass::dataToNmeaList(text, QStringLiteral("AVG"));
        QList<int> lengths;
        for (QString sentence : group.messages) {
            lengths << sentence.size();
            QVERIFY(sentence.startsWith(QStringLiteral("$PZTQAVG,")));
            QCOMPARE(NmeaMessage::checkSentence(sentence), 0);
        }
        QCOMPARE(lengths, (QList<int>{82, 82, 78}));
        QCOMPARE(NmeaParserClass::nmeaListToData(group), text);
        // A piece may hold "*" and ","; only the last "*" of a sentence starts its checksum.
        const QString awkward = QStringLiteral("a*b,c*d");
        QCOMPARE(NmeaParserClass::nmeaListToData(NmeaParserClass::dataToNmeaList(awkward)), awkward);
        QCOMPARE(NmeaParserClass::dataToNmeaList(QString()).messages.size(), 0);
        QCOMPARE(NmeaParserClass::dataToNmeaList(text, QStringLiteral("PZTQCFGR")).messages.at(0).size(), 82);
        QSignalSpy udp(m_controller, &NmeaController::nmeaGroupReadyToBeSentOverUdp);
        m_controller->sendProprietaryNmeaList(text, QString(), {QStringLiteral("SD0007")});
        QCOMPARE(udp.count(), 1);
        QCOMPARE(udp.at(0).at(0).value<NmeaGroupInfo>().messages, group.messages);
        QCOMPARE(udp.at(0).at(0).value<NmeaGroupInfo>().destinations, QStringList{"SD0007"});
    }

private:
    NmeaPeriodicalSender *m_sender = new NmeaPeriodicalSender(this, 4);
    NmeaController *m_controller = new NmeaController(this);
    QSignalSpy *m_groups = nullptr;
};

QTEST_GUILESS_MAIN(TestSend)
#include "tst_send.moc"
